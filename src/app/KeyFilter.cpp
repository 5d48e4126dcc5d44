#include "KeyFilter.h"

#include <QKeyEvent>

namespace orsa::app {

KeyFilter::KeyFilter(settings::FilteredField field, QObject* parent)
    : QObject(parent), field_(field) {}

KeyFilter* KeyFilter::install(QObject* fieldWidget, settings::FilteredField field) {
  auto* filter = new KeyFilter(field, fieldWidget);
  fieldWidget->installEventFilter(filter);
  return filter;
}

bool KeyFilter::accepts(const QString& typed) const {
  // Arrows, Home, End carry no text; Tab, Enter, Escape and Delete insert none.
  for (const char32_t c : typed.toUcs4()) {
    if (!settings::acceptsKey(field_, c) && QChar::isPrint(c)) {
      return false;
    }
  }
  return true;
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    // Pasting would smuggle in whatever the clipboard holds.
    if (key->matches(QKeySequence::Paste) || !accepts(key->text())) {
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace orsa::app
