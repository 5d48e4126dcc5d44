#include "cli/Arguments.h"

#include <gtest/gtest.h>

namespace orsa::cli {
namespace {

TEST(Arguments, OptionsAndFlagsAreTakenOutOfThePositionals) {
  Arguments args({"1", "--expect", "32", "0x080802C0", "--timeout=500", "--json"});
  EXPECT_TRUE(args.flag("--json"));
  EXPECT_FALSE(args.flag("--json"));
  EXPECT_EQ(args.option("--expect"), "32");
  EXPECT_EQ(args.option("--timeout"), "500");
  EXPECT_EQ(args.option("--save"), std::nullopt);
  EXPECT_EQ(args.positionals(), (std::vector<std::string>{"1", "0x080802C0"}));
}

TEST(Arguments, RepeatedOptionsAreCollectedAndMistakesRefused) {
  Arguments sets({"--set", "A=1", "--set=B=2"});
  EXPECT_EQ(sets.options("--set"), (std::vector<std::string>{"A=1", "B=2"}));
  Arguments twice({"--save", "a", "--save", "b"});
  EXPECT_THROW(twice.option("--save"), UsageError);
  Arguments dangling({"--expect"});
  EXPECT_THROW(dangling.option("--expect"), UsageError);
  Arguments unknown({"file", "--frobnicate"});
  EXPECT_THROW(unknown.positionals(), UsageError);
}

TEST(Arguments, NumbersInDecimalOrHexWithinTheirRange) {
  EXPECT_EQ(parseNumber("11", "TYPE", 255), 11u);
  EXPECT_EQ(parseNumber("0x080802C0", "PARAM", 0xFFFFFFFF), 0x080802C0u);
  EXPECT_EQ(parseNumber("0XFF", "TYPE", 255), 255u);
  EXPECT_THROW(parseNumber("256", "TYPE", 255), UsageError);
  EXPECT_THROW(parseNumber("-1", "TYPE", 255), UsageError);
  EXPECT_THROW(parseNumber("12abc", "TYPE", 255), UsageError);
  EXPECT_THROW(parseNumber("", "TYPE", 255), UsageError);
  EXPECT_THROW(parseNumber("0x", "TYPE", 255), UsageError);
  EXPECT_THROW(parseNumber("99999999999999999999999", "PARAM", 0xFFFFFFFF), UsageError);
}

}  // namespace
}  // namespace orsa::cli
