#include "service/ConfigIni.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "support/TempDir.h"

namespace orsa::service {
namespace {

using orsa::testing::fileContents;
using orsa::testing::TempDir;

void put(const std::filesystem::path& path, std::string_view text) { std::ofstream(path, std::ios::binary) << text; }

TEST(ConfigIni, NamesMatchWithoutRegardToCase) {
  TempDir dir;
  const auto path = dir / "config.ini";
  put(path, "[CONFIG]\r\nFIRMWAREPATH=/fw/gps.bin\r\n directory = /amr \r\nphone=+79001234567\r\n");
  const ConfigIni ini(path);

  const ConfigIni::Values values = ini.load();
  EXPECT_EQ(values.firmwarePath, "/fw/gps.bin");
  EXPECT_EQ(values.directory, "/amr");
  EXPECT_EQ(values.phone, "+79001234567");
  EXPECT_EQ(values.daPath, "");

  // A write finds the key under any spelling and changes that line, never adds a second one.
  ASSERT_TRUE(ini.write(ConfigIni::kFirmwarePath, "/fw/new.bin"));
  EXPECT_EQ(fileContents(path), "[CONFIG]\r\nFIRMWAREPATH=/fw/new.bin\r\n directory = /amr \r\nphone=+79001234567\r\n");
}

TEST(ConfigIni, WriteKeepsEverythingElseByteForByte) {
  TempDir dir;
  const auto path = dir / "config.ini";
  put(path,
      "; written by hand\n[window]\nPhone=other section\n\n[config]\nDirectory=C:\\amr\n"
      "Extra=kept\n\n[last]\nx=1");
  const ConfigIni ini(path);

  ASSERT_TRUE(ini.write(ConfigIni::kPhone, "+7 900"));
  ASSERT_TRUE(ini.write(ConfigIni::kDirectory, "\xCF\xE0\xEF\xEA\xE0"));  // "Папка" in cp1251
  EXPECT_EQ(fileContents(path),
            "; written by hand\n[window]\nPhone=other section\n\n[config]\n"
            "Directory=\xCF\xE0\xEF\xEA\xE0\nExtra=kept\nPhone=+7 900\n\n[last]\nx=1");
  EXPECT_EQ(ini.read(ConfigIni::kPhone), "+7 900");
}

TEST(ConfigIni, ACarriageReturnEndingTheFileEndsItsLastLine) {
  TempDir dir;
  const auto path = dir / "config.ini";
  put(path, "[config]\r\nPhone=+79001234567\r");
  const ConfigIni ini(path);
  EXPECT_EQ(ini.load().phone, "+79001234567");

  // The new key goes on a line of its own: the cut line break is completed, not run into.
  ASSERT_TRUE(ini.write(ConfigIni::kDirectory, "/amr"));
  EXPECT_EQ(fileContents(path), "[config]\r\nPhone=+79001234567\r\nDirectory=/amr\r\n");
  EXPECT_EQ(ini.load().phone, "+79001234567");
}

TEST(ConfigIni, MissingFileReadsEmptyAndFirstWriteCreatesIt) {
  TempDir dir;
  const auto path = dir / "orsa-configurator" / "config.ini";
  const ConfigIni ini(path);

  const ConfigIni::Values values = ini.load();
  EXPECT_EQ(values.directory + values.daPath + values.firmwarePath + values.phone, "");

  ASSERT_TRUE(ini.write(ConfigIni::kDaPath, "/gps/loader.bin"));
  EXPECT_EQ(fileContents(path), "[config]\r\nDAPath=/gps/loader.bin\r\n");
  EXPECT_THROW((void)ini.write(ConfigIni::kPhone, "1\r\n[x]"), std::invalid_argument);
  EXPECT_EQ(fileContents(path), "[config]\r\nDAPath=/gps/loader.bin\r\n");
}

TEST(ConfigIni, WriteReplacesTheFileInsteadOfRewritingItInPlace) {
  TempDir dir;
  const auto path = dir / "config.ini";
  put(path, "[config]\r\nPhone=1\r\n");
  {
    std::ifstream before(path, std::ios::binary);  // a reader that opened the old file
#ifdef _WIN32
    // Windows keeps an open file from being replaced: the save fails and changes nothing.
    EXPECT_FALSE(ConfigIni(path).write(ConfigIni::kPhone, "2"));
    EXPECT_EQ(fileContents(path), "[config]\r\nPhone=1\r\n");
#else
    ASSERT_TRUE(ConfigIni(path).write(ConfigIni::kPhone, "2"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(before), std::istreambuf_iterator<char>()),
              "[config]\r\nPhone=1\r\n");
#endif
  }
  ASSERT_TRUE(ConfigIni(path).write(ConfigIni::kPhone, "2"));
  EXPECT_EQ(fileContents(path), "[config]\r\nPhone=2\r\n");

  // A read-only file stays read-only and untouched, as every save of the program treats one.
  std::filesystem::permissions(path, std::filesystem::perms::owner_read);
  EXPECT_FALSE(ConfigIni(path).write(ConfigIni::kPhone, "3"));
  EXPECT_EQ(fileContents(path), "[config]\r\nPhone=2\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
}

}  // namespace
}  // namespace orsa::service
