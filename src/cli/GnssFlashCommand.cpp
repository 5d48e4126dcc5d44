#include <CLI/CLI.hpp>
#include <functional>
#include <memory>
#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/ProgressBar.h"
#include "cli/StopRequest.h"
#include "firmware/FirmwareMessages.h"
#include "firmware/GPSUpdateThread.h"
#include "link/Utf8Path.h"

namespace orsa::cli {

namespace {

using Worker = firmware::GPSUpdateThread;

// What a run of the worker left for the command to judge.
struct GnssRun {
  int status = kExitSuccess;  // set when the run ended before judging: refused, not connected, stopped
  bool ended = false;
  std::string lastLine;
};

// Runs the worker as the GNSS window does, its log lines on standard output. Ctrl-C asks it to
// stop; it then brings the module back and says so in its last line, which is printed too.
GnssRun runGnssWorker(CliContext& context, const char* name, const std::function<void(Worker&)>& configure) {
  // A log line ends a stage and its bar; the first bar is the loader's, the next the firmware's.
  std::unique_ptr<ProgressBar> progress;
  int bars = 0;
  GnssRun outcome;
  bool notConnected = false;
  Worker::Callbacks callbacks;
  callbacks.appendLog = [&](const Worker& flash) {
    progress.reset();
    outcome.lastLine = flash.messageText;
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

  // Before the worker's thread, which inherits the blocked signals; it goes after the thread.
  StopRequest stopRequest;
  Worker flash(context.deviceLink(), callbacks);
  configure(flash);
  flash.setFinishedHandler([&stopRequest] { stopRequest.finish(); });
  if (!flash.start()) {
    outcome.status = context.failed(flash.refusalMessage());
    outcome.ended = true;
    return outcome;
  }
  const bool stopped = stopRequest.wait(std::nullopt);
  if (stopped) flash.requestStop();
  flash.join();
  progress.reset();
  if (notConnected) {
    outcome.status = context.failed(link::kNotConnectedMessage);
    outcome.ended = true;
  } else if (stopped && !flash.succeeded()) {
    // The worker's own words say "прервана" of the flash; this line is for whoever pressed Ctrl-C.
    context.err << "orsactl: " << name << ": прервано (Ctrl-C)\n";
    outcome.status = kExitStopped;
    outcome.ended = true;
  } else if (flash.succeeded()) {
    outcome.ended = true;
  }
  return outcome;
}

}  // namespace

CommandRun defineGnssFlash(CLI::App& app) {
  struct Files {
    std::string loader;
    std::string firmware;
    bool force = false;
  };
  auto files = std::make_shared<Files>();
  app.add_option("--loader", files->loader, "the loader the boot ROM runs first")->required()->option_text("FILE");
  app.add_option("--firmware", files->firmware, "the module's firmware")->required()->option_text("FILE");
  app.add_flag("--force", files->force,
               "flash files of unusual sizes too (a loader other than 11892 bytes, a firmware smaller than the "
               "loader), which are refused otherwise as likely given the wrong way round");
  app.footer(
      "Both files are read and checked before the beacon hears anything. Ctrl-C stops the flash, brings the module "
      "back to its normal mode (9600 baud, power restarted) and exits with 130.\n\n"
      "Example:\n"
      "  orsactl gnss-flash --loader MT3339_loader.bin --firmware AXN_3.8.bin\n"
      "      the loader, then the firmware; the module's release is shown before and after");
  return [files](CliContext& context) -> int {
    const GnssRun run = runGnssWorker(context, "gnss-flash", [&](Worker& flash) {
      flash.loaderPath = link::utf8Path(files->loader);
      flash.firmwarePath = link::utf8Path(files->firmware);
      flash.unusualFilesConfirmed = files->force;
    });
    if (run.ended) return run.status;
    if (run.lastLine.ends_with(firmware::messages::gnss::kNotConfirmed)) {
      context.err << "orsactl: " << run.lastLine
                  << "\norsactl: если файлы верные, запустите gnss-flash снова с --force\n";
      return kExitFailed;
    }
    return context.failed(run.lastLine);
  };
}

CommandRun defineGnssRecover(CLI::App& app) {
  app.footer(
      "For a module left in its boot ROM or at 115200 baud, by a flash cut short or anything else; it answers NMEA "
      "again afterwards.\n\n"
      "Example:\n"
      "  orsactl gnss-recover && orsactl nmea --seconds 5");
  return [](CliContext& context) -> int {
    const GnssRun run = runGnssWorker(context, "gnss-recover", [](Worker& recover) { recover.recoverOnly = true; });
    if (run.ended) return run.status;
    // The worker knows no success for this run but its line: the beacon acknowledged every command.
    if (run.lastLine == firmware::messages::gnss::kRecovered) return kExitSuccess;
    return context.failed(run.lastLine);
  };
}

}  // namespace orsa::cli
