#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace orsa::settings {

// The 29 slots of the settings record, in record order.
enum class SlotId : std::uint8_t {
  OwnerPhone = 0,
  DevicePin,
  TimeZone,
  ContactTime,
  CoordFormat,
  DeliveryMode,
  ServerHost,
  ServerPort,
  WialonEnabled,
  WialonHost,
  WialonPort,
  WialonPassword,
  WakeInterval,
  FixPeriodDays,
  ConstantSlotA,
  MotionMode,
  GuardIntervals,
  MotionTimeout,
  FalseAlarmGuard,
  MotionAmplitude,
  MotionDuration,
  ZoneControl,
  BalanceThreshold,
  BalanceCode,
  DeviceImei,
  ReadOnlyA,
  ReadOnlyB,
  ReadOnlyC,
  ConstantSlotB,
};

inline constexpr std::size_t kSlotCount = 29;

constexpr std::size_t indexOf(SlotId slot) { return static_cast<std::size_t>(slot); }

// The address of the slot's 32-byte cell in the beacon's memory; used for reading and writing.
std::uint32_t parameterOf(SlotId slot);

// The slot's name as JSON files and the command line spell it ("OwnerPhone").
std::string_view slotName(SlotId slot);

// The slot of a name as slotName gives it; ASCII case is ignored. nullopt for unknown names.
std::optional<SlotId> slotByName(std::string_view name);

}  // namespace orsa::settings
