#include "AppOptions.h"

#include <gtest/gtest.h>

namespace orsa::app {
namespace {

TEST(AppOptionsTest, ReadsTheProgramsOwnFlags) {
  QString error;
  const AppOptions plain = AppOptions::parse({QStringLiteral("prog")}, &error);
  EXPECT_TRUE(error.isEmpty());
  EXPECT_FALSE(plain.service);
  EXPECT_FALSE(plain.demo);
  EXPECT_TRUE(plain.screenshotDir.isEmpty());
  EXPECT_FALSE(plain.version);

  const AppOptions all =
      AppOptions::parse({QStringLiteral("prog"), QStringLiteral("--service"), QStringLiteral("--demo"),
                         QStringLiteral("--screenshot-dir"), QStringLiteral("/tmp/shots")},
                        &error);
  EXPECT_TRUE(error.isEmpty());
  EXPECT_TRUE(all.service);
  EXPECT_TRUE(all.demo);
  EXPECT_EQ(all.screenshotDir, QStringLiteral("/tmp/shots"));

  EXPECT_TRUE(AppOptions::parse({QStringLiteral("prog"), QStringLiteral("--version")}, &error).version);
  EXPECT_TRUE(error.isEmpty());
}

TEST(AppOptionsTest, AnUnknownFlagIsAnError) {
  QString error;
  AppOptions::parse({QStringLiteral("prog"), QStringLiteral("--bogus")}, &error);
  EXPECT_FALSE(error.isEmpty());
}

}  // namespace
}  // namespace orsa::app
