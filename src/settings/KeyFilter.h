#pragma once

#include <cstddef>
#include <string_view>

namespace orsa::settings {

// The edit fields whose keystrokes are filtered; every other field takes any key.
enum class FilteredField {
  Edit1,  // owner phone: digits, "+", backspace
  Edit2,  // PIN: digits, backspace
  Edit6,  // zone diameter: digits, backspace
  Edit8,  // server port: digits, backspace
};

inline constexpr char32_t kBackspace = U'\b';

// Whether a typed character reaches the field; a refused key is dropped before the field sees it.
bool acceptsKey(FilteredField field, char32_t key);

// How many characters typing may bring the field to.
std::size_t typingLimit(FilteredField field);

// Whether a change the user makes, turning the field's text `before` into `after`, may stand,
// whichever way the text came in (a key, a paste, a drop): every character it brings in must be
// one the field takes as a key, and it may not lengthen the text past the typing limit. What the
// field held before is not judged again, so a longer or odd value read from the beacon or a file
// stays as it is and can still be shortened.
bool acceptsEdit(FilteredField field, std::u32string_view before, std::u32string_view after);

}  // namespace orsa::settings
