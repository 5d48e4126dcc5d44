#include "UiFonts.h"

#include <QStringList>

namespace orsa::app::fonts {
namespace {

// The free twin first; where it is missing (Windows) the Windows face it was made to match.
QFont make(const QString& twin, const QString& windowsFace, int pixelSize, bool bold, QFont::StyleHint hint) {
  QFont font;
  font.setFamilies({twin, windowsFace});
  font.setStyleHint(hint);
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

QFont sans(int pixelSize, bool bold) {
  return make(QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), pixelSize, bold, QFont::SansSerif);
}

}  // namespace

QFont arial(int pixelSize, bool bold) { return sans(pixelSize, bold); }

QFont msSansSerif(int pixelSize) { return sans(pixelSize, false); }

QFont consolas(int pixelSize, bool bold) {
  return make(QStringLiteral("Liberation Mono"), QStringLiteral("Courier New"), pixelSize, bold, QFont::Monospace);
}

QFont arialBlack(int pixelSize) {
  QFont font = sans(pixelSize, true);
  font.setWeight(QFont::Black);
  return font;
}

}  // namespace orsa::app::fonts
