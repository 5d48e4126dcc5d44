#pragma once

#include <QWidget>

namespace orsa::app {

// Page 1: time zone, main contact time, coordinate format, data delivery and
// the additional Wialon server.
class MainSettingsPage : public QWidget {
  Q_OBJECT
 public:
  explicit MainSettingsPage(QWidget* parent);
};

}  // namespace orsa::app
