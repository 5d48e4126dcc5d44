#include "cli/SettingsExchange.h"

#include <mutex>
#include <optional>
#include <ostream>
#include <string>

#include "cli/ExitCode.h"
#include "cli/ProgressBar.h"
#include "cli/StopRequest.h"
#include "settings/Cp1251.h"
#include "settings/ExchangeOrder.h"
#include "settings/RWSettingsThread.h"

namespace orsa::cli {

ExchangeOutcome exchangeSettings(CliContext& context, settings::SettingsRecord& record, std::int32_t mode) {
  using settings::RWSettingsThread;
  const bool reading = mode == RWSettingsThread::kReadMode;
  ProgressBar progress(context.err, context.interactive(), reading ? "Чтение настроек" : "Запись настроек");
  std::mutex replyLock;
  RWSettingsThread::Callbacks callbacks;
  callbacks.showProgress = [&](const RWSettingsThread& worker) {
    // The worker reports the slot just handled, counted from 0; the bar counts slots done.
    progress.update(worker.progressPosition + 1, worker.progressMax);
  };
  callbacks.hideProgressWindow = [&](const RWSettingsThread&) { progress.finish(); };
  // Before the worker's thread, which inherits the blocked signals; it goes after the thread.
  StopRequest stopRequest;
  RWSettingsThread worker(context.deviceLink(), record, replyLock, callbacks);
  worker.mode = mode;
  worker.setFinishedHandler([&stopRequest] { stopRequest.finish(); });
  if (!worker.start()) return {context.failed(worker.refusalMessage()), worker.refusalMessage()};
  // Ctrl-C lets a write finish the slot on the wire, so the beacon holds whole slots only.
  const bool stopped = stopRequest.wait(std::nullopt);
  if (stopped) {
    if (reading) {
      worker.requestStop();
    } else {
      worker.requestStopBetweenSlots();
    }
  }
  worker.join();
  progress.finish();
  if (stopped && worker.resultCode != link::kResultSuccess) {
    const std::string text = reading ? "прервано: настройки не прочитаны"
                                     : "прервано: записано " + std::to_string(worker.slotsWritten()) + " из " +
                                           std::to_string(settings::kWrittenSlotCount) + " — запустите запись снова";
    context.err << "orsactl: " << text << '\n';
    return {kExitStopped, text};
  }
  if (worker.resultCode == link::kResultFailure) return {context.failed(worker.messageText), worker.messageText};
  if (reading) context.imei = settings::Cp1251::toUtf8(record.text(settings::SlotId::DeviceImei));
  return {kExitSuccess, worker.messageText};
}

}  // namespace orsa::cli
