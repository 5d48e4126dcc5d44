#include "settings/SettingsRecord.h"

#include <gtest/gtest.h>

#include <climits>

#include "settings/ExchangeOrder.h"
#include "settings/NumberText.h"
#include "settings/SettingsDefaults.h"
#include "support/BeaconFigures.h"

namespace orsa::settings {
namespace {

namespace figures = orsa::testing::figures;

bool allZero(const SettingsRecord::Slot& cell) {
  return std::all_of(cell.begin(), cell.end(), [](std::uint8_t b) { return b == 0; });
}

TEST(SettingsRecord, TextsStayInsideTheirSlot) {
  SettingsRecord record;
  record.setText(SlotId::WialonPassword, "keep");
  record.setText(SlotId::WialonPort, std::string(40, 'x'));
  EXPECT_EQ(record.text(SlotId::WialonPort), std::string(31, 'x'));
  EXPECT_EQ(record.text(SlotId::WialonPassword), "keep");
  record.setText(SlotId::WialonPort, "ab");
  EXPECT_EQ(record.bytes(SlotId::WialonPort)[3], 0) << "a shorter text clears the old tail";

  // Overwriting keeps what follows the new terminator: the beacon gets those bytes back.
  record.setText(SlotId::ConstantSlotB, "ABCDEF");
  record.overwriteText(SlotId::ConstantSlotB, "1");
  EXPECT_EQ(record.text(SlotId::ConstantSlotB), "1");
  EXPECT_EQ(record.bytes(SlotId::ConstantSlotB)[2], 'C');
}

TEST(SettingsRecord, NumbersReadLeniently) {
  const std::pair<const char*, int> cases[] = {
      {"", 0},
      {"abc", 0},
      {"  -12", -12},
      {"+7", 7},
      {"0042", 42},
      {"12ab", 12},
      {"- 5", 0},
      {"2 007", 2},
      {"-2147483648", INT_MIN},
      {"99999999999999999999999", INT_MAX},
      {"-99999999999999999999999", INT_MIN},
  };
  SettingsRecord record;
  for (const auto& [text, expected] : cases) {
    record.setText(SlotId::BalanceThreshold, text);
    EXPECT_EQ(record.number(SlotId::BalanceThreshold), expected) << '"' << text << '"';
  }
}

TEST(NumberText, PageFieldsConvertOnlyWhenWhollyAnInteger) {
  EXPECT_EQ(NumberText::parseInteger(" -50"), -50);
  for (const char* bad : {"", "-", "12a", "5 ", "2147483648", "1.5"}) {
    EXPECT_EQ(NumberText::parseInteger(bad), std::nullopt) << '"' << bad << '"';
  }
}

TEST(SettingsRecord, DefaultsKeepThePhoneAndLeaveTheBeaconSlotsEmpty) {
  SettingsRecord record;
  record.setText(SlotId::DeviceImei, "356938035643809");
  record.setText(SlotId::ConstantSlotB, "1");
  record.RestoreDefaults("+79991112233");
  EXPECT_EQ(record.text(SlotId::OwnerPhone), "+79991112233");
  EXPECT_EQ(record.text(SlotId::WialonHost), kDefaultWialonHost);
  EXPECT_EQ(record.text(SlotId::WialonPort), "20332");
  EXPECT_EQ(record.text(SlotId::ConstantSlotA), "1");
  for (std::size_t i = 24; i < kSlotCount; ++i) {
    EXPECT_TRUE(allZero(record.bytes(static_cast<SlotId>(i)))) << i;
  }
  record.clearAll();
  const auto block = record.raw();
  EXPECT_TRUE(std::all_of(block.begin(), block.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST(SettingsRecord, EachSlotHasTheBeaconsAddressAndTheExchangeOrderIsTheBeacons) {
  for (std::size_t slot = 0; slot < figures::kSlotCount; ++slot) {
    EXPECT_EQ(parameterOf(static_cast<SlotId>(slot)), figures::kSlotParameters[slot]) << "slot " << slot;
  }
  ASSERT_EQ(exchangeOrder.size(), figures::kExchangeSlots.size());
  for (std::size_t p = 0; p < exchangeOrder.size(); ++p) {
    EXPECT_EQ(indexOf(exchangeOrder[p].slot), figures::kExchangeSlots[p]) << "position " << p;
    EXPECT_EQ(exchangeOrder[p].parameter, figures::kExchangeParameters[p]) << "position " << p;
    EXPECT_EQ(slotByName(slotName(exchangeOrder[p].slot)), exchangeOrder[p].slot);
  }
  EXPECT_EQ(kWrittenSlotCount, figures::kWrittenSlots);
  EXPECT_EQ(slotByName("serverhost"), SlotId::ServerHost);
  EXPECT_EQ(slotByName("Server"), std::nullopt);
}

}  // namespace
}  // namespace orsa::settings
