#pragma once

#include <QWidget>

namespace orsa::app {

// Page 0: the owner's phone number and the PIN for SMS commands.
class PhonePage : public QWidget {
  Q_OBJECT
 public:
  explicit PhonePage(QWidget* parent);
};

}  // namespace orsa::app
