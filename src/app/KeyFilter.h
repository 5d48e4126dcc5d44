#pragma once

#include <QObject>
#include <QString>

namespace orsa::app {

// Drops typed characters that a field cannot hold (the beacon rejects a
// phone or PIN with anything but digits).  Editing and navigation keys pass.
class KeyFilter : public QObject {
  Q_OBJECT
 public:
  KeyFilter(QString accepted, QObject* parent);

  // Installs a filter on `field` that lets through `accepted` and backspace.
  static KeyFilter* install(QObject* field, const QString& accepted);

  bool accepts(const QString& typed) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QString accepted_;
};

}  // namespace orsa::app
