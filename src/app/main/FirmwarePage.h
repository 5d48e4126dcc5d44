#pragma once

#include <QWidget>

namespace orsa::app {

// Page 7: firmware update of the beacon and what the beacon told about itself.
class FirmwarePage : public QWidget {
  Q_OBJECT
 public:
  explicit FirmwarePage(QWidget* parent);
};

}  // namespace orsa::app
