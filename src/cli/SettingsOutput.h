#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/CliContext.h"
#include "settings/SettingsRecord.h"

namespace CLI {
class App;
}

namespace orsa::cli {

// The summary table as the window's grid shows it, plus the IMEI when the record has one.
void printSummary(std::ostream& out, const settings::SettingsRecord& record);

// Writes the record as a .cfg image, or as JSON when the name ends in ".json", through the one safe
// file write; what a .cfg cannot hold is listed on standard error, and with `strict` not saved.
// Returns an empty text on success, else what went wrong.
std::string saveRecord(CliContext& context, const std::string& path, const settings::SettingsRecord& record,
                       bool strict);

// What read, show and defaults were asked to do with the record besides printing its table.
struct RecordOutput {
  bool json = false;                // print JSON instead of the table
  std::optional<std::string> save;  // keep it in this file too
  bool strict = false;              // a .cfg that would drop or change a value is not saved
};

// Declares --json and, when `saving`, --save FILE on the command.
void defineRecordOutput(CLI::App& app, RecordOutput& output, bool saving = true);

// What read, show and defaults end with: the record saved when asked, then printed as JSON (the
// given slots) or as the summary table. Returns the exit status.
int emitRecord(CliContext& context, const settings::SettingsRecord& record, const RecordOutput& output,
               const std::vector<settings::SlotId>& jsonSlots);

}  // namespace orsa::cli
