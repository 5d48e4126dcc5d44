#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "settings/SettingsRecord.h"

namespace orsa::cli {

// One slot that two records hold differently, both values in the spelling a person types (UTF-8).
struct SlotDifference {
  settings::SlotId slot;
  std::string left;
  std::string right;
};

// The slots of `slots` that the two records hold differently, in the order given.
std::vector<SlotDifference> differingSlots(const settings::SettingsRecord& left, const settings::SettingsRecord& right,
                                           const std::vector<settings::SlotId>& slots);

// The slots a person sets, in record order: neither those read from the beacon only nor the
// program's own constants.
std::vector<settings::SlotId> settableSlots();
// The slots a write sends, in the order it sends them.
std::vector<settings::SlotId> writtenSlots();
// The slots of `slots` that `held` holds too, in the order of `slots`.
std::vector<settings::SlotId> heldBy(const std::vector<settings::SlotId>& slots,
                                     const std::vector<settings::SlotId>& held);

// One line a slot: `OwnerPhone: "+79161234567" → "+79031112233"`.
void printDifferences(std::ostream& out, const std::vector<SlotDifference>& differences);
// {"left": ..., "right": ..., "differences": [{"key": ..., "left": ..., "right": ...}]}
std::string differencesToJson(const std::string& leftName, const std::string& rightName,
                              const std::vector<SlotDifference>& differences);

}  // namespace orsa::cli
