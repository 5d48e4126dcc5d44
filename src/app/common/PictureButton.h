#pragma once

#include <QToolButton>

namespace orsa::app {

// Flat button with a drawn glyph, as on the command bar and the firmware page.
class PictureButton : public QToolButton {
  Q_OBJECT
 public:
  PictureButton(const QString& objectName, const QString& iconPath, const QString& toolTip, QWidget* parent);
};

}  // namespace orsa::app
