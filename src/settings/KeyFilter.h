#pragma once

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

}  // namespace orsa::settings
