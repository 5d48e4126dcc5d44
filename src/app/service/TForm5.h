#pragma once

#include <QWidget>

#include <filesystem>
#include <memory>
#include <string_view>

#include "service/ConfigIni.h"
#include "service/UploadFolder.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace orsa::app {

class DeviceSession;
class DialogService;
class GnssCommands;
class ModemDrivePanel;
class ServiceCommands;
class ProgressMeter;

// The service window: the technician's operations on the beacon's modem and GNSS module on three
// tabs, and the log every operation reports into. It keeps its upload folder, the GNSS module's
// file paths and the test phone number in `configIni`, read once when the window is made.
class TForm5 : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kWidth = 704;
  static constexpr int kHeight = 563;

  // The operations run on the main window's channel, one at a time with every other operation.
  TForm5(DialogService& dialogs, DeviceSession& session, std::filesystem::path configIni);
  ~TForm5() override;

  // Shows the window beside the others without blocking them, centred on the desktop when it
  // was hidden.
  void present();

  // A new last line of the log, after the time it was written (HH:MM:SS).
  void appendLog(const QString& line);
  // The module's stream, appended exactly where the log ends: it brings its own line ends, and a
  // sentence cut by one drain goes on with the next. Log lines keep to lines of their own.
  void appendStream(const QString& text);

  // What the next upload takes: the ".AMR" files of the folder as last scanned.
  const service::UploadList& uploadList() const { return upload_; }
  ServiceCommands& commands() const { return *commands_; }
  GnssCommands& gnss() const { return *gnss_; }

  // "Стоп" and Esc: asks the running service operation, and a running flash of the GNSS module, to
  // end. Returns at once; each says in the log how it ended.
  void stopOperations();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void loadConfig();
  void connectControls();
  // ButtonStop is enabled exactly while there is something for it to stop.
  void updateStopButton();
  void scanFolder(const QString& folder);
  // "Сохранить лог…": the log as it stands into a text file of the technician's choice.
  void saveLog();
  void chooseFolder();
  // Button8 and Button9: a file for Edit2 or Edit3, remembered under `key`.
  void chooseFile(const char* edit, std::string_view key);
  void startWithPhone(int mode, const QString& noPhoneLine);
  void storePhone(const QString& phone);
  // Writes one key of config.ini now; what went wrong goes to the log.
  void store(std::string_view key, const QString& value);
  QLineEdit* field(const char* name) const;

  DialogService& dialogs_;
  const service::ConfigIni config_;
  service::UploadList upload_;
  QPlainTextEdit* log_ = nullptr;
  bool lineBreakOwed_ = false;  // the last thing written was a log line
  QPushButton* stop_ = nullptr;
  QTabWidget* pages_ = nullptr;
  std::unique_ptr<ServiceCommands> commands_;
  std::unique_ptr<GnssCommands> gnss_;
  std::unique_ptr<ProgressMeter> uploadProgress_;
  std::unique_ptr<ModemDrivePanel> drive_;
};

}  // namespace orsa::app
