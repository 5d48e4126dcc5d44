#include "cli/SettingsDiff.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <ostream>

#include "settings/Cp1251.h"
#include "settings/ExchangeOrder.h"
#include "settings/SlotRules.h"

namespace orsa::cli {

using settings::SlotId;

namespace {

std::string shown(const settings::SettingsRecord& record, SlotId slot) {
  return settings::readableSlotValue(slot, settings::Cp1251::toUtf8(record.text(slot)));
}

}  // namespace

std::vector<SlotDifference> differingSlots(const settings::SettingsRecord& left, const settings::SettingsRecord& right,
                                           const std::vector<SlotId>& slots) {
  std::vector<SlotDifference> differences;
  for (SlotId slot : slots) {
    if (left.text(slot) == right.text(slot)) continue;
    differences.push_back({slot, shown(left, slot), shown(right, slot)});
  }
  return differences;
}

std::vector<SlotId> settableSlots() {
  std::vector<SlotId> slots;
  for (const settings::SlotRule& rule : settings::slotRules()) {
    if (rule.kind != settings::SlotRule::Kind::ReadOnly) slots.push_back(rule.slot);
  }
  return slots;
}

std::vector<SlotId> writtenSlots() {
  std::vector<SlotId> slots;
  for (std::size_t i = 0; i < settings::kWrittenSlotCount; ++i) slots.push_back(settings::exchangeOrder[i].slot);
  return slots;
}

std::vector<SlotId> heldBy(const std::vector<SlotId>& slots, const std::vector<SlotId>& held) {
  std::vector<SlotId> both;
  for (SlotId slot : slots) {
    if (std::find(held.begin(), held.end(), slot) != held.end()) both.push_back(slot);
  }
  return both;
}

void printDifferences(std::ostream& out, const std::vector<SlotDifference>& differences) {
  for (const SlotDifference& difference : differences) {
    out << settings::slotName(difference.slot) << ": " << nlohmann::json(difference.left).dump() << " → "
        << nlohmann::json(difference.right).dump() << '\n';
  }
}

std::string differencesToJson(const std::string& leftName, const std::string& rightName,
                              const std::vector<SlotDifference>& differences) {
  auto list = nlohmann::ordered_json::array();
  for (const SlotDifference& difference : differences) {
    list.push_back(
        {{"key", settings::slotName(difference.slot)}, {"left", difference.left}, {"right", difference.right}});
  }
  const nlohmann::ordered_json document = {{"left", leftName}, {"right", rightName}, {"differences", list}};
  return document.dump(2) + '\n';
}

}  // namespace orsa::cli
