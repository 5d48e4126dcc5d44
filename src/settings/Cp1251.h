#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orsa::settings {

// The one codec between the beacon's Windows-1251 bytes and the UTF-8 text that screens and
// command lines deal in. Every cp1251 byte has a Unicode form (0x98, unassigned in the code page,
// travels as U+0098 the way Windows maps it), so bytes -> UTF-8 -> bytes is lossless.
class Cp1251 {
 public:
  // Outcome of a conversion that refuses what it cannot represent.
  struct StrictResult {
    std::string bytes;            // the cp1251 bytes; meaningful only when ok()
    std::size_t errorOffset = 0;  // byte offset of the refused character in the UTF-8 input
    char32_t errorCodePoint = 0;  // the refused character; 0 when the input is not UTF-8
    bool failed = false;

    bool ok() const { return !failed; }
    // A UTF-8 sentence naming the refused character and where it stands.
    std::string errorText() const;
  };

  static std::string toUtf8(std::string_view cp1251);

  // Characters without a cp1251 form and malformed UTF-8 become '?'; never throws on bad input.
  static std::string fromUtf8(std::string_view utf8);

  // Stops at the first character without a cp1251 form or at the first malformed sequence.
  static StrictResult fromUtf8Strict(std::string_view utf8);

  // The Unicode character of one cp1251 byte.
  static char32_t toUnicode(unsigned char byte);

  // The cp1251 byte of one Unicode character, or -1 when the code page has none.
  static int fromUnicode(char32_t ch);
};

}  // namespace orsa::settings
