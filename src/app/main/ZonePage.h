#pragma once

#include <QWidget>

namespace orsa::app {

// Page 5: alarm when the beacon leaves its guard zone.
class ZonePage : public QWidget {
  Q_OBJECT
 public:
  explicit ZonePage(QWidget* parent);
};

}  // namespace orsa::app
