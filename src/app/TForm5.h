#pragma once

#include <QWidget>

namespace orsa::app {

// Service window; its operations come with the service features.
class TForm5 : public QWidget {
  Q_OBJECT
 public:
  TForm5();

  // Shows the window beside the others without blocking them, centred on the desktop when it
  // was hidden.
  void present();
};

}  // namespace orsa::app
