#include "settings/NumberText.h"

#include <climits>
#include <cstdio>

namespace orsa::settings {

namespace {

constexpr bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }

struct Parsed {
  int value = 0;
  std::size_t end = 0;  // index after the last character taken
  bool hasDigits = false;
  bool overflowed = false;
};

// An optional sign and digits starting at `pos`, at most `limit` characters in all.
Parsed parseSignedDigits(std::string_view text, std::size_t pos, std::size_t limit) {
  Parsed p;
  const std::size_t stop = (limit == 0 || text.size() - pos < limit) ? text.size() : pos + limit;
  bool negative = false;
  if (pos < stop && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  // Accumulate as a negative magnitude so INT_MIN stays representable.
  long long magnitude = 0;
  while (pos < stop && isDigit(text[pos])) {
    p.hasDigits = true;
    if (!p.overflowed) {
      magnitude = magnitude * 10 + (text[pos] - '0');
      if (magnitude > static_cast<long long>(INT_MAX) + 1) {
        p.overflowed = true;
      }
    }
    ++pos;
  }
  p.end = pos;
  if (p.overflowed || (!negative && magnitude > INT_MAX)) {
    p.overflowed = true;
    p.value = negative ? INT_MIN : INT_MAX;
  } else {
    p.value = static_cast<int>(negative ? -magnitude : magnitude);
  }
  return p;
}

std::size_t skipSpaces(std::string_view text, std::size_t pos) {
  while (pos < text.size() && isSpace(text[pos])) {
    ++pos;
  }
  return pos;
}

std::string format(const char* pattern, long long value) {
  char buffer[32];
  const int n = std::snprintf(buffer, sizeof buffer, pattern, value);
  return std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

}  // namespace

int NumberText::read(std::string_view text) {
  const Parsed p = parseSignedDigits(text, skipSpaces(text, 0), 0);
  return p.hasDigits ? p.value : 0;
}

void NumberText::scanFields(std::string_view text, std::span<const std::size_t> widths, std::span<int> out) {
  for (int& value : out) {
    value = 0;
  }
  std::size_t pos = 0;
  for (std::size_t i = 0; i < widths.size() && i < out.size(); ++i) {
    pos = skipSpaces(text, pos);
    const Parsed p = parseSignedDigits(text, pos, widths[i]);
    if (!p.hasDigits) {
      return;
    }
    out[i] = p.value;
    pos = p.end;
  }
}

std::optional<int> NumberText::parseInteger(std::string_view text) {
  const Parsed p = parseSignedDigits(text, skipSpaces(text, 0), 0);
  if (!p.hasDigits || p.overflowed || p.end != text.size()) {
    return std::nullopt;
  }
  return p.value;
}

std::string NumberText::decimal(long long value) { return format("%lld", value); }
std::string NumberText::twoDigits(long long value) { return format("%02lld", value); }
std::string NumberText::threeDigits(long long value) { return format("%03lld", value); }

}  // namespace orsa::settings
