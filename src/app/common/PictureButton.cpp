#include "PictureButton.h"

#include "FocusFrame.h"

#include <QIcon>
#include <QKeyEvent>

namespace orsa::app {
namespace {

// Drawn as SVG; where Qt has no SVG module (the Windows build) the build renders them to PNG at the
// button's size and twice that, which QIcon takes as the picture for screens with doubled pixels.
QString picturePath(const QString& name) {
#ifdef ORSA_PICTURES_AS_PNG
  return QStringLiteral(":/icons/%1.png").arg(name);
#else
  return QStringLiteral(":/icons/%1.svg").arg(name);
#endif
}

}  // namespace

PictureButton::PictureButton(const QString& objectName, const QString& pictureName, const QString& toolTip,
                             QWidget* parent)
    : QToolButton(parent) {
  setObjectName(objectName);
  setIcon(QIcon(picturePath(pictureName)));
  setIconSize({34, 34});
  setAutoRaise(true);
  setFocusPolicy(Qt::TabFocus);
  setToolTip(toolTip);
  setFixedSize(46, 46);
}

void PictureButton::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
    event->accept();
    click();
    return;
  }
  QToolButton::keyPressEvent(event);
}

void PictureButton::paintEvent(QPaintEvent* event) {
  QToolButton::paintEvent(event);
  paintFocusFrame(*this, *this);
}

}  // namespace orsa::app
