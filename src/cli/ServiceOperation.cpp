#include "cli/ServiceOperation.h"

#include <mutex>
#include <ostream>

#include "cli/ExitCode.h"
#include "cli/ProgressBar.h"

namespace orsa::cli {

int runServiceOperation(CliContext& context, std::int32_t mode, std::string phoneNumber, service::UploadList upload) {
  ProgressBar progress(context.err, context.interactive(), "Запись", ProgressBar::Unit::Bytes);
  std::string notConnected;
  service::ServiceThread::Callbacks callbacks;
  callbacks.appendLog = [&](const std::string& line) {
    progress.finish();  // the bar goes on below the line
    context.out << line << std::endl;
  };
  callbacks.showResult = [&](const service::ServiceThread& operation) { notConnected = operation.messageText; };
  callbacks.showProgress = [&](const service::ServiceThread& operation) {
    progress.update(operation.progressPosition, operation.progressMax);
  };
  // The tool has no other reader of replies; the operation takes the lock all the same.
  std::mutex replyLock;
  service::ServiceThread operation(context.deviceLink(), replyLock, callbacks);
  operation.mode = mode;
  operation.phoneNumber = std::move(phoneNumber);
  operation.fileList = std::move(upload.files);
  operation.totalSize = upload.totalSize;
  if (!operation.start()) return context.failed(operation.refusalMessage());
  operation.join();
  progress.finish();
  if (operation.resultCode == link::kResultFailure) return context.failed(link::kNotConnectedMessage);
  return operation.reachedAim() ? kExitSuccess : kExitFailed;
}

}  // namespace orsa::cli
