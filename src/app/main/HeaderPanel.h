#pragma once

#include <QFrame>
#include <QPoint>

#include <functional>

class QWindow;

namespace orsa::app {

class ExitLabel;

// The light strip across the top of the main window: title, version, and a
// handle for moving the borderless-looking window with the left button.
class HeaderPanel : public QFrame {
  Q_OBJECT
 public:
  // Hands the move to the window manager; false where the platform cannot.
  using SystemMove = std::function<bool(QWindow*)>;

  explicit HeaderPanel(QWidget* form);

  ExitLabel* exitLabel() const { return exitLabel_; }
  void setSystemMove(SystemMove move) { systemMove_ = std::move(move); }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  enum class Drag { None, Pressed, ByHand };

  ExitLabel* exitLabel_;
  SystemMove systemMove_;
  Drag drag_ = Drag::None;
  QPoint grabOffset_;
};

}  // namespace orsa::app
