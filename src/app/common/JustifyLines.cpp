#include "JustifyLines.h"

#include <algorithm>

namespace orsa::app {
QString justifyLine(const QString& line, const TextMeasure& measure, int width) {
  QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  if (words.size() < 2) {
    return line;
  }
  const qsizetype gaps = words.size() - 1;
  // A measure that ignores spaces must not keep us here forever; one space per
  // pixel of width is more than any real font needs.
  const int maxSpaces = std::max(width, 0) + 1;
  qsizetype nextGap = 0;
  for (int added = 0;; ++added) {
    QString joined = words.join(QString());
    if (measure(joined + QLatin1Char(' ')) + kJustifySlack >= width || added >= maxSpaces) {
      return joined;
    }
    words[nextGap] += QLatin1Char(' ');
    nextGap = (nextGap + 1) % gaps;
  }
}

QStringList justifyLines(const QStringList& lines, const TextMeasure& measure, int width) {
  QStringList result = lines;
  const qsizetype stretched = std::max<qsizetype>(lines.size() - 2, 0);
  for (qsizetype i = 0; i < stretched; ++i) {
    result[i] = justifyLine(lines[i], measure, width);
  }
  return result;
}

}  // namespace orsa::app
