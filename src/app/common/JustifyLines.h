#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace orsa::app {

// Pixels a stretched line keeps free at the right edge.
inline constexpr int kJustifySlack = 12;

// Width in pixels of a text as the target widget would draw it.
using TextMeasure = std::function<int(const QString&)>;

// Stretches one display line towards `width` by handing out spaces to the
// gaps between its words, earliest gap first.  A line with fewer than two
// words comes back unchanged.
QString justifyLine(const QString& line, const TextMeasure& measure, int width);

// Justifies every line but the last two, which stay as the paragraph's
// natural ending.
QStringList justifyLines(const QStringList& lines, const TextMeasure& measure, int width);

}  // namespace orsa::app
