#include "HelpMemo.h"

#include "FocusFrame.h"
#include "JustifyLines.h"
#include "UiColors.h"
#include "UiFonts.h"

#include <QFontMetrics>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <cmath>

namespace orsa::app {
namespace {

constexpr double kDocumentMargin = 2.0;

}  // namespace

HelpMemo::HelpMemo(const QString& objectName, const QString& text, QWidget* parent) : QPlainTextEdit(parent) {
  setObjectName(objectName);
  setReadOnly(true);
  setFrameShape(QFrame::NoFrame);
  setFocusPolicy(Qt::NoFocus);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFont(fonts::msSansSerif(11));
  QPalette pal = palette();
  pal.setColor(QPalette::Base, colors::formWhite());
  pal.setColor(QPalette::Text, Qt::black);
  setPalette(pal);
  document()->setDocumentMargin(kDocumentMargin);
  setPlainText(text);
}

int HelpMemo::wrapWidth() const {
  return width() - 2 * frameWidth() - 2 * static_cast<int>(std::ceil(kDocumentMargin));
}

QStringList HelpMemo::displayLines() const { return displayLines(wrapWidth()); }

QStringList HelpMemo::displayLines(int wrapAt) const {
  QStringList lines;
  const QString text = toPlainText();
  QTextOption option;
  option.setWrapMode(QTextOption::WordWrap);
  for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
    QTextLayout layout(paragraph, font());
    layout.setTextOption(option);
    layout.beginLayout();
    bool any = false;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(wrapAt);
      QString shown = paragraph.mid(line.textStart(), line.textLength());
      while (shown.endsWith(QLatin1Char(' '))) {
        shown.chop(1);
      }
      lines << shown;
      any = true;
    }
    layout.endLayout();
    if (!any) {
      lines << QString();
    }
  }
  return lines;
}

void HelpMemo::justify() {
  const QFontMetrics metrics(font());
  const auto measure = [&metrics](const QString& s) { return metrics.horizontalAdvance(s); };
  // A line that already reaches the stretch limit would come out with its
  // words glued together; breaking a little earlier avoids that.
  const int roomy = width() - kJustifySlack - metrics.horizontalAdvance(QLatin1Char(' ')) - 1;
  const QStringList lines = displayLines(std::min(wrapWidth(), roomy));
  // The stretched lines are final; letting the memo re-wrap them would break them again.
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setPlainText(justifyLines(lines, measure, width()).join(QLatin1Char('\n')));
}

void HelpMemo::paintEvent(QPaintEvent* event) {
  QPlainTextEdit::paintEvent(event);
  paintFocusFrame(*this, *viewport());
}

void HelpMemo::focusInEvent(QFocusEvent* event) {
  QPlainTextEdit::focusInEvent(event);
  viewport()->update();
}

void HelpMemo::focusOutEvent(QFocusEvent* event) {
  QPlainTextEdit::focusOutEvent(event);
  viewport()->update();
}

}  // namespace orsa::app
