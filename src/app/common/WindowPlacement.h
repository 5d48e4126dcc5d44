#pragma once

#include <QPoint>

class QWidget;

namespace orsa::app {

// Moves a top-level window so that the centre of its frame (title bar and borders included) is
// `centre`; the frame is known only once the platform window exists, so it is created here.
void centreWindowAt(QWidget& window, QPoint centre);

// The centre of the desktop area the window's screen leaves to programs (task bars excluded).
QPoint desktopCentre(const QWidget& window);

}  // namespace orsa::app
