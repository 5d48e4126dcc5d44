#include "settings/SlotFields.h"

#include "settings/NumberText.h"

namespace orsa::settings {

ContactTimeFields readContactTime(const SettingsRecord& record) {
  constexpr std::array<std::size_t, 2> widths = {2, 2};
  std::array<int, 2> values{};
  NumberText::scanFields(record.text(SlotId::ContactTime), widths, values);
  return {values[0], values[1]};
}

std::array<int, 8> readGuardIntervals(const SettingsRecord& record) {
  constexpr std::array<std::size_t, 8> widths = {2, 2, 2, 2, 2, 2, 2, 2};
  std::array<int, 8> values{};
  NumberText::scanFields(record.text(SlotId::GuardIntervals), widths, values);
  return values;
}

ZoneControlFields readZoneControl(const SettingsRecord& record) {
  constexpr std::array<std::size_t, 2> widths = {0, 3};
  std::array<int, 2> values{};
  NumberText::scanFields(record.text(SlotId::ZoneControl), widths, values);
  return {values[0], values[1]};
}

}  // namespace orsa::settings
