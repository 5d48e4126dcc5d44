#include "TForm4.h"

#include "UiFonts.h"

namespace orsa::app {

TForm4::TForm4() {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(QStringLiteral("Инженерное меню"));
  setFont(fonts::msSansSerif(11));
  setFixedSize(290, 152);
}

}  // namespace orsa::app
