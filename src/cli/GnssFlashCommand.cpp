#include <memory>
#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/ProgressBar.h"
#include "firmware/GPSUpdateThread.h"

namespace orsa::cli {

int runGnssFlash(CliContext& context, Arguments& arguments) {
  const auto loader = arguments.option("--loader");
  const auto firmwareFile = arguments.option("--firmware");
  if (!arguments.positionals().empty()) throw UsageError("gnss-flash takes no words besides its options");
  if (!loader || !firmwareFile) throw UsageError("gnss-flash needs --loader FILE and --firmware FILE");

  using Worker = firmware::GPSUpdateThread;
  // A log line ends a stage and its bar; the first bar is the loader's, the next the firmware's.
  std::unique_ptr<ProgressBar> progress;
  int bars = 0;
  std::string lastLine;
  bool notConnected = false;
  Worker::Callbacks callbacks;
  callbacks.appendLog = [&](const Worker& flash) {
    progress.reset();
    lastLine = flash.messageText;
    context.out << flash.messageText << std::endl;
  };
  callbacks.showProgress = [&](const Worker& flash) {
    if (flash.succeeded()) return;  // the window's bar goes back to 0; a finished line stays finished
    if (!progress) {
      progress = std::make_unique<ProgressBar>(context.err, context.interactive(),
                                               bars++ == 0 ? "Загрузчик" : "Прошивка", ProgressBar::Unit::Bytes);
    }
    progress->update(flash.progressPosition, flash.progressMax);
  };
  callbacks.showResult = [&](const Worker&) { notConnected = true; };

  Worker flash(context.deviceLink(), callbacks);
  flash.loaderPath = *loader;
  flash.firmwarePath = *firmwareFile;
  if (!flash.start()) {
    context.err << flash.refusalMessage() << '\n';
    return kExitFailed;
  }
  flash.join();
  progress.reset();
  if (notConnected) {
    context.reportNotConnected();
    return kExitNotConnected;
  }
  if (flash.succeeded()) return kExitSuccess;
  context.err << lastLine << '\n';
  return kExitFailed;
}

}  // namespace orsa::cli
