#include "settings/Cp1251.h"

#include <gtest/gtest.h>

#include <string>

namespace orsa::settings {
namespace {

std::string bytes(std::initializer_list<unsigned char> list) {
    return std::string(list.begin(), list.end());
}

TEST(Cp1251, CyrillicAndSymbolsConvertBothWays) {
    struct Case {
        unsigned char byte;
        const char* utf8;
    };
    const Case cases[] = {
        {0xC0, "А"}, {0xDF, "Я"}, {0xE0, "а"}, {0xFF, "я"}, {0xA8, "Ё"}, {0xB8, "ё"},
        {0xB9, "№"}, {0xAB, "«"}, {0xBB, "»"}, {0x88, "€"}, {0xB0, "°"}, {0x96, "–"},
        {0x97, "—"}, {0x85, "…"}, {0x99, "™"}, {0xA5, "Ґ"}, {0xB4, "ґ"}, {0xB2, "І"},
        {0xAF, "Ї"}, {0xA1, "Ў"}, {0x80, "Ђ"}, {0x9F, "џ"}, {0xA0, "\u00A0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.byte));
        EXPECT_EQ(Cp1251::toUtf8(bytes({c.byte})), c.utf8);
        EXPECT_EQ(Cp1251::fromUtf8(c.utf8), bytes({c.byte}));
    }
    EXPECT_EQ(Cp1251::toUtf8("\xCA\xEE\xED\xF4\xE8\xE3\xF3\xF0\xE0\xF2\xEE\xF0"), "Конфигуратор");
    EXPECT_EQ(Cp1251::fromUtf8("Порт: 23351"), "\xCF\xEE\xF0\xF2: 23351");
}

TEST(Cp1251, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    const std::string utf8 = Cp1251::toUtf8(all);
    EXPECT_EQ(Cp1251::fromUtf8(utf8), all);
    const Cp1251::StrictResult strict = Cp1251::fromUtf8Strict(utf8);
    ASSERT_TRUE(strict.ok());
    EXPECT_EQ(strict.bytes, all);
    // Every byte maps to a distinct character.
    for (int a = 0x80; a < 256; ++a) {
        for (int b = a + 1; b < 256; ++b) {
            ASSERT_NE(Cp1251::toUnicode(static_cast<unsigned char>(a)),
                      Cp1251::toUnicode(static_cast<unsigned char>(b)));
        }
    }
}

TEST(Cp1251, UnmappableAndMalformedInputBecomesQuestionMarks) {
    EXPECT_EQ(Cp1251::fromUtf8("a中b"), "a?b");
    EXPECT_EQ(Cp1251::fromUtf8("😀"), "?");
    EXPECT_EQ(Cp1251::fromUtf8("x\xFFy"), "x?y");
    EXPECT_EQ(Cp1251::fromUtf8("\xD0"), "?");                 // cut-off sequence at the end
    EXPECT_EQ(Cp1251::fromUtf8("\xC0\xAF"), "??");            // overlong '/'
    EXPECT_EQ(Cp1251::fromUtf8("\xED\xA0\x80"), "???");       // surrogate half
    EXPECT_EQ(Cp1251::fromUtf8("\xF4\x90\x80\x80"), "????");  // beyond U+10FFFF
    EXPECT_EQ(Cp1251::fromUtf8("\xD0\x41"), "?A");            // the next byte is not swallowed
}

TEST(Cp1251, StrictConversionNamesTheFirstRefusedCharacter) {
    const Cp1251::StrictResult han = Cp1251::fromUtf8Strict("ab中");
    EXPECT_FALSE(han.ok());
    EXPECT_EQ(han.errorOffset, 2u);
    EXPECT_EQ(han.errorCodePoint, U'中');
    EXPECT_NE(han.errorText().find("U+4E2D"), std::string::npos);

    const Cp1251::StrictResult broken = Cp1251::fromUtf8Strict("Ок\xFF");
    EXPECT_FALSE(broken.ok());
    EXPECT_EQ(broken.errorOffset, 4u);
    EXPECT_EQ(broken.errorCodePoint, 0u);
    EXPECT_NE(broken.errorText().find("UTF-8"), std::string::npos);

    const Cp1251::StrictResult fine = Cp1251::fromUtf8Strict("№ 5");
    EXPECT_TRUE(fine.ok());
    EXPECT_EQ(fine.bytes, "\xB9 5");
    EXPECT_TRUE(fine.errorText().empty());
}

}  // namespace
}  // namespace orsa::settings
