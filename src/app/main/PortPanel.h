#pragma once

#include <QFrame>
#include <QStringList>

#include <functional>
#include <utility>

class QCheckBox;
class QComboBox;
class QLabel;
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

  // Why the port did not open, shown under the controls and as their tool tip until the next
  // connect succeeds; an empty text clears it.
  void setConnectProblem(const QString& reason);
  QString connectProblem() const { return problem_; }

  QCheckBox* autoCheckBox() const { return auto_; }
  QComboBox* portList() const { return ports_; }

 private:
  QCheckBox* auto_;
  QComboBox* ports_;
  QPushButton* enumerate_;
  QLabel* status_;
  QString problem_;
  PortLister lister_;
};

}  // namespace orsa::app
