#include "cli/SettingsExchange.h"

#include <mutex>
#include <ostream>

#include "cli/ExitCode.h"
#include "cli/ProgressBar.h"
#include "settings/Cp1251.h"
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
  RWSettingsThread worker(context.deviceLink(), record, replyLock, callbacks);
  worker.mode = mode;
  if (!worker.start()) return {context.failed(worker.refusalMessage()), worker.refusalMessage()};
  worker.join();
  progress.finish();
  if (worker.resultCode == link::kResultFailure) return {context.failed(worker.messageText), worker.messageText};
  if (reading) context.imei = settings::Cp1251::toUtf8(record.text(settings::SlotId::DeviceImei));
  return {kExitSuccess, worker.messageText};
}

}  // namespace orsa::cli
