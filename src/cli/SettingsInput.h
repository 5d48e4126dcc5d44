#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/SettingsRecord.h"

namespace orsa::cli {

// Loads a settings file given on the command line into the record: a 118-byte .cfg image, or a
// JSON object of slot texts when the name ends in ".json". Missing, empty, short, oversized and
// malformed files are refused (std::runtime_error) with the reason; the record is then untouched.
// Returns the slots the file set.
std::vector<settings::SlotId> loadSettingsInput(const std::string& path, settings::SettingsRecord& record);

// A .cfg keeps the server port as a number, so a port left empty comes back from it as 0; this gives
// it back empty, as it was saved. A JSON file keeps the text and is left alone.
void restoreEmptyPort(const std::string& path, settings::SettingsRecord& record);

// Whether a settings file given by this name is read as JSON rather than as a .cfg image.
bool isJsonSettingsName(const std::string& path);

// The same for a file's content already read; `path` picks the format and names the file in messages.
std::vector<settings::SlotId> applySettingsInput(const std::string& path, std::string_view content,
                                                 settings::SettingsRecord& record);

}  // namespace orsa::cli
