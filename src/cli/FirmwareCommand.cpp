#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/ProgressBar.h"
#include "firmware/MCUpdateThread.h"

namespace orsa::cli {

int runFirmware(CliContext& context, Arguments& arguments) {
  const auto words = arguments.positionals();
  if (words.size() != 1) throw UsageError("firmware needs exactly one FILE.fmw");

  ProgressBar progress(context.err, context.interactive(), "Прошивка", ProgressBar::Unit::Bytes);
  std::string outcome;
  firmware::MCUpdateThread::Callbacks callbacks;
  callbacks.showProgress = [&](const firmware::MCUpdateThread& update) {
    progress.update(update.progressPosition, update.progressMax);
  };
  callbacks.showResult = [&](const firmware::MCUpdateThread& update) {
    progress.finish();
    outcome = update.messageText;
  };
  firmware::MCUpdateThread update(context.deviceLink(), callbacks);
  update.firmwarePath = firmware::firmwareFileName(words[0]);
  if (!update.start()) {
    context.err << update.refusalMessage() << '\n';
    return kExitFailed;
  }
  update.join();
  if (update.resultCode == link::kResultSuccess) {
    context.out << outcome << '\n';
    return kExitSuccess;
  }
  if (outcome == link::kNotConnectedMessage) {
    context.reportNotConnected();
    return kExitNotConnected;
  }
  context.err << outcome << '\n';
  return kExitFailed;
}

}  // namespace orsa::cli
