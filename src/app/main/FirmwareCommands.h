#pragma once

#include <QObject>

#include <memory>

#include "OperationSlot.h"

namespace orsa::firmware {
class MCUpdateThread;
}

namespace orsa::app {

class DeviceSession;
class DialogService;
class ProgressMeter;
class TForm1;

// "Обновить программное обеспечение": picks a ".fmw" file and runs the
// beacon's firmware update with the progress bar of the firmware page.
class FirmwareCommands : public QObject {
  Q_OBJECT
 public:
  FirmwareCommands(TForm1& form, DeviceSession& session, DialogService& dialogs);
  ~FirmwareCommands() override;

  void update();  // SpeedButton6
  bool busy() const { return worker_.busy(); }
  void requestStop() { worker_.requestStop(); }
  void join() { worker_.join(); }

 signals:
  void updateFinished();

 private:
  TForm1& form_;
  DeviceSession& session_;
  DialogService& dialogs_;
  std::unique_ptr<ProgressMeter> progress_;  // the page's bar
  OperationSlot worker_{*this};
};

}  // namespace orsa::app
