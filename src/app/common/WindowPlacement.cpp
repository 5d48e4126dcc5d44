#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

namespace orsa::app {

void centreWindowAt(QWidget& window, QPoint centre) {
  (void)window.winId();  // creates the platform window
  QRect frame = window.frameGeometry();
  frame.moveCenter(centre);
  window.move(frame.topLeft());
}

QPoint desktopCentre(const QWidget& window) {
  const QScreen* screen = window.screen();
  if (screen == nullptr) {
    screen = QGuiApplication::primaryScreen();
  }
  return screen != nullptr ? screen->availableGeometry().center() : QPoint();
}

}  // namespace orsa::app
