#pragma once

#include <QWidget>

namespace orsa::app {

// Engineering access window; its code check comes with the service features.
class TForm4 : public QWidget {
  Q_OBJECT
 public:
  TForm4();
};

}  // namespace orsa::app
