#include "TForm5.h"

namespace orsa::app {

TForm5::TForm5() {
  setObjectName(QStringLiteral("Form5"));
  setWindowTitle(QString());
  setFixedSize(704, 563);
}

}  // namespace orsa::app
