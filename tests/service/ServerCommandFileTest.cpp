#include "service/ServerCommandFile.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/TempDir.h"

namespace orsa::service {
namespace {

using orsa::testing::fileBytes;
using orsa::testing::TempDir;

TEST(ServerCommandFile, SavedFileHoldsKindVersionAndModeCode) {
  TempDir dir;
  for (std::uint8_t code = 0; code <= 3; ++code) {
    const auto path = dir / "command.cfg";
    ASSERT_TRUE(ServerCommandFile::save(path, code));
    EXPECT_EQ(fileBytes(path), (std::vector<std::uint8_t>{2, 1, code})) << int(code);
  }
}

TEST(ServerCommandFile, ModeWordsAndCodes) {
  EXPECT_EQ(ServerCommandFile::modeCodeOf("search"), 1);
  EXPECT_EQ(ServerCommandFile::modeCodeOf("test"), 2);
  EXPECT_EQ(ServerCommandFile::modeCodeOf("daily"), 3);
  EXPECT_EQ(ServerCommandFile::modeCodeOf("3"), 3);
  EXPECT_EQ(ServerCommandFile::modeCodeOf("0"), std::nullopt);
  EXPECT_EQ(ServerCommandFile::modeCodeOf("4"), std::nullopt);
  EXPECT_EQ(ServerCommandFile::modeCodeOf("Search"), std::nullopt);
}

}  // namespace
}  // namespace orsa::service
