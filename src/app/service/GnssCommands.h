#pragma once

#include <QObject>
#include <QString>

#include <filesystem>
#include <functional>
#include <memory>

#include "OperationSlot.h"
#include "ProgressMeter.h"
#include "firmware/NmeaDecoder.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QWidget;

namespace orsa::firmware {
class GPSUpdateThread;
}

namespace orsa::app {

class DeviceSession;
class DialogService;

// The GNSS module's page of the service window: the NMEA relay behind "Транслировать NMEA поток",
// with the receiver's status decoded from the same stream, and the module's firmware update.
// Both run on the main window's channel; the relay gives way to every other operation. The
// module's recovery takes the flash's place, so the two never overlap.
class GnssCommands : public QObject {
  Q_OBJECT
 public:
  using LogLine = std::function<void(const QString& line)>;

  // `page` holds CheckBox1, Button7, ButtonGnssRecover, ProgressBar1, ListSatellites and the two
  // labels; log lines
  // and the stream both go to the service log.
  GnssCommands(DeviceSession& session, DialogService& dialogs, QWidget& page, LogLine logLine, LogLine stream);
  ~GnssCommands() override;

  // Starts the module's update with these files (Button7), stopping the relay first. Files of
  // unusual sizes, such as ones given the wrong way round, are asked about first.
  void startFlash(const QString& loaderPath, const QString& firmwarePath);
  // Brings the module back to its normal mode (ButtonGnssRecover), stopping the relay first.
  void startRecovery();
  // Unchecks CheckBox1, which stops the relay at once.
  void stopRelay();
  bool relayRunning() const { return relay_.busy(); }
  // A flash or a recovery.
  bool flashRunning() const { return flash_.busy(); }
  // Asks a running flash or recovery to end and returns at once; the relay is left as CheckBox1 says.
  void stopFlash() { flash_.requestStop(); }

  // The program is closing.
  void requestStop();
  void join();

 signals:
  void flashStarted();
  void flashFinished();

 private:
  void setRelay(bool on);
  void drain(std::string_view stream);
  // The last whole epoch in the label and the satellite list, or why there is none.
  void showReceiver(firmware::NmeaDecoder::Clock::time_point now);
  // Nothing shown and nothing remembered: the view never outlives the stream it came from.
  void clearReceiver();
  // Asks about files of unusual sizes; true to go on, `confirmed` telling the flash they were accepted.
  bool filesAccepted(const std::filesystem::path& loader, const std::filesystem::path& firmware, bool& confirmed);
  std::unique_ptr<firmware::GPSUpdateThread> newFlashWorker();
  void startFlashWorker(std::unique_ptr<firmware::GPSUpdateThread> worker);
  void setFlashButtonsEnabled(bool enabled);
  void showRelease(const firmware::GPSUpdateThread& run);

  DeviceSession& session_;
  DialogService& dialogs_;
  LogLine logLine_;
  LogLine stream_;
  QCheckBox* relayBox_;
  QPushButton* flashButton_;
  QPushButton* recoverButton_;
  QProgressBar* progress_;
  QLabel* status_;
  QTreeWidget* sky_;
  QLabel* release_;
  ProgressMeter progressText_;
  firmware::NmeaDecoder decoder_;
  OperationSlot relay_{*this};
  OperationSlot flash_{*this};
};

}  // namespace orsa::app
