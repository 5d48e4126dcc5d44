#include "settings/SlotId.h"

#include <array>

#include "settings/AsciiCase.h"
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
    if (equalsIgnoringAsciiCase(kNames[i], name)) {
      return static_cast<SlotId>(i);
    }
  }
  return std::nullopt;
}

}  // namespace orsa::settings
