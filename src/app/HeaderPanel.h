#pragma once

#include <QFrame>
#include <QPoint>

namespace orsa::app {

class ExitLabel;

// The light strip across the top of the main window: title, version, and a
// handle for moving the borderless-looking window with the left button.
class HeaderPanel : public QFrame {
  Q_OBJECT
 public:
  explicit HeaderPanel(QWidget* form);

  ExitLabel* exitLabel() const { return exitLabel_; }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  ExitLabel* exitLabel_;
  bool dragging_ = false;
  QPoint grabOffset_;
};

}  // namespace orsa::app
