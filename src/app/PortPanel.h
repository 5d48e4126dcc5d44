#pragma once

#include <QFrame>
#include <QStringList>

#include <functional>
#include <utility>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace orsa::app {

// Lower-left panel: automatic port choice, or the port typed or picked from
// the list of ports that could be opened.
class PortPanel : public QFrame {
  Q_OBJECT
 public:
  using PortLister = std::function<QStringList()>;

  explicit PortPanel(QWidget* form);

  void setPortLister(PortLister lister) { lister_ = std::move(lister); }
  // Replaces the list by the ports found now; keeps the typed text when none is found.
  void refill();

  bool automatic() const;
  QString portText() const;
  void setAutomatic(bool on);
  void setPortText(const QString& text);

  QCheckBox* autoCheckBox() const { return auto_; }
  QComboBox* portList() const { return ports_; }

 private:
  QCheckBox* auto_;
  QComboBox* ports_;
  QPushButton* enumerate_;
  PortLister lister_;
};

}  // namespace orsa::app
