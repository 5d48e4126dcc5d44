#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <string>

#include "OperationSlot.h"
#include "service/UploadFolder.h"

namespace orsa::app {

class DeviceSession;
class DialogService;

// The service window's operations on the beacon's modem and GNSS module. Each press starts one
// service operation on the main window's channel; its reports go to the service log. The buttons
// stay enabled, so a press while any operation holds the channel is answered in the log and
// starts nothing.
class ServiceCommands : public QObject {
  Q_OBJECT
 public:
  using LogLine = std::function<void(const QString& line)>;

  ServiceCommands(DeviceSession& session, DialogService& dialogs, LogLine log);
  ~ServiceCommands() override;

  // `mode` is one of ServiceThread::Mode. `phoneNumber` (Windows-1251) is for the SMS and the
  // call, `upload` for the file upload; the worker takes its own copies.
  void start(std::int32_t mode, const std::string& phoneNumber = {}, const service::UploadList& upload = {});

  bool busy() const { return worker_.busy(); }
  // Asks a running operation to end now (the program is closing).
  void requestStop() { worker_.requestStop(); }
  void join() { worker_.join(); }

 signals:
  // An operation ended, whatever its outcome, and was released.
  void operationFinished();

 private:
  DeviceSession& session_;
  DialogService& dialogs_;
  LogLine log_;
  std::string runningOperation_;
  OperationSlot worker_{*this};
};

}  // namespace orsa::app
