#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/SettingsRecord.h"

namespace orsa::cli {

// Settings as JSON: an object of slot names and their texts in UTF-8, e.g. {"OwnerPhone": "+7..."}.
std::string recordToJson(const settings::SettingsRecord& record, const std::vector<settings::SlotId>& slots);
std::vector<settings::SlotId> allSlots();
// The slots a settings file holds.
std::vector<settings::SlotId> fileSlots();

// One slot text given by the user (from JSON or --set): refused when it has characters without a
// Windows-1251 form or is longer than a slot holds, with a message that says which and why.
std::string slotTextFromUtf8(settings::SlotId slot, std::string_view utf8);

// "unknown setting \"NAME\"", with the closest name when it looks like a typo of one.
std::string unknownSettingMessage(std::string_view name);

// Applies a JSON settings object to the record and returns the slots it named. Unknown names,
// values that are neither texts, whole numbers nor true/false, and texts a slot cannot hold are refused
// (std::runtime_error) before anything is changed.
std::vector<settings::SlotId> applyJson(std::string_view json, settings::SettingsRecord& record);

}  // namespace orsa::cli
