#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/ProgressBar.h"
#include "firmware/MCUpdateThread.h"

namespace orsa::cli {

CommandRun defineFirmware(CLI::App& app) {
  auto file = std::make_shared<std::string>();
  app.add_option("FILE", *file, "the firmware image, FILE.fmw")->required();
  return [file](CliContext& context) -> int {
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
    update.firmwarePath = firmware::firmwareFileName(*file);
    if (!update.start()) return context.failed(update.refusalMessage());
    update.join();
    if (update.resultCode != link::kResultSuccess) return context.failed(outcome);
    context.out << outcome << '\n';
    return kExitSuccess;
  };
}

}  // namespace orsa::cli
