#pragma once

#include <QWidget>

namespace orsa::app {

// Page 2: how often the position is fixed and how often the beacon wakes up.
class ContactPage : public QWidget {
  Q_OBJECT
 public:
  explicit ContactPage(QWidget* parent);
};

}  // namespace orsa::app
