#include "settings/SettingsFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "TempDir.h"
#include "settings/SettingsDefaults.h"

namespace orsa::settings {
namespace {

using test::TempDir;

std::vector<std::uint8_t> readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeAll(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

SettingsRecord defaults() {
    SettingsRecord record;
    record.RestoreDefaults("");
    return record;
}

TEST(SettingsFileImage, DefaultsProduceTheKnownImage) {
    SettingsFile::Image expected{};
    auto put = [&](std::size_t offset, std::string_view text) {
        std::copy(text.begin(), text.end(), expected.begin() + static_cast<std::ptrdiff_t>(offset));
    };
    expected[0] = expected[1] = expected[2] = 1;
    expected[33] = 5820 & 0xFF;
    expected[34] = 5820 >> 8;
    expected[35] = 3;
    put(36, "1200");
    expected[41] = 3;
    expected[42] = 3;
    put(43, kDefaultServerHost);
    expected[75] = 23351 & 0xFF;
    expected[76] = 23351 >> 8;
    expected[77] = 0;
    expected[78] = 1;
    expected[79] = 50;
    put(81, "00000");
    expected[91] = 0;
    put(92, "2300070010001700");
    expected[109] = 5;
    expected[110] = 1;
    expected[111] = 20;
    expected[112] = 0;
    put(113, "0 001");

    const SettingsFile::Image image = SettingsFile::encode(defaults());
    for (std::size_t i = 0; i < SettingsFile::kSize; ++i) {
        EXPECT_EQ(image[i], expected[i]) << "byte " << i;
    }
}

TEST(SettingsFileImage, NumbersAreCutToTheirFieldAndReadBackAsStored) {
    SettingsRecord record = defaults();
    record.setText(SlotId::DevicePin, "0042");
    record.setText(SlotId::TimeZone, "-5");
    record.setText(SlotId::BalanceThreshold, "-1");
    record.setText(SlotId::ServerPort, "70000");
    record.setText(SlotId::MotionTimeout, "300");

    const SettingsFile::Image image = SettingsFile::encode(record);
    EXPECT_EQ(image[35], 0xFB);
    EXPECT_EQ(image[79], 0xFF);
    EXPECT_EQ(image[80], 0xFF);

    SettingsRecord loaded;
    SettingsFile::decodeInto(image, loaded);
    EXPECT_EQ(loaded.text(SlotId::DevicePin), "0042");
    EXPECT_EQ(loaded.text(SlotId::TimeZone), "-5");
    EXPECT_EQ(loaded.text(SlotId::BalanceThreshold), "65535");
    EXPECT_EQ(loaded.text(SlotId::ServerPort), "4464");  // 70000 - 65536
    EXPECT_EQ(loaded.text(SlotId::MotionTimeout), "44");  // 300 - 256
    EXPECT_EQ(loaded.text(SlotId::ContactTime), "1200");
    EXPECT_EQ(loaded.text(SlotId::GuardIntervals), "2300070010001700");
    EXPECT_EQ(loaded.text(SlotId::ZoneControl), "0 001");
    EXPECT_EQ(loaded.text(SlotId::BalanceCode), "00000");
}

TEST(SettingsFileImage, TextsNeverReachPastTheirField) {
    SettingsRecord record = defaults();
    record.setText(SlotId::OwnerPhone, std::string(31, '7'));
    record.setText(SlotId::BalanceCode, "*100*12345#");
    record.setText(SlotId::ZoneControl, "3 1234");
    record.setText(SlotId::ContactTime, "123456");
    const SettingsFile::Image image = SettingsFile::encode(record);
    EXPECT_EQ(image[3 + 28], '7');
    EXPECT_EQ(image[3 + 29], 0) << "phone keeps its terminator inside the field";
    EXPECT_EQ(image[33], 5820 & 0xFF) << "the PIN after the phone is untouched";
    EXPECT_EQ(image[81 + 8], '4');
    EXPECT_EQ(image[81 + 9], 0);
    EXPECT_EQ(image[40], 0);
    EXPECT_EQ(std::string(image.begin() + 113, image.end()), "3 123");

    // An image whose text fields are full to the brim still loads without spilling.
    SettingsFile::Image full;
    full.fill('9');
    SettingsRecord loaded;
    SettingsFile::decodeInto(full, loaded);
    EXPECT_EQ(loaded.text(SlotId::OwnerPhone), std::string(30, '9'));
    EXPECT_EQ(loaded.text(SlotId::ServerHost), std::string(31, '9'));
    EXPECT_EQ(loaded.text(SlotId::BalanceCode), std::string(10, '9'));
    EXPECT_EQ(loaded.text(SlotId::GuardIntervals), std::string(17, '9'));
    EXPECT_EQ(loaded.text(SlotId::ZoneControl), "99999");
    EXPECT_EQ(loaded.text(SlotId::DevicePin), "14649");  // 0x3939
}

TEST(SettingsFileImage, LoadingKeepsTheSlotsTheFileDoesNotHold) {
    SettingsRecord record;
    for (std::size_t i = 0; i < kSlotCount; ++i) {
        record.setText(static_cast<SlotId>(i), "old");
    }
    SettingsFile::decodeInto({}, record);  // an empty file
    for (SlotId kept : {SlotId::WialonEnabled, SlotId::WialonHost, SlotId::WialonPort,
                        SlotId::WialonPassword, SlotId::ConstantSlotA, SlotId::DeviceImei,
                        SlotId::ReadOnlyA, SlotId::ReadOnlyB, SlotId::ReadOnlyC,
                        SlotId::ConstantSlotB}) {
        EXPECT_EQ(record.text(kept), "old") << slotName(kept);
    }
    EXPECT_EQ(record.text(SlotId::OwnerPhone), "");
    EXPECT_EQ(record.text(SlotId::DevicePin), "0000");
    EXPECT_EQ(record.text(SlotId::TimeZone), "0");
    EXPECT_EQ(record.text(SlotId::ContactTime), "");
    EXPECT_EQ(record.text(SlotId::ServerHost), "");
    EXPECT_EQ(record.text(SlotId::ServerPort), "0");
    EXPECT_EQ(record.text(SlotId::GuardIntervals), "");
    EXPECT_EQ(record.text(SlotId::ZoneControl), "");
    EXPECT_EQ(record.text(SlotId::MotionAmplitude), "0");
}

TEST(SettingsFileOnDisk, SaveAndLoadRoundTrip) {
    TempDir dir;
    SettingsRecord record = defaults();
    record.setText(SlotId::OwnerPhone, "+79001234567");
    ASSERT_TRUE(SettingsFile::save(dir / "a.cfg", record));
    EXPECT_EQ(readAll(dir / "a.cfg").size(), SettingsFile::kSize);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1)
        << "no temporary file is left behind";

    SettingsRecord loaded;
    loaded.setText(SlotId::WialonHost, "kept.example");
    ASSERT_TRUE(SettingsFile::load(dir / "a.cfg", loaded));
    EXPECT_EQ(loaded.text(SlotId::OwnerPhone), "+79001234567");
    EXPECT_EQ(loaded.text(SlotId::ServerHost), kDefaultServerHost);
    EXPECT_EQ(loaded.text(SlotId::WialonHost), "kept.example");

    // Saving again replaces the file.
    record.setText(SlotId::OwnerPhone, "+7");
    ASSERT_TRUE(SettingsFile::save(dir / "a.cfg", record));
    ASSERT_TRUE(SettingsFile::load(dir / "a.cfg", loaded));
    EXPECT_EQ(loaded.text(SlotId::OwnerPhone), "+7");
}

TEST(SettingsFileOnDisk, ShortAndLongFiles) {
    TempDir dir;
    writeAll(dir / "short.cfg", {1, 1, 1, '+', '7', '9'});
    SettingsRecord record = defaults();
    ASSERT_TRUE(SettingsFile::load(dir / "short.cfg", record));
    EXPECT_EQ(record.text(SlotId::OwnerPhone), "+79");
    EXPECT_EQ(record.text(SlotId::DevicePin), "0000");
    EXPECT_EQ(record.text(SlotId::ContactTime), "");

    std::vector<std::uint8_t> longer(SettingsFile::kSize + 50, 0);
    longer[111] = 33;
    longer[113] = '1';
    longer[118] = '7';  // beyond the image: ignored
    writeAll(dir / "long.cfg", longer);
    ASSERT_TRUE(SettingsFile::load(dir / "long.cfg", record));
    EXPECT_EQ(record.text(SlotId::MotionAmplitude), "33");
    EXPECT_EQ(record.text(SlotId::ZoneControl), "1");
}

TEST(SettingsFileOnDisk, FailuresAreReportedAndChangeNothing) {
    TempDir dir;
    const SettingsRecord record = defaults();

    const SettingsFile::Result noFolder = SettingsFile::save(dir / "missing/x.cfg", record);
    EXPECT_FALSE(noFolder);
    EXPECT_EQ(noFolder.message, "Ошибка открытия файла");
    EXPECT_FALSE(noFolder.detail.empty());

    std::filesystem::create_directory(dir / "taken.cfg");
    const SettingsFile::Result onFolder = SettingsFile::save(dir / "taken.cfg", record);
    EXPECT_FALSE(onFolder);
    EXPECT_EQ(onFolder.message, "Ошибка открытия файла");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "taken.cfg"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1)
        << "the temporary file is removed after a failed save";

    SettingsRecord target = record;
    target.setText(SlotId::OwnerPhone, "+71112223344");
    const SettingsRecord before = target;
    const SettingsFile::Result missing = SettingsFile::load(dir / "none.cfg", target);
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.message, "Ошибка открытия файла");
    EXPECT_EQ(target, before);

    const SettingsFile::Result folder = SettingsFile::load(dir / "taken.cfg", target);
    EXPECT_FALSE(folder);
    EXPECT_EQ(target, before);
}

TEST(SettingsFileNames, ExtensionRules) {
    EXPECT_EQ(SettingsFile::nameForSaving("backup"), "backup.cfg");
    EXPECT_EQ(SettingsFile::nameForSaving("backup.CFG"), "backup.CFG.cfg");
    EXPECT_EQ(SettingsFile::nameForSaving("a.cfg.old"), "a.cfg.old");
    EXPECT_EQ(SettingsFile::nameForSaving("dir/x.cfg"), "dir/x.cfg");
    EXPECT_FALSE(SettingsFile::isLoadableName("a.txt"));
    EXPECT_FALSE(SettingsFile::isLoadableName("a.CFG"));
    EXPECT_TRUE(SettingsFile::isLoadableName("a.cfg.old"));
}

}  // namespace
}  // namespace orsa::settings
