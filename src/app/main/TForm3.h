#pragma once

#include <QWidget>

#include <memory>

class QProgressBar;

namespace orsa::app {

class ProgressMeter;

// Small progress window shown while settings go to or come from the beacon. A tool window owned
// by the main window, so window managers keep it above its owner rather than letting a click on
// the owner bury it.
class TForm3 : public QWidget {
  Q_OBJECT
 public:
  explicit TForm3(QWidget* owner);
  ~TForm3() override;

  QProgressBar* progressBar() const { return bar_; }
  // Shows the window with `caption`; when it was hidden it comes up centred on its owner.
  void showWithCaption(const QString& caption);
  // The bar at `position` of `maximum` slots, the last one exchanged being slot `position`; its
  // text counts the slots' bytes.
  void setProgress(int maximum, int position);

 signals:
  // Esc while this window has the keyboard: the main window decides what may be stopped.
  void stopRequested();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void centreOnOwner();

  QProgressBar* bar_;
  std::unique_ptr<ProgressMeter> text_;
};

}  // namespace orsa::app
