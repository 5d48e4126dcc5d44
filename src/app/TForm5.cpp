#include "TForm5.h"

#include "UiFonts.h"

namespace orsa::app {

TForm5::TForm5() {
  setObjectName(QStringLiteral("Form5"));
  setWindowTitle(QString());
  setFont(fonts::msSansSerif(11));
  setFixedSize(704, 563);
}

}  // namespace orsa::app
