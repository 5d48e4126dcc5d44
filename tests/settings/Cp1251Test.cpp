#include "settings/Cp1251.h"

#include <gtest/gtest.h>

namespace orsa::settings {
namespace {

TEST(Cp1251, UpperHalfMapsBothWays) {
  const std::pair<char, const char*> cases[] = {
      {'\xC0', "А"}, {'\xFF', "я"}, {'\xA8', "Ё"}, {'\xB8', "ё"}, {'\xB9', "№"}, {'\xAB', "«"}, {'\xBB', "»"},
      {'\x88', "€"}, {'\xB0', "°"}, {'\x97', "—"}, {'\xA5', "Ґ"}, {'\x80', "Ђ"}, {'\x9F', "џ"}, {'\xA0', "\u00A0"},
  };
  for (const auto& [byte, utf8] : cases) {
    EXPECT_EQ(Cp1251::toUtf8(std::string(1, byte)), utf8);
    EXPECT_EQ(Cp1251::fromUtf8(utf8), std::string(1, byte)) << utf8;
  }
  std::string all;
  for (int b = 0; b < 256; ++b) {
    all.push_back(static_cast<char>(b));
  }
  EXPECT_EQ(Cp1251::fromUtf8(Cp1251::toUtf8(all)), all) << "every byte survives the round trip";
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
