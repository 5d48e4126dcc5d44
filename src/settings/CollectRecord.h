#pragma once

#include <vector>

#include "settings/SettingsDialogs.h"
#include "settings/SettingsPage.h"
#include "settings/SettingsRecord.h"

namespace orsa::settings {

// Rebuilds the record from the page controls before a write or a save, checking as it goes.
// Returns false when a check refuses or the user answers No; the slots handled up to that point
// already hold their new texts, and nothing must be sent or saved. Texts longer than a slot holds
// are cut to 31 characters.
//
// Throws IntegerConversionError when the zone diameter or the balance threshold is not an
// integer; the command ends there, with the earlier slots already rebuilt.
bool CollectRecord(const SettingsPage& page, SettingsRecord& record, SettingsDialogs& dialogs);

// The same, and `answered` gets the slots whose texts come from the user's Yes to a question
// rather than from a control (the phone's not-set marker, the empty server), so a caller that
// compares the record with what it asked for can tell a blank the user chose from a value the
// pages could not show.
bool CollectRecord(const SettingsPage& page, SettingsRecord& record, SettingsDialogs& dialogs,
                   std::vector<SlotId>& answered);

}  // namespace orsa::settings
