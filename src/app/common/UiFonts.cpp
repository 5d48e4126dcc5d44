#include "UiFonts.h"

namespace orsa::app::fonts {
namespace {

QFont make(const QString& family, int pixelSize, bool bold, QFont::StyleHint hint) {
  QFont font(family);
  font.setStyleHint(hint);
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

}  // namespace

QFont arial(int pixelSize, bool bold) {
  return make(QStringLiteral("Liberation Sans"), pixelSize, bold, QFont::SansSerif);
}

QFont msSansSerif(int pixelSize) { return make(QStringLiteral("Liberation Sans"), pixelSize, false, QFont::SansSerif); }

QFont consolas(int pixelSize, bool bold) {
  return make(QStringLiteral("Liberation Mono"), pixelSize, bold, QFont::Monospace);
}

QFont arialBlack(int pixelSize) {
  QFont font = make(QStringLiteral("Liberation Sans"), pixelSize, true, QFont::SansSerif);
  font.setWeight(QFont::Black);
  return font;
}

}  // namespace orsa::app::fonts
