#include "settings/SlotId.h"

#include <array>

#include "settings/ExchangeOrder.h"

namespace orsa::settings {

namespace {

constexpr std::array<std::string_view, kSlotCount> kNames = {
    "OwnerPhone",      "DevicePin",       "TimeZone",       "ContactTime", "CoordFormat",      "DeliveryMode",
    "ServerHost",      "ServerPort",      "WialonEnabled",  "WialonHost",  "WialonPort",       "WialonPassword",
    "WakeInterval",    "FixPeriodDays",   "ConstantSlotA",  "MotionMode",  "GuardIntervals",   "MotionTimeout",
    "FalseAlarmGuard", "MotionAmplitude", "MotionDuration", "ZoneControl", "BalanceThreshold", "BalanceCode",
    "DeviceImei",      "ReadOnlyA",       "ReadOnlyB",      "ReadOnlyC",   "ConstantSlotB",
};

constexpr char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lowerAscii(a[i]) != lowerAscii(b[i])) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::uint32_t parameterOf(SlotId slot) {
  for (const ExchangeEntry& entry : exchangeOrder) {
    if (entry.slot == slot) {
      return entry.parameter;
    }
  }
  return 0;  // unreachable: every slot is in the exchange order
}

std::string_view slotName(SlotId slot) {
  const std::size_t index = indexOf(slot);
  return index < kNames.size() ? kNames[index] : std::string_view{};
}

std::optional<SlotId> slotByName(std::string_view name) {
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    if (equalsIgnoringCase(kNames[i], name)) {
      return static_cast<SlotId>(i);
    }
  }
  return std::nullopt;
}

}  // namespace orsa::settings
