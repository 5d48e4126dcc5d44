#pragma once

#include "settings/SettingsPage.h"
#include "settings/SettingsRecord.h"

namespace orsa::settings {

// Puts the record onto the page controls. A number outside a list's items leaves that list with
// no selection; a number outside a radio group's choices leaves the group as it was; the "00000"
// marker in the phone or PIN slot leaves that field as the user had it.
void ShowRecord(const SettingsRecord& record, SettingsPage& page);

}  // namespace orsa::settings
