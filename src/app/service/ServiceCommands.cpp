#include "ServiceCommands.h"

#include "DeviceSession.h"
#include "DialogService.h"
#include "ResultBox.h"
#include "link/ChannelGate.h"
#include "service/ServiceThread.h"

namespace orsa::app {

ServiceCommands::ServiceCommands(DeviceSession& session, DialogService& dialogs, LogLine log)
    : session_(session), dialogs_(dialogs), log_(std::move(log)) {}

ServiceCommands::~ServiceCommands() = default;

void ServiceCommands::start(std::int32_t mode, const std::string& phoneNumber, const service::UploadList& upload) {
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
  auto worker = std::make_unique<Worker>(session_.linkForOperation(), session_.replyLock, std::move(callbacks));
  worker->mode = mode;
  worker->phoneNumber = phoneNumber;
  worker->fileList = upload.files;
  worker->totalSize = upload.totalSize;
  runningOperation_ = worker->operationName();
  if (auto refusal = worker_.start(std::move(worker), [this] { emit operationFinished(); })) {
    log_(QString::fromStdString(*refusal));
  }
}

}  // namespace orsa::app
