#include "cli/SettingsJson.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace orsa::cli {
namespace {

using settings::SlotId;

TEST(SettingsJson, AppliesNamedSlotsOrNothing) {
  settings::SettingsRecord record;
  record.RestoreDefaults("");
  auto named = applyJson(R"({"OwnerPhone": "+79161234567", "BalanceCode": "*100#"})", record);
  EXPECT_EQ(named.size(), 2u);
  EXPECT_EQ(record.text(SlotId::OwnerPhone), "+79161234567");
  EXPECT_EQ(record.text(SlotId::BalanceCode), "*100#");

  const settings::SettingsRecord before = record;
  for (const char* refused : {
           R"({"OwnerPhone": "+7000", "NoSuchSlot": "1"})",
           R"({"OwnerPhone": 79161234.5})",
           R"({"OwnerPhone": null})",
           R"({"WialonPassword": "12345678901234567890123456789012"})",
           R"({"WialonPassword": "日本"})",
           R"(["OwnerPhone"])",
           R"({"OwnerPhone": "+7000", "OwnerPhone": "+7111"})",
           R"({"OwnerPhone": "+7000",})",
           R"({"OwnerPhone": "\ud800"})",
           "{\"OwnerPhone\": \"\x01\"}",
           "{\"OwnerPhone\": ",
           R"({"OwnerPhone": "+7000"} x)",
           R"({"OwnerPhone": 1e400})",
       }) {
    EXPECT_THROW(applyJson(refused, record), std::runtime_error) << refused;
  }
  EXPECT_EQ(record, before) << "a refused file changes nothing";
}

TEST(SettingsJson, RussianTextsTravelAsWindows1251) {
  settings::SettingsRecord record;
  applyJson(R"({"WialonPassword": "Пароль№1"})", record);
  EXPECT_EQ(record.text(SlotId::WialonPassword),
            "\xCF\xE0\xF0\xEE\xEB\xFC\xB9"
            "1");
  EXPECT_NE(recordToJson(record, {SlotId::WialonPassword}).find("\"Пароль№1\""), std::string::npos);
  EXPECT_EQ(slotTextFromUtf8(SlotId::WialonPassword, std::string(31, 'x')).size(), 31u);
}

// Files saved by earlier releases: two-space indent, one slot a line, escapes for quotes and
// backslashes, \u escapes for control and non-ASCII characters from other writers.
TEST(SettingsJson, FilesSavedEarlierStillLoadAndTheLayoutStays) {
  const std::string saved =
      "{\n"
      "  \"OwnerPhone\": \"+79161234567\",\n"
      "  \"WialonPassword\": \"\\\"q\\\\\\u041f\\u0430\\u0440\\u043e\\u043b\\u044c\"\n"
      "}\n";
  settings::SettingsRecord record;
  EXPECT_EQ(applyJson(saved, record), (std::vector<SlotId>{SlotId::OwnerPhone, SlotId::WialonPassword}));
  EXPECT_EQ(record.text(SlotId::WialonPassword), "\"q\\\xCF\xE0\xF0\xEE\xEB\xFC");
  EXPECT_EQ(recordToJson(record, {SlotId::OwnerPhone, SlotId::WialonPassword}),
            "{\n  \"OwnerPhone\": \"+79161234567\",\n  \"WialonPassword\": \"\\\"q\\\\Пароль\"\n}\n");
}

}  // namespace
}  // namespace orsa::cli
