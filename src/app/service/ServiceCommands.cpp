#include "ServiceCommands.h"

#include "DeviceSession.h"
#include "DialogService.h"
#include "ResultBox.h"
#include "link/ChannelGate.h"

namespace orsa::app {

ServiceCommands::ServiceCommands(DeviceSession& session, DialogService& dialogs, LogLine log)
    : session_(session), dialogs_(dialogs), log_(std::move(log)) {}

ServiceCommands::~ServiceCommands() = default;

void ServiceCommands::start(std::int32_t mode, const std::string& phoneNumber, const service::UploadList& upload,
                            const std::string& fileName) {
  if (busy()) {
    // Our own last operation may have let the channel go already with its release still on its
    // way to this thread; it is refused the same way, as it is over in a moment.
    log_(QString::fromStdString(link::channelBusyMessage(session_.gate.holder().value_or(runningOperation_))));
    return;
  }
  using Worker = service::ServiceThread;
  Worker::Callbacks callbacks;
  callbacks.appendLog = [this](const std::string& line) { log_(QString::fromStdString(line)); };
  callbacks.showResult = [this](const Worker& w) {
    showResultBox(dialogs_, w.resultCode, QString::fromStdString(w.messageText));
  };
  callbacks.showProgress = [this](const Worker& w) { emit uploadProgress(w.progressPosition, w.progressMax); };
  callbacks.showModemFiles = [this](const Worker& w) { emit modemFilesListed(w.modemFiles, w.modemFreeBytes); };
  auto worker = std::make_unique<Worker>(session_.linkForOperation(), session_.replyLock, std::move(callbacks));
  worker->mode = mode;
  worker->phoneNumber = phoneNumber;
  worker->fileList = upload.files;
  worker->totalSize = upload.totalSize;
  worker->fileName = fileName;
  runningOperation_ = worker->operationName();
  const auto ended = [this, mode](const link::Worker* finished) {
    const auto* service = static_cast<const Worker*>(finished);
    emit operationFinished(mode, service != nullptr && service->reachedAim());
  };
  if (auto refusal = worker_.start(std::move(worker), ended)) {
    log_(QString::fromStdString(*refusal));
    return;
  }
  emit operationStarted(mode);
  if (mode == Worker::kUploadFiles) emit uploadStarted(static_cast<qint64>(upload.totalSize));
}

}  // namespace orsa::app
