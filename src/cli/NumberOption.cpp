#include "cli/NumberOption.h"

#include <charconv>
#include <string>
#include <string_view>

namespace orsa::cli {

CLI::Validator numberUpTo(std::uint64_t max) {
  const std::string range = "0 to " + std::to_string(max);
  return CLI::Validator(
      [max, range](std::string& text) -> std::string {
        int base = 10;
        std::string_view digits = text;
        if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
          base = 16;
          digits.remove_prefix(2);
        }
        std::uint64_t value = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
        if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size() || value > max) {
          return "must be a number from " + range + ", not \"" + text + "\"";
        }
        text = std::to_string(value);
        return {};
      },
      "NUMBER " + std::string("0..") + std::to_string(max));
}

}  // namespace orsa::cli
