#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "settings/SlotId.h"

namespace orsa::settings {

struct ExchangeEntry {
  SlotId slot;
  std::uint32_t parameter;
};

// The order in which the beacon is asked for its slots. The beacon's numbering does not follow
// record order, and slot 28 travels before the four read-only slots so that a write can stop
// after the first 25 entries.
inline constexpr std::array<ExchangeEntry, kSlotCount> exchangeOrder = {{
    {SlotId::OwnerPhone, 0x08080460},      {SlotId::DevicePin, 0x08080480},        {SlotId::TimeZone, 0x08080580},
    {SlotId::ContactTime, 0x08080560},     {SlotId::CoordFormat, 0x080805A0},      {SlotId::DeliveryMode, 0x08080660},
    {SlotId::ServerHost, 0x080800A0},      {SlotId::ServerPort, 0x080800C0},       {SlotId::WialonEnabled, 0x080808C0},
    {SlotId::WialonHost, 0x080800E0},      {SlotId::WialonPort, 0x08080100},       {SlotId::WialonPassword, 0x08080120},
    {SlotId::WakeInterval, 0x080805C0},    {SlotId::FixPeriodDays, 0x08080520},    {SlotId::ConstantSlotA, 0x080802C0},
    {SlotId::MotionMode, 0x08080600},      {SlotId::GuardIntervals, 0x08080620},   {SlotId::MotionTimeout, 0x08080640},
    {SlotId::FalseAlarmGuard, 0x080806E0}, {SlotId::MotionAmplitude, 0x080806A0},  {SlotId::MotionDuration, 0x080806C0},
    {SlotId::ZoneControl, 0x08080720},     {SlotId::BalanceThreshold, 0x08080540}, {SlotId::BalanceCode, 0x080804A0},
    {SlotId::ConstantSlotB, 0x08080440},   {SlotId::DeviceImei, 0x080807E0},       {SlotId::ReadOnlyA, 0x080807A0},
    {SlotId::ReadOnlyB, 0x080807C0},       {SlotId::ReadOnlyC, 0x080808E0},
}};

// A write sends the first 25 entries; the read-only slots at the end are never written back.
inline constexpr std::size_t kWrittenSlotCount = 25;

}  // namespace orsa::settings
