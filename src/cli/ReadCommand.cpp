#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/SettingsExchange.h"
#include "cli/SettingsJson.h"
#include "cli/SettingsOutput.h"
#include "settings/RWSettingsThread.h"

namespace orsa::cli {

int runRead(CliContext& context, Arguments& arguments) {
  const bool json = arguments.flag("--json");
  const auto save = arguments.option("--save");
  if (!arguments.positionals().empty()) throw UsageError("read takes no file name except with --save");

  settings::SettingsRecord record;
  auto outcome = exchangeSettings(context, record, settings::RWSettingsThread::kReadMode);
  if (outcome.status != kExitSuccess) return outcome.status;
  return emitRecord(context, record, save, json, allSlots());
}

}  // namespace orsa::cli
