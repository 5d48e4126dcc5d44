#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/CliContext.h"
#include "settings/SettingsRecord.h"

namespace orsa::cli {

// The summary table as the window's grid shows it, plus the IMEI when the record has one.
void printSummary(std::ostream& out, const settings::SettingsRecord& record);

// Writes the record as a .cfg image, or as JSON when the name ends in ".json". Returns an empty
// text on success, else what went wrong.
std::string saveRecord(const std::string& path, const settings::SettingsRecord& record);

// What read, show and defaults end with: the record saved when asked, then printed as JSON (the
// given slots) or as the summary table. Returns the exit status.
int emitRecord(CliContext& context, const settings::SettingsRecord& record, const std::optional<std::string>& save,
               bool json, const std::vector<settings::SlotId>& jsonSlots);

}  // namespace orsa::cli
