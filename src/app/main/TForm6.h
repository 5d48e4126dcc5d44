#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace orsa::app {

// Accumulates a dump of every settings reply; kept for diagnosis, not shown.
class TForm6 : public QWidget {
  Q_OBJECT
 public:
  TForm6();

  QPlainTextEdit* memo() const { return memo_; }
  void appendLine(const QString& line);

 private:
  QPlainTextEdit* memo_;
};

}  // namespace orsa::app
