#pragma once

#include <QWidget>

namespace orsa::app {

// Page 4: fine tuning of the motion sensor.
class MotionSensorPage : public QWidget {
  Q_OBJECT
 public:
  explicit MotionSensorPage(QWidget* parent);

  // Impact durations in tenths of a second, 0 to 4 s.
  static QStringList durationItems();
};

}  // namespace orsa::app
