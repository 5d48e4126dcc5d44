#include "settings/KeyFilter.h"

#include <algorithm>

#include "settings/SettingsPageItems.h"
#include "settings/SettingsRecord.h"

namespace orsa::settings {

bool acceptsKey(FilteredField field, char32_t key) {
  if ((key >= U'0' && key <= U'9') || key == kBackspace) {
    return true;
  }
  return field == FilteredField::Edit1 && key == U'+';
}

std::size_t typingLimit(FilteredField field) {
  switch (field) {
    case FilteredField::Edit2:
      return kEdit2TypingLimit;
    case FilteredField::Edit6:
      return kEdit6TypingLimit;
    case FilteredField::Edit1:
    case FilteredField::Edit8:
      break;
  }
  return SettingsRecord::kMaxTextLength;
}

bool acceptsEdit(FilteredField field, std::u32string_view before, std::u32string_view after) {
  if (after.size() > before.size() && after.size() > typingLimit(field)) {
    return false;
  }
  // What the change brought in lies between the longest start and end the two texts share.
  const std::size_t shorter = std::min(before.size(), after.size());
  std::size_t start = 0;
  while (start < shorter && before[start] == after[start]) {
    ++start;
  }
  std::size_t end = 0;
  while (end < shorter - start && before[before.size() - 1 - end] == after[after.size() - 1 - end]) {
    ++end;
  }
  const std::u32string_view brought = after.substr(start, after.size() - start - end);
  // A backspace is a key, never a character the field may hold.
  return std::all_of(brought.begin(), brought.end(),
                     [field](char32_t c) { return c != kBackspace && acceptsKey(field, c); });
}

}  // namespace orsa::settings
