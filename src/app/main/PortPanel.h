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
// the list of ports that could be opened. While the choice is automatic the list
// cannot be changed and shows the port the automatic choice takes, or nothing.
class PortPanel : public QFrame {
  Q_OBJECT
 public:
  using PortLister = std::function<QStringList()>;
  using PortFinder = std::function<QString()>;

  explicit PortPanel(QWidget* form);

  void setPortLister(PortLister lister) { lister_ = std::move(lister); }
  // The port the automatic choice would open now; empty when it finds none or several.
  void setAutomaticPortFinder(PortFinder finder) { finder_ = std::move(finder); }
  // Automatic: shows the port the choice finds now. Otherwise replaces the list by the ports found
  // now, keeping the typed text when none is found.
  void refill();

  bool automatic() const;
  QString portText() const;
  void setAutomatic(bool on);
  void setPortText(const QString& text);

  // Why the port did not open, shown under the controls (shortened in the middle when long) and
  // whole as their tool tip, until the next connect succeeds or the port or the check box changes;
  // an empty text clears it.
  void setConnectProblem(const QString& reason);
  QString connectProblem() const { return problem_; }

  QCheckBox* autoCheckBox() const { return auto_; }
  QComboBox* portList() const { return ports_; }

 private:
  void followCheckBox(bool automatic);

  QCheckBox* auto_;
  QComboBox* ports_;
  QPushButton* enumerate_;
  QLabel* status_;
  QString problem_;
  QString manualText_;  // what the list showed before the choice became automatic
  PortLister lister_;
  PortFinder finder_;
};

}  // namespace orsa::app
