#include "settings/SettingsRecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <set>
#include <string>

#include "settings/ExchangeOrder.h"
#include "settings/SettingsDefaults.h"

namespace orsa::settings {
namespace {

TEST(SettingsRecord, TextsAreBoundedAndNeverSpillIntoTheNextSlot) {
    SettingsRecord record;
    record.setText(SlotId::WialonPassword, "keep");
    record.setText(SlotId::WialonPort, std::string(40, 'x'));
    EXPECT_EQ(record.text(SlotId::WialonPort), std::string(31, 'x'));
    EXPECT_EQ(record.bytes(SlotId::WialonPort)[31], 0);
    EXPECT_EQ(record.text(SlotId::WialonPassword), "keep");

    record.setText(SlotId::WialonPort, "ab");
    const auto& cell = record.bytes(SlotId::WialonPort);
    EXPECT_TRUE(std::all_of(cell.begin() + 2, cell.end(), [](std::uint8_t b) { return b == 0; }))
        << "setting a shorter text must clear the old tail";

    record.setText(SlotId::ReadOnlyA, std::string("ab\0cd", 5));
    EXPECT_EQ(record.text(SlotId::ReadOnlyA), "ab");
}

TEST(SettingsRecord, OverwriteKeepsTheBytesAfterTheTerminator) {
    SettingsRecord record;
    record.setText(SlotId::ConstantSlotB, "ABCDEF");
    record.overwriteText(SlotId::ConstantSlotB, "1");
    const auto& cell = record.bytes(SlotId::ConstantSlotB);
    EXPECT_EQ(record.text(SlotId::ConstantSlotB), "1");
    EXPECT_EQ(cell[1], 0);
    EXPECT_EQ(cell[2], 'C');
    EXPECT_EQ(cell[5], 'F');
}

TEST(SettingsRecord, ClearingAffectsOnlyWhatIsAsked) {
    SettingsRecord record;
    record.RestoreDefaults("+79001234567");
    record.clear(SlotId::TimeZone);
    EXPECT_EQ(record.text(SlotId::TimeZone), "");
    EXPECT_EQ(record.text(SlotId::ContactTime), "1200");
    EXPECT_EQ(record.text(SlotId::DevicePin), "5820");
    record.clearAll();
    const auto block = record.raw();
    EXPECT_TRUE(std::all_of(block.begin(), block.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST(SettingsRecord, NumbersFollowTheLenientReadingRule) {
    SettingsRecord record;
    const std::pair<const char*, int> cases[] = {
        {"", 0},          {"abc", 0},      {"42", 42},     {"  -12", -12}, {"+7", 7},
        {"0042", 42},     {"12ab", 12},    {"\t 5 6", 5},  {"-", 0},       {"- 5", 0},
        {"2 007", 2},     {"2147483647", INT_MAX},         {"-2147483648", INT_MIN},
        {"99999999999999999999999999999", INT_MAX},        {"-99999999999999999999999999999", INT_MIN},
    };
    for (const auto& [text, expected] : cases) {
        record.setText(SlotId::BalanceThreshold, text);
        EXPECT_EQ(record.number(SlotId::BalanceThreshold), expected) << '"' << text << '"';
    }
}

TEST(SettingsRecord, DefaultsKeepThePhoneAndLeaveTheReadOnlySlotsEmpty) {
    SettingsRecord record;
    record.setText(SlotId::DeviceImei, "356938035643809");
    record.setText(SlotId::ConstantSlotB, "1");
    record.RestoreDefaults("+79991112233");

    EXPECT_EQ(record.text(SlotId::OwnerPhone), "+79991112233");
    EXPECT_EQ(record.text(SlotId::DevicePin), "5820");
    EXPECT_EQ(record.text(SlotId::TimeZone), "3");
    EXPECT_EQ(record.text(SlotId::ContactTime), "1200");
    EXPECT_EQ(record.text(SlotId::CoordFormat), "3");
    EXPECT_EQ(record.text(SlotId::DeliveryMode), "3");
    EXPECT_EQ(record.text(SlotId::ServerHost), kDefaultServerHost);
    EXPECT_EQ(record.text(SlotId::ServerPort), "23351");
    EXPECT_EQ(record.text(SlotId::WialonEnabled), "0");
    EXPECT_EQ(record.text(SlotId::WialonHost), kDefaultWialonHost);
    EXPECT_EQ(record.text(SlotId::WialonPort), "20332");
    EXPECT_EQ(record.text(SlotId::WialonPassword), "");
    EXPECT_EQ(record.text(SlotId::WakeInterval), "1");
    EXPECT_EQ(record.text(SlotId::FixPeriodDays), "0");
    EXPECT_EQ(record.text(SlotId::ConstantSlotA), "1");
    EXPECT_EQ(record.text(SlotId::MotionMode), "0");
    EXPECT_EQ(record.text(SlotId::GuardIntervals), "2300070010001700");
    EXPECT_EQ(record.text(SlotId::MotionTimeout), "5");
    EXPECT_EQ(record.text(SlotId::FalseAlarmGuard), "1");
    EXPECT_EQ(record.text(SlotId::MotionAmplitude), "20");
    EXPECT_EQ(record.text(SlotId::MotionDuration), "0");
    EXPECT_EQ(record.text(SlotId::ZoneControl), "0 001");
    EXPECT_EQ(record.text(SlotId::BalanceThreshold), "50");
    EXPECT_EQ(record.text(SlotId::BalanceCode), "00000");
    for (SlotId slot : {SlotId::DeviceImei, SlotId::ReadOnlyA, SlotId::ReadOnlyB,
                        SlotId::ReadOnlyC, SlotId::ConstantSlotB}) {
        const auto& cell = record.bytes(slot);
        EXPECT_TRUE(std::all_of(cell.begin(), cell.end(), [](std::uint8_t b) { return b == 0; }))
            << slotName(slot);
    }
    EXPECT_LE(kDefaultServerHost.size(), 31u);
    EXPECT_LE(kDefaultWialonHost.size(), 31u);
}

TEST(ExchangeOrder, CoversEverySlotOnceWithItsBeaconAddress) {
    std::set<SlotId> slots;
    std::set<std::uint32_t> parameters;
    for (const ExchangeEntry& entry : exchangeOrder) {
        slots.insert(entry.slot);
        parameters.insert(entry.parameter);
        EXPECT_EQ((entry.parameter - 0x08080000u) % 32u, 0u) << slotName(entry.slot);
        EXPECT_EQ(parameterOf(entry.slot), entry.parameter);
    }
    EXPECT_EQ(slots.size(), kSlotCount);
    EXPECT_EQ(parameters.size(), kSlotCount);

    // Record order up to slot 23, then slot 28 so a write can stop after 25 entries.
    for (std::size_t p = 0; p < 24; ++p) {
        EXPECT_EQ(indexOf(exchangeOrder[p].slot), p);
    }
    EXPECT_EQ(exchangeOrder[24].slot, SlotId::ConstantSlotB);
    EXPECT_EQ(exchangeOrder[25].slot, SlotId::DeviceImei);
    EXPECT_EQ(exchangeOrder[28].slot, SlotId::ReadOnlyC);
    EXPECT_EQ(kWrittenSlotCount, 25u);
    EXPECT_EQ(parameterOf(SlotId::OwnerPhone), 0x08080460u);
    EXPECT_EQ(parameterOf(SlotId::ConstantSlotA), 0x080802C0u);
    EXPECT_EQ(parameterOf(SlotId::ReadOnlyC), 0x080808E0u);
}

TEST(SlotNames, RoundTripAndRejectUnknownNames) {
    for (std::size_t i = 0; i < kSlotCount; ++i) {
        const auto slot = static_cast<SlotId>(i);
        EXPECT_EQ(slotByName(slotName(slot)), slot);
    }
    EXPECT_EQ(slotName(SlotId::OwnerPhone), "OwnerPhone");
    EXPECT_EQ(slotName(SlotId::ConstantSlotB), "ConstantSlotB");
    EXPECT_EQ(slotByName("serverhost"), SlotId::ServerHost);
    EXPECT_EQ(slotByName("ServerHost "), std::nullopt);
    EXPECT_EQ(slotByName(""), std::nullopt);
}

}  // namespace
}  // namespace orsa::settings
