#include "settings/SettingsRecord.h"

#include <algorithm>
#include <cstring>

#include "settings/NumberText.h"
#include "settings/SettingsDefaults.h"

namespace orsa::settings {

namespace {

std::size_t boundedLength(std::string_view text) {
  const std::size_t zero = text.find('\0');
  const std::size_t length = zero == std::string_view::npos ? text.size() : zero;
  return std::min(length, SettingsRecord::kMaxTextLength);
}

}  // namespace

std::string SettingsRecord::text(SlotId slot) const {
  const auto* begin = reinterpret_cast<const char*>(cell(slot));
  std::size_t length = 0;
  while (length < kMaxTextLength && begin[length] != '\0') {
    ++length;
  }
  return std::string(begin, length);
}

void SettingsRecord::setText(SlotId slot, std::string_view cp1251) {
  clear(slot);
  overwriteText(slot, cp1251);
}

void SettingsRecord::overwriteText(SlotId slot, std::string_view cp1251) {
  const std::size_t length = boundedLength(cp1251);
  std::uint8_t* target = cell(slot);
  std::memcpy(target, cp1251.data(), length);
  target[length] = 0;
}

void SettingsRecord::clear(SlotId slot) { std::fill_n(cell(slot), kSlotSize, std::uint8_t{0}); }

void SettingsRecord::clearAll() {
  for (Slot& slot : slots_) {
    slot.fill(0);
  }
}

int SettingsRecord::number(SlotId slot) const { return NumberText::read(text(slot)); }

const SettingsRecord::Slot& SettingsRecord::bytes(SlotId slot) const { return slots_.at(indexOf(slot)); }

std::array<std::uint8_t, SettingsRecord::kSize> SettingsRecord::raw() const {
  std::array<std::uint8_t, kSize> block{};
  auto out = block.begin();
  for (const Slot& slot : slots_) {
    out = std::copy(slot.begin(), slot.end(), out);
  }
  return block;
}

void SettingsRecord::RestoreDefaults(std::string_view ownerPhone) {
  clearAll();
  setText(SlotId::OwnerPhone, ownerPhone);
  setText(SlotId::DevicePin, "5820");
  setText(SlotId::TimeZone, "3");
  setText(SlotId::ContactTime, "1200");
  setText(SlotId::CoordFormat, "3");
  setText(SlotId::DeliveryMode, "3");
  setText(SlotId::ServerHost, kDefaultServerHost);
  setText(SlotId::ServerPort, kDefaultServerPort);
  setText(SlotId::WialonEnabled, "0");
  setText(SlotId::WialonHost, kDefaultWialonHost);
  setText(SlotId::WialonPort, kDefaultWialonPort);
  setText(SlotId::WialonPassword, "");
  setText(SlotId::WakeInterval, "1");
  setText(SlotId::FixPeriodDays, "0");
  setText(SlotId::ConstantSlotA, "1");
  setText(SlotId::MotionMode, "0");
  setText(SlotId::GuardIntervals, "2300070010001700");
  setText(SlotId::MotionTimeout, "5");
  setText(SlotId::FalseAlarmGuard, "1");
  setText(SlotId::MotionAmplitude, "20");
  setText(SlotId::MotionDuration, "0");
  setText(SlotId::ZoneControl, "0 001");
  setText(SlotId::BalanceThreshold, "50");
  setText(SlotId::BalanceCode, kNotSetMarker);
  // DeviceImei, the three read-only slots and ConstantSlotB stay empty.
}

}  // namespace orsa::settings
