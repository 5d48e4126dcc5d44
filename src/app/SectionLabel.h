#pragma once

#include <QLabel>

namespace orsa::app {

// One entry of the section column: bold caption, underlined while the mouse
// is over it, inverted colours while its section is current.
class SectionLabel : public QLabel {
  Q_OBJECT
 public:
  SectionLabel(int section, const QString& objectName, QWidget* parent);

  int section() const { return section_; }
  void setSelectedLook(bool selected);
  bool hasSelectedLook() const { return selected_; }

 signals:
  void clicked(int section);

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void setUnderline(bool on);

  int section_;
  bool selected_ = false;
  bool pressed_ = false;
};

}  // namespace orsa::app
