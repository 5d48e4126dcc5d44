#include "settings/Cp1251.h"

#include <array>
#include <cstdint>
#include <cstdio>

namespace orsa::settings {

namespace {

// Upper half of the code page; 0xC0..0xFF are the contiguous Cyrillic letters А..я.
constexpr std::array<char16_t, 64> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

void appendUtf8(std::string& out, char32_t ch) {
  if (ch < 0x80) {
    out.push_back(static_cast<char>(ch));
  } else if (ch < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (ch >> 6)));
    out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
  } else {
    // The code page reaches no further than the Basic Multilingual Plane.
    out.push_back(static_cast<char>(0xE0 | (ch >> 12)));
    out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
  }
}

struct Decoded {
  char32_t ch;
  std::size_t length;  // bytes consumed
  bool valid;
};

// One character of UTF-8. Overlong forms, surrogates, values beyond U+10FFFF and cut-off
// sequences are malformed; a malformed sequence consumes one byte so decoding resynchronises.
Decoded decodeOne(std::string_view s, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(s[pos]);
  if (lead < 0x80) {
    return {lead, 1, true};
  }
  std::size_t length = 0;
  char32_t ch = 0;
  char32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    ch = lead & 0x1Fu;
    minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    ch = lead & 0x0Fu;
    minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    ch = lead & 0x07u;
    minimum = 0x10000;
  } else {
    return {0, 1, false};
  }
  if (s.size() - pos < length) {
    return {0, 1, false};
  }
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(s[pos + i]);
    if ((next & 0xC0) != 0x80) {
      return {0, 1, false};
    }
    ch = (ch << 6) | (next & 0x3Fu);
  }
  if (ch < minimum || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) {
    return {0, 1, false};
  }
  return {ch, length, true};
}

}  // namespace

char32_t Cp1251::toUnicode(unsigned char byte) {
  if (byte < 0x80) {
    return byte;
  }
  if (byte >= 0xC0) {
    return static_cast<char32_t>(0x0410 + (byte - 0xC0));
  }
  return kHigh[byte - 0x80];
}

int Cp1251::fromUnicode(char32_t ch) {
  if (ch < 0x80) {
    return static_cast<int>(ch);
  }
  if (ch >= 0x0410 && ch <= 0x044F) {
    return static_cast<int>(0xC0 + (ch - 0x0410));
  }
  for (std::size_t i = 0; i < kHigh.size(); ++i) {
    if (kHigh[i] == ch) {
      return static_cast<int>(0x80 + i);
    }
  }
  return -1;
}

std::string Cp1251::toUtf8(std::string_view cp1251) {
  std::string out;
  out.reserve(cp1251.size() * 2);
  for (const char c : cp1251) {
    appendUtf8(out, toUnicode(static_cast<unsigned char>(c)));
  }
  return out;
}

std::string Cp1251::fromUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const Decoded d = decodeOne(utf8, pos);
    const int byte = d.valid ? fromUnicode(d.ch) : -1;
    out.push_back(byte < 0 ? '?' : static_cast<char>(byte));
    pos += d.length;
  }
  return out;
}

Cp1251::StrictResult Cp1251::fromUtf8Strict(std::string_view utf8) {
  StrictResult result;
  result.bytes.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const Decoded d = decodeOne(utf8, pos);
    const int byte = d.valid ? fromUnicode(d.ch) : -1;
    if (byte < 0) {
      result.failed = true;
      result.errorOffset = pos;
      result.errorCodePoint = d.valid ? d.ch : 0;
      result.bytes.clear();
      return result;
    }
    result.bytes.push_back(static_cast<char>(byte));
    pos += d.length;
  }
  return result;
}

std::string Cp1251::StrictResult::errorText() const {
  if (!failed) {
    return {};
  }
  char buffer[128];
  if (errorCodePoint == 0) {
    std::snprintf(buffer, sizeof buffer, "неверная последовательность UTF-8 (байт %zu)", errorOffset);
  } else {
    std::snprintf(buffer, sizeof buffer, "символ U+%04X (байт %zu) не представим в кодировке Windows-1251",
                  static_cast<unsigned>(errorCodePoint), errorOffset);
  }
  return buffer;
}

}  // namespace orsa::settings
