#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>
#include <stdexcept>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/SettingsInput.h"
#include "cli/SettingsJson.h"
#include "cli/SettingsOutput.h"

namespace orsa::cli {

CommandRun defineShow(CLI::App& app) {
  struct Options {
    std::string file;
    RecordOutput output;
  };
  auto options = std::make_shared<Options>();
  app.add_option("FILE", options->file, "a settings file, FILE.cfg, or JSON settings, FILE.json")->required();
  defineRecordOutput(app, options->output, false);
  return [options](CliContext& context) -> int {
    settings::SettingsRecord record;
    std::vector<settings::SlotId> slots;
    try {
      slots = loadSettingsInput(options->file, record);
    } catch (const std::runtime_error& error) {
      return context.failed(error.what());
    }
    return emitRecord(context, record, options->output, slots);
  };
}

CommandRun defineDefaults(CLI::App& app) {
  auto output = std::make_shared<RecordOutput>();
  defineRecordOutput(app, *output);
  return [output](CliContext& context) -> int {
    settings::SettingsRecord record;
    record.RestoreDefaults("");
    return emitRecord(context, record, *output, allSlots());
  };
}

}  // namespace orsa::cli
