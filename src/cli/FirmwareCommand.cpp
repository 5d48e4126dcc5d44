#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <optional>
#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/InputError.h"
#include "cli/ProgressBar.h"
#include "cli/SettingsExchange.h"
#include "cli/SettingsOutput.h"
#include "cli/StopRequest.h"
#include "cli/Terminal.h"
#include "firmware/FirmwareMessages.h"
#include "firmware/MCUpdateThread.h"
#include "settings/RWSettingsThread.h"
#include "link/Utf8Path.h"

namespace orsa::cli {

namespace {

// The window's question before it cuts an update short.
constexpr const char* kAbortQuestion = "Прервать обновление? Маяк останется без рабочей прошивки";

struct FirmwareOptions {
  std::string file;
  std::optional<std::string> backup;
};

// The beacon's settings kept before its flash is erased; false (and why, on standard error) when
// they could not be read or saved, and then the update must not start.
bool backUpSettings(CliContext& context, const std::string& path, int& status) {
  settings::SettingsRecord record;
  if (const auto read = exchangeSettings(context, record, settings::RWSettingsThread::kReadMode);
      read.status != kExitSuccess) {
    context.err << "orsactl: обновление не начато: настройки маяка не прочитаны для --backup\n";
    status = read.status;
    return false;
  }
  if (const std::string error = saveRecord(context, path, record, false); !error.empty()) {
    context.err << "orsactl: " << path << ": " << error
                << "\norsactl: обновление не начато: резервная копия настроек не сохранена\n";
    status = kExitFailed;
    return false;
  }
  context.err << "Настройки маяка сохранены в " << path << '\n';
  return true;
}

// Waits for the update to end or to be stopped; true when it is to be stopped. A person at a terminal
// is asked first, as the window asks, and a second Ctrl-C is the answer; a script's Ctrl-C or kill
// stops it at once.
bool stopWanted(StopRequest& stopRequest, CliContext& context, bool ask) {
  bool asked = false;
  while (stopRequest.wait(std::nullopt)) {
    if (!ask || asked) return true;
    context.err << '\n'
                << kAbortQuestion << "\nЧтобы прервать, нажмите Ctrl+C ещё раз; иначе обновление продолжится\n"
                << std::flush;
    asked = true;
  }
  return false;
}

}  // namespace

CommandRun defineFirmware(CLI::App& app) {
  auto options = std::make_shared<FirmwareOptions>();
  app.add_option("FILE", options->file, "the firmware image, FILE.fmw")->required();
  app.add_option_function<std::string>(
         "--backup", [options](const std::string& path) { options->backup = path; },
         "read the beacon's settings and keep them in FILE (.cfg, or JSON for FILE.json) before the update; "
         "when that fails the update does not start")
      ->option_text("FILE");
  app.footer(
      "Ctrl-C at a terminal asks \"" + std::string(kAbortQuestion) +
      "\"; a second Ctrl-C is the answer Yes. Without a terminal Ctrl-C stops at once. Either way the block on its "
      "way is written first, the tool says how much of the image the beacon holds and exits with 130; run the "
      "update again to finish it.\n"
      "There is no --verify: the beacon cannot read its program memory back, so the update checks that every "
      "block was acknowledged, and nothing more can be checked.\n\n"
      "Examples:\n"
      "  orsactl firmware T4_2.17\n"
      "      writes T4_2.17.fmw\n"
      "  orsactl firmware T4_2.17.fmw --backup before.cfg\n"
      "      keeps the beacon's settings in before.cfg first");
  // The image is checked before any beacon is opened: a line of beacons hears of a bad file once.
  app.final_callback([options] {
    if (const auto image = firmware::readFirmwareImage(link::utf8Path(firmware::firmwareFileName(options->file)));
        !image.ok()) {
      throw InputError(image.problem);
    }
  });
  return [options](CliContext& context) -> int {
    if (options->backup) {
      int status = kExitFailed;
      if (!backUpSettings(context, *options->backup, status)) return status;
    }
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
    // Before the update's thread, which inherits the blocked signals; it goes after the thread.
    StopRequest stopRequest;
    firmware::MCUpdateThread update(context.deviceLink(), callbacks);
    update.firmwarePath = link::utf8Path(firmware::firmwareFileName(options->file));
    update.setFinishedHandler([&stopRequest] { stopRequest.finish(); });
    if (!update.start()) return context.failed(update.refusalMessage());
    // Only the tool's own terminal is asked: several beacons at once draw their lines there.
    const bool ask = &context.err == &std::cerr && standardErrorIsTerminal();
    // The update lets the block in flight be acknowledged and then reports what the beacon holds.
    const bool stopped = stopWanted(stopRequest, context, ask);
    if (stopped) update.requestStop();
    update.join();
    progress.finish();
    if (update.succeeded()) {
      context.out << outcome << '\n';
      return kExitSuccess;
    }
    // Stopped before the erase went out, the update reports nothing: the beacon's flash is untouched.
    const bool untouched = outcome.empty();
    if (untouched) {
      outcome = stopped ? std::string(firmware::messages::update::kInterrupted) + "прошивка маяка не тронута"
                        : firmware::messages::update::kWriteError;
    }
    if (stopped && outcome != link::kNotConnectedMessage) {
      context.err << "orsactl: " << outcome << '\n';
      if (!untouched) {
        context.err << "orsactl: маяк остался без рабочей прошивки: не отключайте его и запустите «orsactl firmware "
                    << options->file << "» снова\n";
      }
      return kExitStopped;
    }
    return context.failed(outcome);
  };
}

}  // namespace orsa::cli
