#pragma once

#include <QObject>
#include <QString>

#include <functional>

#include "OperationSlot.h"
#include "firmware/NmeaDecoder.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

namespace orsa::app {

class DeviceSession;
class DialogService;

// The GNSS module's page of the service window: the NMEA relay behind "Транслировать NMEA поток",
// with the receiver's status decoded from the same stream, and the module's firmware update.
// Both run on the main window's channel; the relay gives way to every other operation.
class GnssCommands : public QObject {
  Q_OBJECT
 public:
  using LogLine = std::function<void(const QString& line)>;

  // `page` holds CheckBox1, Button7, ProgressBar1 and the status label; log lines and the stream
  // both go to the service log.
  GnssCommands(DeviceSession& session, DialogService& dialogs, QWidget& page, LogLine logLine, LogLine stream);
  ~GnssCommands() override;

  // Starts the module's update with these files (Button7), stopping the relay first.
  void startFlash(const QString& loaderPath, const QString& firmwarePath);
  // Unchecks CheckBox1, which stops the relay at once.
  void stopRelay();
  bool relayRunning() const { return relay_.busy(); }
  bool flashRunning() const { return flash_.busy(); }

  // The program is closing.
  void requestStop();
  void join();

 signals:
  void flashFinished();

 private:
  void setRelay(bool on);
  void drain(std::string_view stream);

  DeviceSession& session_;
  DialogService& dialogs_;
  LogLine logLine_;
  LogLine stream_;
  QCheckBox* relayBox_;
  QPushButton* flashButton_;
  QProgressBar* progress_;
  QLabel* status_;
  firmware::NmeaDecoder decoder_;
  OperationSlot relay_{*this};
  OperationSlot flash_{*this};
};

}  // namespace orsa::app
