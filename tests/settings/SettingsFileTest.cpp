#include "settings/SettingsFile.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/TempDir.h"
#include "settings/SettingsDefaults.h"

namespace orsa::settings {
namespace {

using orsa::testing::TempDir;

SettingsRecord defaults() {
  SettingsRecord record;
  record.RestoreDefaults("");
  return record;
}

std::size_t entriesIn(const TempDir& dir) {
  return static_cast<std::size_t>(
      std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()));
}

TEST(SettingsFile, DefaultsImageByteByByte) {
  SettingsFile::Image expected{};
  const auto put = [&](std::size_t offset, std::string_view text) {
    std::copy(text.begin(), text.end(), expected.begin() + static_cast<std::ptrdiff_t>(offset));
  };
  put(0, "\x01\x01\x01");
  put(33,
      "\xBC\x16\x03"
      "1200");  // PIN 5820, time zone 3, contact time
  put(41, "\x03\x03");
  put(43, kDefaultServerHost);
  put(75, "\x37\x5B");  // 23351
  put(78, "\x01\x32");  // wake interval 1, threshold 50 (byte 80 stays 0)
  put(81, "00000");
  put(92, "2300070010001700");
  put(109, "\x05\x01\x14");  // time-out 5, guard 1, amplitude 20, duration 0 (byte 112)
  put(113, "0 001");
  EXPECT_EQ(SettingsFile::encode(defaults()), expected);
}

TEST(SettingsFile, NumbersAreCutToTheirFieldAndReadBack) {
  SettingsRecord record = defaults();
  record.setText(SlotId::DevicePin, "0042");
  record.setText(SlotId::TimeZone, "-5");
  record.setText(SlotId::BalanceThreshold, "-1");
  record.setText(SlotId::ServerPort, "70000");
  record.setText(SlotId::MotionTimeout, "300");
  const SettingsFile::Image image = SettingsFile::encode(record);
  EXPECT_EQ(image[79], 0xFF);
  EXPECT_EQ(image[80], 0xFF);

  SettingsRecord loaded;
  SettingsFile::decodeInto(image, loaded);
  EXPECT_EQ(loaded.text(SlotId::DevicePin), "0042");
  EXPECT_EQ(loaded.text(SlotId::TimeZone), "-5");
  EXPECT_EQ(loaded.text(SlotId::BalanceThreshold), "65535");
  EXPECT_EQ(loaded.text(SlotId::ServerPort), "4464");  // 70000 - 65536
  EXPECT_EQ(loaded.text(SlotId::MotionTimeout), "44");
  EXPECT_EQ(loaded.text(SlotId::ZoneControl), "0 001");
}

TEST(SettingsFile, TextsNeverReachPastTheirField) {
  SettingsRecord record = defaults();
  record.setText(SlotId::OwnerPhone, std::string(31, '7'));
  record.setText(SlotId::ZoneControl, "3 1234");
  const SettingsFile::Image image = SettingsFile::encode(record);
  EXPECT_EQ(image[3 + 29], 0) << "the phone keeps its terminator inside the field";
  EXPECT_EQ(image[33], 0xBC) << "and the PIN after it is intact";
  EXPECT_EQ(std::string(image.begin() + 113, image.end()), "3 123");

  SettingsFile::Image full;
  full.fill('9');
  SettingsRecord loaded;
  SettingsFile::decodeInto(full, loaded);
  EXPECT_EQ(loaded.text(SlotId::OwnerPhone), std::string(30, '9'));
  EXPECT_EQ(loaded.text(SlotId::ServerHost), std::string(31, '9'));
  EXPECT_EQ(loaded.text(SlotId::BalanceCode), std::string(10, '9'));
  EXPECT_EQ(loaded.text(SlotId::ZoneControl), "99999");
}

TEST(SettingsFile, EmptyFileClearsOnlyTheSlotsItHolds) {
  SettingsRecord record;
  for (std::size_t i = 0; i < kSlotCount; ++i) {
    record.setText(static_cast<SlotId>(i), "old");
  }
  SettingsFile::decodeInto({}, record);
  for (SlotId kept : {SlotId::WialonEnabled, SlotId::WialonHost, SlotId::WialonPort, SlotId::WialonPassword,
                      SlotId::ConstantSlotA, SlotId::DeviceImei, SlotId::ReadOnlyC, SlotId::ConstantSlotB}) {
    EXPECT_EQ(record.text(kept), "old") << slotName(kept);
  }
  EXPECT_EQ(record.text(SlotId::OwnerPhone), "");
  EXPECT_EQ(record.text(SlotId::DevicePin), "0000");
  EXPECT_EQ(record.text(SlotId::TimeZone), "0");
  EXPECT_EQ(record.text(SlotId::ContactTime), "");
  EXPECT_EQ(record.text(SlotId::ServerPort), "0");
}

TEST(SettingsFile, SaveAndLoadOnDisk) {
  TempDir dir;
  SettingsRecord record = defaults();
  record.setText(SlotId::OwnerPhone, "+79001234567");
  ASSERT_TRUE(SettingsFile::save(dir / "a.cfg", record));
  record.setText(SlotId::OwnerPhone, "+7");
  ASSERT_TRUE(SettingsFile::save(dir / "a.cfg", record)) << "an existing file is replaced";
  EXPECT_EQ(std::filesystem::file_size(dir / "a.cfg"), SettingsFile::kSize);
  EXPECT_EQ(entriesIn(dir), 1u) << "no temporary file is left behind";

  SettingsRecord loaded;
  loaded.setText(SlotId::WialonHost, "kept.example");
  ASSERT_TRUE(SettingsFile::load(dir / "a.cfg", loaded));
  EXPECT_EQ(loaded.text(SlotId::OwnerPhone), "+7");
  EXPECT_EQ(loaded.text(SlotId::WialonHost), "kept.example");

  // A longer file is read only as far as the image goes.
  std::ofstream(dir / "long.cfg", std::ios::binary)
      << std::string(111, '\0') << '\x21' << '\0' << "1" << std::string(50, '7');
  ASSERT_TRUE(SettingsFile::load(dir / "long.cfg", loaded));
  EXPECT_EQ(loaded.text(SlotId::MotionAmplitude), "33");
  EXPECT_EQ(loaded.text(SlotId::ZoneControl), "17777");
}

TEST(SettingsFile, FailuresAreReportedAndChangeNothing) {
  TempDir dir;
  const SettingsRecord record = defaults();
  const SettingsFile::Result noFolder = SettingsFile::save(dir / "missing/x.cfg", record);
  EXPECT_FALSE(noFolder);
  EXPECT_EQ(noFolder.message, "Ошибка открытия файла");

  std::filesystem::create_directory(dir / "taken.cfg");
  const SettingsFile::Result onFolder = SettingsFile::save(dir / "taken.cfg", record);
  EXPECT_EQ(onFolder.message, "Ошибка открытия файла");
  EXPECT_TRUE(std::filesystem::is_directory(dir / "taken.cfg"));
  EXPECT_EQ(entriesIn(dir), 1u) << "the temporary file goes away with the failed save";

  SettingsRecord target = record;
  for (const char* name : {"none.cfg", "taken.cfg"}) {
    const SettingsFile::Result result = SettingsFile::load(dir / name, target);
    EXPECT_FALSE(result) << name;
    EXPECT_FALSE(result.message.empty());
    EXPECT_EQ(target, record) << name;
  }
}

TEST(SettingsFile, NameRules) {
  EXPECT_EQ(SettingsFile::nameForSaving("backup"), "backup.cfg");
  EXPECT_EQ(SettingsFile::nameForSaving("backup.CFG"), "backup.CFG.cfg");
  EXPECT_EQ(SettingsFile::nameForSaving("a.cfg.old"), "a.cfg.old");
  EXPECT_FALSE(SettingsFile::isLoadableName("a.txt"));
  EXPECT_TRUE(SettingsFile::isLoadableName("a.cfg.old"));
}

}  // namespace
}  // namespace orsa::settings
