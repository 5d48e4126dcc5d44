#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/ProgressBar.h"
#include "firmware/GPSUpdateThread.h"

namespace orsa::cli {

CommandRun defineGnssFlash(CLI::App& app) {
  struct Files {
    std::string loader;
    std::string firmware;
  };
  auto files = std::make_shared<Files>();
  app.add_option("--loader", files->loader, "the loader the boot ROM runs first")->required()->option_text("FILE");
  app.add_option("--firmware", files->firmware, "the module's firmware")->required()->option_text("FILE");
  return [files](CliContext& context) -> int {
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
    flash.loaderPath = files->loader;
    flash.firmwarePath = files->firmware;
    if (!flash.start()) return context.failed(flash.refusalMessage());
    flash.join();
    progress.reset();
    if (notConnected) return context.failed(link::kNotConnectedMessage);
    if (flash.succeeded()) return kExitSuccess;
    return context.failed(lastLine);
  };
}

}  // namespace orsa::cli
