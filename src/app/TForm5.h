#pragma once

#include <QWidget>

namespace orsa::app {

// Service window; its operations come with the service features.
class TForm5 : public QWidget {
  Q_OBJECT
 public:
  TForm5();
};

}  // namespace orsa::app
