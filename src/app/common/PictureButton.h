#pragma once

#include <QToolButton>

namespace orsa::app {

// Flat button with a drawn glyph, as on the command bar and the firmware page. Reached by Tab (a
// click leaves the focus where it was), pressed by Space or Enter, framed while it has the focus.
// `pictureName` names one of the pictures in src/app/resources, without its suffix.
class PictureButton : public QToolButton {
  Q_OBJECT
 public:
  PictureButton(const QString& objectName, const QString& pictureName, const QString& toolTip, QWidget* parent);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace orsa::app
