#include "cli/Json.h"

#include <gtest/gtest.h>

#include "cli/SettingsJson.h"

namespace orsa::cli {
namespace {

TEST(Json, ReadsObjectsWithEscapesAndUnicode) {
  auto value =
      parseJson(R"( {"a": "x\"y\\z\n", "b": [1, -2.5e1, true, null], "c": "\u041e\u0420\u0421\u0410 \ud83d\ude00"} )");
  ASSERT_TRUE(value.isObject());
  EXPECT_EQ(value.object().at("a").string(), "x\"y\\z\n");
  EXPECT_EQ(value.object().at("c").string(), "ОРСА \xF0\x9F\x98\x80");
  const auto& array = std::get<JsonValue::Array>(value.object().at("b").value);
  ASSERT_EQ(array.size(), 4u);
  EXPECT_EQ(std::get<double>(array[1].value), -25.0);
}

TEST(Json, RefusesMalformedInputWithAnOffset) {
  for (const char* bad : {"", "{", "{\"a\" 1}", "{\"a\": 1,}", "[1 2]", "{\"a\": \"unterminated}", "{\"a\": 1} x",
                          "{\"a\": \"\\ud800\"}", "{\"a\": 1, \"a\": 2}", "{\"a\": tru}", "\"\x01\""}) {
    EXPECT_THROW(parseJson(bad), JsonError) << bad;
  }
  try {
    parseJson("{\"a\": ?}");
  } catch (const JsonError& error) {
    EXPECT_NE(std::string(error.what()).find("byte 6"), std::string::npos) << error.what();
  }
  EXPECT_THROW(parseJson(std::string(1000, '[') + std::string(1000, ']')), JsonError) << "nesting is bounded";
}

TEST(Json, QuotingRoundTrips) {
  const std::string text = "line\n\t\"quoted\" \\ \x01 Пароль";
  EXPECT_EQ(parseJson(jsonQuote(text)).string(), text);
}

TEST(SettingsJson, AppliesNamedSlotsOrNothing) {
  settings::SettingsRecord record;
  record.RestoreDefaults("");
  auto named = applyJson(R"({"OwnerPhone": "+79161234567", "BalanceCode": "*100#"})", record);
  EXPECT_EQ(named.size(), 2u);
  EXPECT_EQ(record.text(settings::SlotId::OwnerPhone), "+79161234567");
  EXPECT_EQ(record.text(settings::SlotId::BalanceCode), "*100#");

  const settings::SettingsRecord before = record;
  EXPECT_THROW(applyJson(R"({"OwnerPhone": "+7000", "NoSuchSlot": "1"})", record), std::runtime_error);
  EXPECT_THROW(applyJson(R"({"OwnerPhone": 79161234567})", record), std::runtime_error);
  EXPECT_THROW(applyJson(R"({"WialonPassword": "12345678901234567890123456789012"})", record), std::runtime_error);
  EXPECT_THROW(applyJson(R"({"WialonPassword": "日本"})", record), std::runtime_error);
  EXPECT_THROW(applyJson(R"(["OwnerPhone"])", record), std::runtime_error);
  EXPECT_EQ(record, before) << "a refused file changes nothing";
}

TEST(SettingsJson, RussianTextsTravelAsWindows1251) {
  settings::SettingsRecord record;
  applyJson(R"({"WialonPassword": "Пароль№1"})", record);
  EXPECT_EQ(record.text(settings::SlotId::WialonPassword),
            "\xCF\xE0\xF0\xEE\xEB\xFC\xB9"
            "1");
  EXPECT_NE(recordToJson(record, {settings::SlotId::WialonPassword}).find("\"Пароль№1\""), std::string::npos);
  EXPECT_EQ(slotTextFromUtf8(settings::SlotId::WialonPassword, std::string(31, 'x')).size(), 31u);
}

}  // namespace
}  // namespace orsa::cli
