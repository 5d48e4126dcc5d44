#pragma once

#include <array>

#include "settings/SettingsRecord.h"

namespace orsa::settings {

// The composite slots read apart the way their texts were built: contact time as "%02d%02d",
// the guard intervals as eight "%02d" fields, zone control as "%d %03d". Fields the text does not
// supply are 0.
struct ContactTimeFields {
  int hour = 0;
  int minute = 0;
};
struct ZoneControlFields {
  int mode = 0;
  int diameter = 0;
};

ContactTimeFields readContactTime(const SettingsRecord& record);
std::array<int, 8> readGuardIntervals(const SettingsRecord& record);
ZoneControlFields readZoneControl(const SettingsRecord& record);

}  // namespace orsa::settings
