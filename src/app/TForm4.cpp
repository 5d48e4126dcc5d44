#include "TForm4.h"

namespace orsa::app {

TForm4::TForm4() {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(QStringLiteral("Инженерное меню"));
  setFixedSize(290, 152);
}

}  // namespace orsa::app
