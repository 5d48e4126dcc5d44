#pragma once

#include <QFont>
#include <QLabel>

namespace orsa::app {

// One entry of the section column: bold caption, underlined while the mouse
// is over it, inverted colours while its section is current. Reached by Tab and
// chosen by Space or Enter as by a click; framed while it has the focus.
class SectionLabel : public QLabel {
  Q_OBJECT
 public:
  SectionLabel(int section, const QString& objectName, QWidget* parent);

  int section() const { return section_; }
  void setSelectedLook(bool selected);
  bool hasSelectedLook() const { return selected_; }

  // Sets the caption ("\n" breaks a line), drawn as large as the strip allows.
  void setCaption(const QString& caption);

 signals:
  void clicked(int section);

 protected:
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void setUnderline(bool on);
  void fitCaption();

  int section_;
  bool selected_ = false;
  bool pressed_ = false;
  QFont wanted_;  // the font asked for; the one shown may be smaller to fit
  bool fitting_ = false;
};

}  // namespace orsa::app
