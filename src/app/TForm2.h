#pragma once

#include <QWidget>

namespace orsa::app {

// Server command window; its commands are added with the service features.
class TForm2 : public QWidget {
  Q_OBJECT
 public:
  TForm2();
};

}  // namespace orsa::app
