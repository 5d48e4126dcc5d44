#pragma once

#include <QWidget>

class QProgressBar;

namespace orsa::app {

// Small progress window shown while settings go to or come from the beacon.
class TForm3 : public QWidget {
  Q_OBJECT
 public:
  explicit TForm3(QWidget* owner);

  QProgressBar* progressBar() const { return bar_; }
  // Shows the window with `caption`, centred on the window that owns it.
  void showWithCaption(const QString& caption);
  void setProgress(int maximum, int position);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QWidget* owner_;
  QProgressBar* bar_;
};

}  // namespace orsa::app
