#pragma once

#include <iosfwd>

#include "settings/SettingsRecord.h"

namespace orsa::cli {

// The summary table as the window's grid shows it, plus the IMEI when the record has one.
void printSummary(std::ostream& out, const settings::SettingsRecord& record);

// Writes the record as a .cfg image, or as JSON when the name ends in ".json". Returns an empty
// text on success, else what went wrong.
std::string saveRecord(const std::string& path, const settings::SettingsRecord& record);

}  // namespace orsa::cli
