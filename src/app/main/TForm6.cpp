#include "TForm6.h"

#include <QPlainTextEdit>

namespace orsa::app {

TForm6::TForm6() {
  setObjectName(QStringLiteral("Form6"));
  setWindowTitle(QStringLiteral("Form6"));
  resize(744, 513);
  memo_ = new QPlainTextEdit(this);
  memo_->setObjectName(QStringLiteral("Memo1"));
  memo_->setReadOnly(true);
  memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo_->setGeometry(24, 24, 681, 369);
}

void TForm6::appendLine(const QString& line) { memo_->appendPlainText(line); }

}  // namespace orsa::app
