#include <ostream>
#include <stdexcept>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/SettingsInput.h"
#include "cli/SettingsJson.h"
#include "cli/SettingsOutput.h"

namespace orsa::cli {

int runShow(CliContext& context, Arguments& arguments) {
  const bool json = arguments.flag("--json");
  const auto words = arguments.positionals();
  if (words.size() != 1) throw UsageError("show needs exactly one settings file");
  settings::SettingsRecord record;
  std::vector<settings::SlotId> slots;
  try {
    slots = loadSettingsInput(words[0], record);
  } catch (const std::runtime_error& error) {
    context.err << error.what() << '\n';
    return kExitFailed;
  }
  if (json) {
    context.out << recordToJson(record, slots);
  } else {
    printSummary(context.out, record);
  }
  return kExitSuccess;
}

int runDefaults(CliContext& context, Arguments& arguments) {
  const bool json = arguments.flag("--json");
  const auto save = arguments.option("--save");
  if (!arguments.positionals().empty()) throw UsageError("defaults takes no file name except with --save");
  settings::SettingsRecord record;
  record.RestoreDefaults("");
  if (save) {
    if (auto error = saveRecord(*save, record); !error.empty()) {
      context.err << error << '\n';
      return kExitFailed;
    }
  }
  if (json) {
    context.out << recordToJson(record, allSlots());
  } else if (!save) {
    printSummary(context.out, record);
  }
  return kExitSuccess;
}

}  // namespace orsa::cli
