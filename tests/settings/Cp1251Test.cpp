#include "settings/Cp1251.h"

#include <gtest/gtest.h>

#include "support/BeaconFigures.h"

namespace orsa::settings {
namespace {

namespace figures = orsa::testing::figures;

// UTF-8 of one character, written here so the check does not lean on the codec it checks.
std::string utf8(char32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

TEST(Cp1251, EveryByteOfTheUpperHalfIsItsCharacterBothWays) {
  std::string bytes;
  std::string text;
  for (std::size_t i = 0; i < figures::kCp1251UpperHalf.size(); ++i) {
    const auto byte = static_cast<unsigned char>(0x80 + i);
    const char32_t expected = figures::kCp1251UpperHalf[i];
    EXPECT_EQ(Cp1251::toUnicode(byte), expected) << "byte 0x" << std::hex << int{byte};
    EXPECT_EQ(Cp1251::fromUnicode(expected), int{byte}) << "U+" << std::hex << static_cast<std::uint32_t>(expected);
    bytes.push_back(static_cast<char>(byte));
    text += utf8(expected);
  }
  EXPECT_EQ(Cp1251::toUtf8(bytes), text);
  EXPECT_EQ(Cp1251::fromUtf8(text), bytes);
  std::string ascii;
  for (int b = 0; b < 0x80; ++b) ascii.push_back(static_cast<char>(b));
  EXPECT_EQ(Cp1251::toUtf8(ascii), ascii) << "the lower half is ASCII";
  EXPECT_EQ(Cp1251::fromUtf8(ascii), ascii);
}

TEST(Cp1251, BadInputBecomesQuestionMarksOrIsRefused) {
  EXPECT_EQ(Cp1251::fromUtf8("a中b😀"), "a?b?");
  // Stray byte, cut-off sequence, overlong form, surrogate, beyond U+10FFFF.
  EXPECT_EQ(Cp1251::fromUtf8("x\xFF\xD0"), "x??");
  EXPECT_EQ(Cp1251::fromUtf8("\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80"), "?????????");
  EXPECT_EQ(Cp1251::fromUtf8("\xD0\x41"), "?A") << "the byte after a broken lead is kept";

  const Cp1251::StrictResult han = Cp1251::fromUtf8Strict("ab中");
  EXPECT_FALSE(han.ok());
  EXPECT_EQ(han.errorOffset, 2u);
  EXPECT_NE(han.errorText().find("U+4E2D"), std::string::npos);
  const Cp1251::StrictResult broken = Cp1251::fromUtf8Strict("Ок\xFF");
  EXPECT_FALSE(broken.ok());
  EXPECT_EQ(broken.errorOffset, 4u);
  EXPECT_NE(broken.errorText().find("UTF-8"), std::string::npos);
  const Cp1251::StrictResult fine = Cp1251::fromUtf8Strict("№ 5");
  ASSERT_TRUE(fine.ok());
  EXPECT_EQ(fine.bytes, "\xB9 5");
}

}  // namespace
}  // namespace orsa::settings
