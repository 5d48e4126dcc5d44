#pragma once

#include "ConfigIniLocation.h"
#include "TForm1.h"
#include "TForm2.h"
#include "TForm3.h"
#include "TForm4.h"
#include "TForm5.h"
#include "TForm6.h"

namespace orsa::app {

// The program's six windows, created in their order (members are built as declared) and handed
// to the main window. Only the main window is ever shown by the program itself.
struct ConfiguratorWindows {
  explicit ConfiguratorWindows(DialogService& dialogs)
      : form1(dialogs),
        form2(dialogs, &form1),
        form3(&form1),
        form4(dialogs, &form1),
        form5(dialogs, form1.session(), configIniPath()) {
    form1.attachWindows(&form2, &form3, &form4, &form5, &form6);
  }

  TForm1 form1;
  TForm2 form2;
  TForm3 form3;
  TForm4 form4;
  TForm5 form5;
  TForm6 form6;
};

}  // namespace orsa::app
