#include "PictureButton.h"

#include <QIcon>

namespace orsa::app {

PictureButton::PictureButton(const QString& objectName, const QString& iconPath, const QString& toolTip,
                             QWidget* parent)
    : QToolButton(parent) {
  setObjectName(objectName);
  setIcon(QIcon(iconPath));
  setIconSize({34, 34});
  setAutoRaise(true);
  setFocusPolicy(Qt::NoFocus);
  setToolTip(toolTip);
  setFixedSize(46, 46);
}

}  // namespace orsa::app
