#pragma once

#include "settings/SettingsPage.h"

class QWidget;

namespace orsa::app {

// Moves the state of the settings controls to and from the page model that
// ShowRecord and CollectRecord work on.  Controls are found by their names.
class PageBinding {
 public:
  explicit PageBinding(QWidget& form) : form_(form) {}

  settings::SettingsPage read() const;
  void write(const settings::SettingsPage& page) const;

 private:
  QWidget& form_;
};

}  // namespace orsa::app
