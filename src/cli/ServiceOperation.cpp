#include "cli/ServiceOperation.h"

#include <mutex>
#include <ostream>

#include "cli/ExitCode.h"
#include "cli/ProgressBar.h"
#include "cli/StopRequest.h"

namespace orsa::cli {

int runServiceOperation(CliContext& context, ServiceRequest request) {
  std::ostream& log = request.report ? context.err : context.out;
  ProgressBar progress(context.err, context.interactive(), "Запись", ProgressBar::Unit::Bytes);
  service::ServiceThread::Callbacks callbacks;
  callbacks.appendLog = [&](const std::string& line) {
    progress.finish();  // the bar goes on below the line
    log << line << std::endl;
  };
  callbacks.showProgress = [&](const service::ServiceThread& operation) {
    progress.update(operation.progressPosition, operation.progressMax);
  };
  // Before the operation's thread, which inherits the blocked signals; it goes after the thread.
  StopRequest stopRequest;
  // The tool has no other reader of replies; the operation takes the lock all the same.
  std::mutex replyLock;
  service::ServiceThread operation(context.deviceLink(), replyLock, callbacks);
  operation.mode = request.mode;
  operation.phoneNumber = std::move(request.phoneNumber);
  operation.fileList = std::move(request.upload.files);
  operation.totalSize = request.upload.totalSize;
  operation.fileName = std::move(request.fileName);
  operation.setFinishedHandler([&stopRequest] { stopRequest.finish(); });
  if (!operation.start()) return context.failed(operation.refusalMessage());
  // The operation ends itself within a second of a stop and logs what it left on the modem.
  const bool stopped = stopRequest.wait(std::nullopt);
  if (stopped) operation.requestStop();
  operation.join();
  progress.finish();
  if (operation.resultCode == link::kResultFailure) return context.failed(link::kNotConnectedMessage);
  if (stopped) return kExitStopped;
  if (!operation.reachedAim()) return kExitFailed;
  if (request.report) request.report(operation);
  return kExitSuccess;
}

}  // namespace orsa::cli
