#pragma once

#include <QObject>
#include <QString>

namespace orsa::app {

class TForm1;
class TForm5;

// Brings every section of the main window forward in turn, then the progress, command and
// access windows, and saves what the screen shows as PNG files.
class ScreenshotRunner : public QObject {
  Q_OBJECT
 public:
  ScreenshotRunner(TForm1& form1, QString directory);

  // Renders all pictures; false when a file could not be written.
  bool run();

 private:
  bool save(QWidget& widget, const QString& name);
  // Reads the simulated beacon so the pages and the summary show its settings.
  bool readBeacon();
  // Runs a service operation (the modem's start, so the log has something to show; the GNSS
  // module's start) and waits for it.
  bool runServiceOperation(TForm5& service, int mode);
  // The GPS tab while the relay shows the module's stream, and while the module is being flashed.
  bool shootGnss(TForm5& service);

  TForm1& form1_;
  QString directory_;
};

}  // namespace orsa::app
