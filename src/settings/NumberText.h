#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace orsa::settings {

// Decimal text as the beacon stores numbers, in both directions. The beacon's slots are written
// by hand on its side too, so reading is lenient (like atoi), while page fields that must hold
// an integer are read strictly.
class NumberText {
 public:
  // Leading white space, an optional sign, then digits up to the first non-digit; no digits
  // reads as 0. Values beyond the int range saturate rather than wrap.
  static int read(std::string_view text);

  // Reads consecutive integer fields the way "%02d%02d" or "%d %03d" would: each field skips
  // white space, then takes an optional sign and digits, at most `widths[i]` characters
  // (0 = no limit). Reading stops at the first field that supplies no digit; the fields not
  // read are 0. `out` receives one value per width.
  static void scanFields(std::string_view text, std::span<const std::size_t> widths, std::span<int> out);

  // Strict conversion of a whole field: optional leading white space, an optional sign and at
  // least one digit, nothing after; the value must fit an int.
  static std::optional<int> parseInteger(std::string_view text);

  static std::string decimal(long long value);      // "%d"
  static std::string twoDigits(long long value);    // "%02d"
  static std::string threeDigits(long long value);  // "%03d"
};

}  // namespace orsa::settings
