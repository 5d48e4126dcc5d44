#include "settings/NumberText.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>

namespace orsa::settings {
namespace {

std::array<int, 2> scanTwo(std::string_view text, std::size_t first, std::size_t second) {
    const std::array<std::size_t, 2> widths = {first, second};
    std::array<int, 2> out{-99, -99};
    NumberText::scanFields(text, widths, out);
    return out;
}

TEST(NumberText, FieldsAreReadLikeWidthLimitedConversions) {
    using Pair = std::array<int, 2>;
    EXPECT_EQ(scanTwo("1200", 2, 2), (Pair{12, 0}));
    EXPECT_EQ(scanTwo("0905", 2, 2), (Pair{9, 5}));
    EXPECT_EQ(scanTwo("123", 2, 2), (Pair{12, 3}));
    EXPECT_EQ(scanTwo("1", 2, 2), (Pair{1, 0}));
    EXPECT_EQ(scanTwo("", 2, 2), (Pair{0, 0}));
    EXPECT_EQ(scanTwo("x12", 2, 2), (Pair{0, 0}));
    EXPECT_EQ(scanTwo("-1-1", 2, 2), (Pair{-1, -1}));  // what "%02d%02d" makes of -1, -1
    EXPECT_EQ(scanTwo("2 007", 0, 3), (Pair{2, 7}));
    EXPECT_EQ(scanTwo("2 1234", 0, 3), (Pair{2, 123}));
    EXPECT_EQ(scanTwo("2", 0, 3), (Pair{2, 0}));
    EXPECT_EQ(scanTwo("2007", 0, 3), (Pair{2007, 0}));
    EXPECT_EQ(scanTwo("99999999999999999999 5", 0, 3), (Pair{INT_MAX, 5}));
}

TEST(NumberText, StrictIntegersRefuseAnythingButANumber) {
    EXPECT_EQ(NumberText::parseInteger("7"), 7);
    EXPECT_EQ(NumberText::parseInteger("007"), 7);
    EXPECT_EQ(NumberText::parseInteger(" -50"), -50);
    EXPECT_EQ(NumberText::parseInteger("+3"), 3);
    EXPECT_EQ(NumberText::parseInteger("-2147483648"), INT_MIN);
    EXPECT_EQ(NumberText::parseInteger("2147483647"), INT_MAX);
    for (const char* bad : {"", " ", "-", "abc", "12a", "5 ", "2147483648", "1e3", "1.5"}) {
        EXPECT_EQ(NumberText::parseInteger(bad), std::nullopt) << '"' << bad << '"';
    }
}

TEST(NumberText, Formatting) {
    EXPECT_EQ(NumberText::decimal(-12), "-12");
    EXPECT_EQ(NumberText::twoDigits(7), "07");
    EXPECT_EQ(NumberText::twoDigits(-1), "-1");
    EXPECT_EQ(NumberText::twoDigits(123), "123");
    EXPECT_EQ(NumberText::threeDigits(7), "007");
    EXPECT_EQ(NumberText::threeDigits(-5), "-05");
}

}  // namespace
}  // namespace orsa::settings
