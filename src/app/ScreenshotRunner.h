#pragma once

#include <QObject>
#include <QString>

namespace orsa::app {

class TForm1;
class TForm5;

// Brings every section of the main window forward in turn, then the progress, command and
// access windows, and saves what the screen shows as PNG files. The pages show a beacon's settings
// when there is one: in demo mode, or when the automatic port choice finds a beacon's port (as the
// Windows build's tests arrange under wine); the service window's operations run in demo mode only.
class ScreenshotRunner : public QObject {
  Q_OBJECT
 public:
  ScreenshotRunner(TForm1& form1, QString directory);

  // Renders all pictures; false when a file could not be written.
  bool run();

 private:
  bool save(QWidget& widget, const QString& name);
  // Reads the beacon (the simulated one, or the one the automatic choice found) so the pages and
  // the summary show its settings; whether the read succeeded.
  bool readBeacon();
  // Runs a service operation (the modem's start, so the log has something to show; the GNSS
  // module's start) and waits for it.
  bool runServiceOperation(TForm5& service, int mode);
  // The GSM tab after a few sound files went into the modem: the drive's list filled, the upload's
  // bar full and the modem's diagnostics in the log.
  bool prepareGsm(TForm5& service);
  // The GPS tab while the relay shows the module's stream, and while the module is being flashed.
  bool shootGnss(TForm5& service);

  TForm1& form1_;
  QString directory_;
};

}  // namespace orsa::app
