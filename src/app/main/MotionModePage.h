#pragma once

#include <QWidget>

namespace orsa::app {

// Page 3: guard by the motion sensor and its two time intervals.
class MotionModePage : public QWidget {
  Q_OBJECT
 public:
  explicit MotionModePage(QWidget* parent);
};

}  // namespace orsa::app
