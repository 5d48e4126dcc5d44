#pragma once

#include <QWidget>

namespace orsa::app {

// Page 6: watching the SIM card's account balance.
class BalancePage : public QWidget {
  Q_OBJECT
 public:
  explicit BalancePage(QWidget* parent);
};

}  // namespace orsa::app
