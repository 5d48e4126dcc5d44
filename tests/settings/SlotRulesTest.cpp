#include "settings/SlotRules.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace orsa::settings {
namespace {

// The window's fields and lists bound what a person can enter: the phone field takes digits and "+",
// the PIN four digits, the server port digits; the lists offer time zones UTC-12 to UTC+14, hours 00-23
// and minutes 00-59, a fix period of "Каждый день" or 1-30 days, a motion time-out of 5-99 minutes,
// an amplitude of 1-40 and a duration of 0-40 tenths; the zone diameter is 1-999 km in at most three
// digits.
TEST(SlotRules, AValueNoOneCouldEnterInTheWindowIsRefused) {
  const std::vector<std::tuple<SlotId, std::string>> refused = {
      {SlotId::OwnerPhone, "abc"},
      {SlotId::OwnerPhone, "+7 916"},
      {SlotId::DevicePin, "abcd"},
      {SlotId::DevicePin, "12345"},
      {SlotId::DevicePin, "123"},
      {SlotId::DevicePin, "12a4"},
      {SlotId::ServerPort, "abc"},
      {SlotId::ServerPort, "99999"},
      {SlotId::ServerPort, "65536"},
      {SlotId::ServerPort, "0"},
      {SlotId::ServerPort, "-1"},
      {SlotId::WialonPort, "70000"},
      {SlotId::TimeZone, "-13"},
      {SlotId::TimeZone, "15"},
      {SlotId::TimeZone, "3.5"},
      {SlotId::ContactTime, "24:00"},
      {SlotId::ContactTime, "12:60"},
      {SlotId::ContactTime, "8:30"},
      {SlotId::CoordFormat, "4"},
      {SlotId::CoordFormat, "map"},
      {SlotId::DeliveryMode, "-1"},
      {SlotId::DeliveryMode, "4"},
      {SlotId::WakeInterval, "0"},
      {SlotId::WakeInterval, "6h"},
      {SlotId::WialonEnabled, "2"},
      {SlotId::FixPeriodDays, "31"},
      {SlotId::MotionMode, "4"},
      {SlotId::GuardIntervals, "2400070010001700"},
      {SlotId::GuardIntervals, "23:00-07:00"},
      {SlotId::MotionTimeout, "4"},
      {SlotId::MotionTimeout, "100"},
      {SlotId::FalseAlarmGuard, "maybe"},
      {SlotId::MotionAmplitude, "0"},
      {SlotId::MotionAmplitude, "41"},
      {SlotId::MotionDuration, "41"},
      {SlotId::ZoneControl, "4 010"},
      {SlotId::ZoneControl, "1 1000"},
      {SlotId::ZoneControl, "1 0"},
      {SlotId::ZoneControl, "1"},
      {SlotId::BalanceThreshold, "много"},
      {SlotId::BalanceThreshold, ""},
      {SlotId::BalanceCode, ""},
      {SlotId::DeviceImei, "866104023456786"},
  };
  for (const auto& [slot, value] : refused) {
    const SlotInput input = readSlotInput(slot, value);
    EXPECT_FALSE(input.text) << slotName(slot) << "=" << value << " became \"" << input.text.value_or("") << "\"";
    EXPECT_FALSE(input.refusal.empty()) << slotName(slot) << "=" << value;
  }
}

// Readable spellings become the texts the window writes for the same choice.
TEST(SlotRules, ReadableSpellingsBecomeTheSlotsOwnTexts) {
  const std::vector<std::tuple<SlotId, std::string, std::string>> read = {
      {SlotId::OwnerPhone, "+79161234567", "+79161234567"},
      {SlotId::DevicePin, "0042", "0042"},
      {SlotId::TimeZone, "+3", "3"},
      {SlotId::TimeZone, "UTC+03:00", "3"},
      {SlotId::TimeZone, "-12", "-12"},
      {SlotId::TimeZone, "14", "14"},
      {SlotId::ContactTime, "08:30", "0830"},
      {SlotId::ContactTime, "2359", "2359"},
      {SlotId::CoordFormat, "link", "3"},
      {SlotId::CoordFormat, "0", "0"},
      {SlotId::DeliveryMode, "sms+server", "3"},
      {SlotId::DeliveryMode, "SMS", "1"},
      {SlotId::DeliveryMode, "off", "0"},
      {SlotId::ServerPort, "23351", "23351"},
      {SlotId::ServerPort, "", ""},
      {SlotId::WialonEnabled, "yes", "1"},
      {SlotId::WialonEnabled, "no", "0"},
      {SlotId::WakeInterval, "12h", "2"},
      {SlotId::FixPeriodDays, "0", "0"},
      {SlotId::MotionMode, "always", "1"},
      {SlotId::GuardIntervals, "23:00-07:00,10:00-17:00", "2300070010001700"},
      {SlotId::GuardIntervals, "2300070010001700", "2300070010001700"},
      {SlotId::MotionTimeout, "5", "5"},
      {SlotId::FalseAlarmGuard, "да", "1"},
      {SlotId::MotionAmplitude, "40", "40"},
      {SlotId::MotionDuration, "0", "0"},
      {SlotId::ZoneControl, "1 10", "1 010"},
      {SlotId::ZoneControl, "0 001", "0 001"},
      {SlotId::ZoneControl, "3 999", "3 999"},
      {SlotId::BalanceThreshold, "-1", "-1"},
      {SlotId::BalanceCode, "auto", "00000"},
      {SlotId::BalanceCode, "*100#", "*100#"},
      {SlotId::WialonPassword, "секрет", "секрет"},
  };
  for (const auto& [slot, value, text] : read) {
    const SlotInput input = readSlotInput(slot, value);
    EXPECT_EQ(input.text, text) << slotName(slot) << "=" << value << ": " << input.refusal;
    // What a comparison shows for the text is a spelling that gives the same text back.
    const std::string shown = readableSlotValue(slot, text);
    EXPECT_EQ(readSlotInput(slot, shown).text, text) << slotName(slot) << " shown as " << shown;
  }
  EXPECT_EQ(readableSlotValue(SlotId::TimeZone, "3"), "+3");
  EXPECT_EQ(readableSlotValue(SlotId::ContactTime, "0830"), "08:30");
  EXPECT_EQ(readableSlotValue(SlotId::DeliveryMode, "3"), "sms+server");
  EXPECT_EQ(readableSlotValue(SlotId::GuardIntervals, "2300070010001700"), "23:00-07:00,10:00-17:00");
  EXPECT_EQ(readableSlotValue(SlotId::BalanceCode, "00000"), "auto");
  EXPECT_EQ(readableSlotValue(SlotId::WialonEnabled, "1"), "yes");
  EXPECT_EQ(readableSlotValue(SlotId::DeliveryMode, "9"), "9") << "a text no list holds is shown as it is";
}

}  // namespace
}  // namespace orsa::settings
