#include "TForm2.h"

namespace orsa::app {

TForm2::TForm2() {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("Команда (WAIALON)"));
  setFixedSize(385, 137);
}

}  // namespace orsa::app
