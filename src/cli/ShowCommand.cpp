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
  return emitRecord(context, record, std::nullopt, json, slots);
}

int runDefaults(CliContext& context, Arguments& arguments) {
  const bool json = arguments.flag("--json");
  const auto save = arguments.option("--save");
  if (!arguments.positionals().empty()) throw UsageError("defaults takes no file name except with --save");
  settings::SettingsRecord record;
  record.RestoreDefaults("");
  return emitRecord(context, record, save, json, allSlots());
}

}  // namespace orsa::cli
