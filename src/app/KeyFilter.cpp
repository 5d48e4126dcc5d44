#include "KeyFilter.h"

#include <QKeyEvent>

#include <utility>

namespace orsa::app {

KeyFilter::KeyFilter(QString accepted, QObject* parent)
    : QObject(parent), accepted_(std::move(accepted)) {}

KeyFilter* KeyFilter::install(QObject* field, const QString& accepted) {
  auto* filter = new KeyFilter(accepted, field);
  field->installEventFilter(filter);
  return filter;
}

bool KeyFilter::accepts(const QString& typed) const {
  if (typed.isEmpty()) {
    return true;  // arrows, Home, End, Delete: no character is inserted
  }
  for (const QChar c : typed) {
    if (c == QLatin1Char('\b') || accepted_.contains(c)) {
      continue;
    }
    // Other control characters (Tab, Enter, Escape, Delete) never insert text.
    if (!c.isPrint()) {
      continue;
    }
    return false;
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
