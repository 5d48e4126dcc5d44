#pragma once

#include <QLabel>

namespace orsa::app {

// "ВЫХОД" in the header: turns red under the mouse, ends the program on a click.
class ExitLabel : public QLabel {
  Q_OBJECT
 public:
  explicit ExitLabel(QWidget* parent);

 signals:
  void clicked();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void setTextColor(const QColor& color);
};

}  // namespace orsa::app
