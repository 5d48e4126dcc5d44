#include "AppOptions.h"

#include <gtest/gtest.h>

namespace orsa::app {
namespace {

TEST(AppOptionsTest, ReadsTheProgramsOwnFlagsAndOneSettingsFile) {
  QString error;
  const AppOptions plain = AppOptions::parse({QStringLiteral("prog")}, &error);
  EXPECT_TRUE(error.isEmpty());
  EXPECT_FALSE(plain.service);
  EXPECT_FALSE(plain.demo);
  EXPECT_TRUE(plain.screenshotDir.isEmpty());
  EXPECT_FALSE(plain.version);
  EXPECT_TRUE(plain.settingsFile.isEmpty());

  const AppOptions all =
      AppOptions::parse({QStringLiteral("prog"), QStringLiteral("--service"), QStringLiteral("--demo"),
                         QStringLiteral("--screenshot-dir"), QStringLiteral("/tmp/shots"), QStringLiteral("--record"),
                         QStringLiteral("/tmp/s.jsonl"), QStringLiteral("/home/u/Маяк 7.cfg")},
                        &error);
  EXPECT_TRUE(error.isEmpty()) << error.toStdString();
  EXPECT_TRUE(all.service);
  EXPECT_TRUE(all.demo);
  EXPECT_EQ(all.screenshotDir, QStringLiteral("/tmp/shots"));
  EXPECT_EQ(all.recordPath, QStringLiteral("/tmp/s.jsonl"));
  EXPECT_EQ(all.settingsFile, QStringLiteral("/home/u/Маяк 7.cfg"));

  EXPECT_TRUE(AppOptions::parse({QStringLiteral("prog"), QStringLiteral("--version")}, &error).version);
  EXPECT_TRUE(error.isEmpty());
}

TEST(AppOptionsTest, UnknownFlagsAndSecondFilesAreRefusedInRussian) {
  QString error;
  AppOptions::parse({QStringLiteral("prog"), QStringLiteral("--bogus")}, &error);
  EXPECT_TRUE(error.contains(QStringLiteral("неизвестный параметр «bogus»"))) << error.toStdString();
  error.clear();
  AppOptions::parse({QStringLiteral("prog"), QStringLiteral("a.cfg"), QStringLiteral("b.cfg")}, &error);
  EXPECT_FALSE(error.isEmpty());
}

TEST(AppOptionsTest, HelpAndVersionAreFoundBeforeAnythingElseIsLookedAt) {
  for (const char* help : {"-h", "--help", "--help-all", "-?"}) {
    EXPECT_TRUE(AppOptions::parseEarly({QStringLiteral("prog"), QStringLiteral("-platform"),
                                        QStringLiteral("offscreen"), QString::fromLatin1(help)})
                    .help)
        << help;
  }
  EXPECT_TRUE(AppOptions::parseEarly({QStringLiteral("prog"), QStringLiteral("-v")}).version);
  // After "--" a name is a file's, whatever it looks like.
  const AppOptions file =
      AppOptions::parseEarly({QStringLiteral("prog"), QStringLiteral("--"), QStringLiteral("--help")});
  EXPECT_FALSE(file.help);
}

}  // namespace
}  // namespace orsa::app
