#pragma once

#include <QFont>

namespace orsa::app::fonts {

// The window was drawn for Windows fonts; these are the metric-compatible
// free faces (fonts-liberation) at the same pixel heights, and on Windows,
// which lacks those, the Windows faces themselves (Arial, Courier New).
QFont arial(int pixelSize, bool bold = false);
QFont msSansSerif(int pixelSize = 11);
QFont consolas(int pixelSize, bool bold = false);
QFont arialBlack(int pixelSize);

}  // namespace orsa::app::fonts
