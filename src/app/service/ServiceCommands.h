#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "OperationSlot.h"
#include "service/ServiceThread.h"
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
  using ModemFiles = std::vector<service::ServiceThread::ModemFile>;

  ServiceCommands(DeviceSession& session, DialogService& dialogs, LogLine log);
  ~ServiceCommands() override;

  // `mode` is one of ServiceThread::Mode. `phoneNumber` (Windows-1251) is for the SMS and the
  // call, `upload` for the file upload, `fileName` (Windows-1251) for the removal of a file from
  // the modem's drive; the worker takes its own copies.
  void start(std::int32_t mode, const std::string& phoneNumber = {}, const service::UploadList& upload = {},
             const std::string& fileName = {});

  bool busy() const { return worker_.busy(); }
  // Asks a running operation to end now and returns at once: the worker leaves the modem in
  // command mode, says so in the log and is released when its thread is through.
  void requestStop() { worker_.requestStop(); }
  void join() { worker_.join(); }

 signals:
  void operationStarted(std::int32_t mode);
  // An operation ended, whatever its outcome, and was released; `reachedAim` as the worker said.
  void operationFinished(std::int32_t mode, bool reachedAim);
  // An upload began with this many bytes to write, and the modem has confirmed `written` of them.
  void uploadStarted(qint64 total);
  void uploadProgress(qint64 written, qint64 total);
  // The drive's listing is complete.
  void modemFilesListed(const ModemFiles& files, std::optional<std::int32_t> freeBytes);

 private:
  DeviceSession& session_;
  DialogService& dialogs_;
  LogLine log_;
  std::string runningOperation_;
  OperationSlot worker_{*this};
};

}  // namespace orsa::app
