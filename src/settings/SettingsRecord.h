#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/SlotId.h"

namespace orsa::settings {

// The beacon's configuration: 29 cells of 32 bytes, each a zero-terminated Windows-1251 text of at
// most 31 characters. The record keeps the bytes exactly as they travel to and from the beacon,
// including whatever follows a terminator, because a write sends each cell whole.
class SettingsRecord {
 public:
  static constexpr std::size_t kSlotSize = 32;
  static constexpr std::size_t kMaxTextLength = kSlotSize - 1;
  static constexpr std::size_t kSize = kSlotCount * kSlotSize;  // 928

  using Slot = std::array<std::uint8_t, kSlotSize>;

  // The slot's text: its bytes up to the first zero (never more than 31).
  std::string text(SlotId slot) const;

  // Clears the slot, then stores at most 31 bytes of `cp1251` and a terminator. Anything longer
  // is cut, so a text can never run into the next slot; a zero byte inside `cp1251` ends it.
  void setText(SlotId slot, std::string_view cp1251);

  // Stores the text and its terminator over the start of the slot and leaves the bytes after them
  // as they were (the beacon gets them back unchanged).
  void overwriteText(SlotId slot, std::string_view cp1251);

  void clear(SlotId slot);
  void clearAll();

  // The slot read as a number (see NumberText::read).
  int number(SlotId slot) const;

  // The slot's 32 bytes as they stand.
  const Slot& bytes(SlotId slot) const;
  // The whole 928-byte block, in record order.
  std::array<std::uint8_t, kSize> raw() const;

  // Factory defaults; the owner's phone is not a factory setting, so the caller supplies
  // whatever the phone field currently holds (cp1251).
  void RestoreDefaults(std::string_view ownerPhone);

  bool operator==(const SettingsRecord&) const = default;

 private:
  std::array<Slot, kSlotCount> slots_{};

  std::uint8_t* cell(SlotId slot) { return slots_.at(indexOf(slot)).data(); }
  const std::uint8_t* cell(SlotId slot) const { return slots_.at(indexOf(slot)).data(); }
};

}  // namespace orsa::settings
