#pragma once

#include "settings/KeyFilter.h"

#include <QObject>
#include <QString>

namespace orsa::app {

// Drops typed characters that a field cannot hold (the beacon rejects a
// phone or PIN with anything but digits).  Editing and navigation keys pass.
class KeyFilter : public QObject {
  Q_OBJECT
 public:
  KeyFilter(settings::FilteredField field, QObject* parent);

  static KeyFilter* install(QObject* fieldWidget, settings::FilteredField field);

  // Whether the text a key event would insert may reach the field.
  bool accepts(const QString& typed) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  settings::FilteredField field_;
};

}  // namespace orsa::app
