#pragma once

#include <QWidget>

class QProgressBar;

namespace orsa::app {

// Small progress window shown while settings go to or come from the beacon. A tool window owned
// by the main window, so window managers keep it above its owner rather than letting a click on
// the owner bury it.
class TForm3 : public QWidget {
  Q_OBJECT
 public:
  explicit TForm3(QWidget* owner);

  QProgressBar* progressBar() const { return bar_; }
  // Shows the window with `caption`; when it was hidden it comes up centred on its owner.
  void showWithCaption(const QString& caption);
  void setProgress(int maximum, int position);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void centreOnOwner();

  QProgressBar* bar_;
};

}  // namespace orsa::app
