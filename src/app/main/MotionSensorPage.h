#pragma once

#include <QWidget>

namespace orsa::app {

// Page 4: fine tuning of the motion sensor.
class MotionSensorPage : public QWidget {
  Q_OBJECT
 public:
  explicit MotionSensorPage(QWidget* parent);
};

}  // namespace orsa::app
