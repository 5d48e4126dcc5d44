#pragma once

#include <string_view>

namespace orsa::settings {

// Letter case folded for the Latin letters only: slot names, INI section and key names and file
// extensions are Latin, and bytes above 0x7F (Windows-1251 letters) must pass through untouched,
// which the locale-dependent tolower does not promise.
constexpr char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

constexpr bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  }
  return true;
}

constexpr bool endsWithIgnoringAsciiCase(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && equalsIgnoringAsciiCase(text.substr(text.size() - tail.size()), tail);
}

}  // namespace orsa::settings
