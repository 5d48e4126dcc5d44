#pragma once

#include "settings/KeyFilter.h"

#include <QString>
#include <QValidator>

class QLineEdit;

namespace orsa::app {

// A field's key filter, applied to every way text enters it: typing, paste
// from the keyboard or the context menu, the selection's middle click, drag
// and drop, input methods. It judges only what the user brings in, so a
// value the program shows (read from the beacon or a file) is never cut or
// refused.
class KeyFilter : public QValidator {
  Q_OBJECT
 public:
  KeyFilter(settings::FilteredField field, QLineEdit* edit);

  static KeyFilter* install(QLineEdit* edit, settings::FilteredField field);

  // Puts a value the program read into a field as it is. A line edit judges
  // even its setText by its validator, and a text judged wrong there would
  // stop it from refusing the user's next change.
  static void showUnfiltered(QLineEdit* edit, const QString& text);

  State validate(QString& input, int& pos) const override;

 private:
  settings::FilteredField field_;
  QString shown_;  // the field's text before the change under judgement
};

}  // namespace orsa::app
