#include "KeyFilter.h"

#include <QLineEdit>

namespace orsa::app {

KeyFilter::KeyFilter(settings::FilteredField field, QLineEdit* edit)
    : QValidator(edit), field_(field), shown_(edit->text()) {
  // Emitted only for a change that stood, so a refused one leaves the text to compare with.
  connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { shown_ = text; });
}

KeyFilter* KeyFilter::install(QLineEdit* edit, settings::FilteredField field) {
  auto* filter = new KeyFilter(field, edit);
  edit->setValidator(filter);
  return filter;
}

void KeyFilter::showUnfiltered(QLineEdit* edit, const QString& text) {
  const QValidator* filter = edit->validator();
  edit->setValidator(nullptr);
  edit->setText(text);
  edit->setValidator(filter);
}

QValidator::State KeyFilter::validate(QString& input, int& /*pos*/) const {
  return settings::acceptsEdit(field_, shown_.toStdU32String(), input.toStdU32String()) ? Acceptable : Invalid;
}

}  // namespace orsa::app
