#include "TForm5.h"

#include "WindowPlacement.h"

namespace orsa::app {

TForm5::TForm5() {
  setObjectName(QStringLiteral("Form5"));
  setWindowTitle(QString());
  setFixedSize(704, 563);
}

void TForm5::present() {
  if (!isVisible()) {
    centreWindowAt(*this, desktopCentre(*this));
  }
  show();
  raise();
  activateWindow();
}

}  // namespace orsa::app
