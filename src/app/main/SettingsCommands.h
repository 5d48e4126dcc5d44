#pragma once

#include <QObject>

#include <memory>

#include "OperationSlot.h"

namespace orsa::settings {
class RWSettingsThread;
class SettingsRecord;
}  // namespace orsa::settings

namespace orsa::app {

class DeviceSession;
class DialogService;
class TForm1;

// The settings commands of the main window: read from and write to the
// beacon, factory defaults, and the settings file.
class SettingsCommands : public QObject {
  Q_OBJECT
 public:
  SettingsCommands(TForm1& form, DeviceSession& session, DialogService& dialogs);
  ~SettingsCommands() override;

  void read();             // SpeedButton4
  void write();            // SpeedButton3
  void restoreDefaults();  // SpeedButton5
  void save();             // SpeedButton2
  void load();             // SpeedButton1
  // What the load does once a name was chosen: `name` is checked, read and shown as a name chosen
  // in its dialog would be. The program's file argument comes here.
  void openFile(const QString& name);

  // A read or write is under way; other settings commands wait for it.
  bool busy() const { return worker_.busy(); }
  bool reading() const;
  bool writing() const;
  // The last read or write that ran to its end succeeded; false while none has, and after a stopped one.
  bool lastExchangeSucceeded() const { return lastExchangeSucceeded_; }
  // Asks a running exchange to end now (the window is closing).
  void requestStop() { worker_.requestStop(); }
  // Waits for a running exchange to end; only after requestStop.
  void join() { worker_.join(); }

  // Puts the record onto the pages / into the summary grid.
  void showRecord();
  void fillSummaryGrid();

 signals:
  // A read or write ended, whatever its outcome.
  void exchangeFinished();

 private:
  void start(int mode);
  bool collect();
  void hideProgressWindow();

  TForm1& form_;
  DeviceSession& session_;
  DialogService& dialogs_;
  OperationSlot worker_{*this};
  int runningMode_ = 0;
  bool lastExchangeSucceeded_ = false;
};

}  // namespace orsa::app
