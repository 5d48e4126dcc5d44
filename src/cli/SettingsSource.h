#pragma once

#include <string>
#include <vector>

#include "cli/CliContext.h"
#include "settings/SettingsRecord.h"

namespace orsa::cli {

// One side of a comparison: the settings a beacon, a .cfg or a JSON settings file holds.
struct SettingsSource {
  settings::SettingsRecord record;
  std::vector<settings::SlotId> slots;  // the slots the source holds
};

// The word "beacon" is the beacon the command line chose (the automatic choice or --port); a name
// ending in ".json" is a JSON settings file, and one ending in ".cfg" or naming a regular file a
// .cfg; any other word is the name of a serial port, whose beacon is read. Returns the exit status:
// a file that cannot be read is the usage status, as a comparison's 1 means "they differ".
int loadSettingsSource(CliContext& context, const std::string& word, SettingsSource& source);

}  // namespace orsa::cli
