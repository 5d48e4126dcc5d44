#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/SettingsExchange.h"
#include "cli/SettingsJson.h"
#include "cli/SettingsOutput.h"
#include "settings/RWSettingsThread.h"

namespace orsa::cli {

CommandRun defineRead(CLI::App& app) {
  auto output = std::make_shared<RecordOutput>();
  defineRecordOutput(app, *output);
  return [output](CliContext& context) -> int {
    settings::SettingsRecord record;
    auto outcome = exchangeSettings(context, record, settings::RWSettingsThread::kReadMode);
    if (outcome.status != kExitSuccess) return outcome.status;
    return emitRecord(context, record, *output, allSlots());
  };
}

}  // namespace orsa::cli
