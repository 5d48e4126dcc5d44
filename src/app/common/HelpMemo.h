#pragma once

#include <QPlainTextEdit>
#include <QStringList>

namespace orsa::app {

// Read-only help text beside the settings controls.  Knows how its text
// breaks into display lines so the lines can be stretched to its width.
// Tab passes it by; F1 brings the focus to it, and a frame shows it has it.
class HelpMemo : public QPlainTextEdit {
  Q_OBJECT
 public:
  HelpMemo(const QString& objectName, const QString& text, QWidget* parent);

  // The lines as the memo wraps them at its current width.
  QStringList displayLines() const;
  // The lines as they break when each must leave room for the stretch.
  QStringList displayLines(int wrapWidth) const;
  // Replaces the text by its display lines, each but the last two stretched
  // to the memo's width with extra spaces.  The lines are broken with room for
  // the stretch's slack, so no gap is ever left without a space.
  void justify();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  int wrapWidth() const;
};

}  // namespace orsa::app
