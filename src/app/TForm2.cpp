#include "TForm2.h"

#include "UiFonts.h"

namespace orsa::app {

TForm2::TForm2() {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("Команда (WAIALON)"));
  setFont(fonts::msSansSerif(11));
  setFixedSize(385, 137);
}

}  // namespace orsa::app
