#include "settings/CollectRecord.h"

#include <gtest/gtest.h>

#include "ScriptedDialogs.h"
#include "settings/IntegerConversionError.h"
#include "settings/ShowRecord.h"
#include "support/BeaconFigures.h"

namespace orsa::settings {
namespace {

using test::ScriptedDialogs;
namespace messages = orsa::testing::figures;
using Calls = std::vector<std::string>;

std::string ask(std::string_view text) { return "ask:" + std::string(messages::kCheckTitle) + ":" + std::string(text); }
std::string tell(std::string_view text, std::string_view title = messages::kCheckTitle) {
  return "notify:" + std::string(title) + ":" + std::string(text);
}

// The pages as they stand after start-up, with a phone typed in.
SettingsPage defaultsPage(const std::string& phone = "+79001234567") {
  SettingsRecord record;
  record.RestoreDefaults("");
  SettingsPage page;
  ShowRecord(record, page);
  page.Edit1 = phone;
  return page;
}

TEST(CollectRecord, DefaultsOnThePagesCollectToTheDefaults) {
  SettingsRecord expected;
  expected.RestoreDefaults("+79001234567");
  expected.setText(SlotId::ConstantSlotB, "1");
  SettingsRecord record;
  record.RestoreDefaults("");
  record.setText(SlotId::TimeZone, "9");
  ScriptedDialogs dialogs;
  ASSERT_TRUE(CollectRecord(defaultsPage(), record, dialogs));
  EXPECT_TRUE(dialogs.calls.empty());
  EXPECT_EQ(record, expected);
}

TEST(CollectRecord, QuestionsAnsweredYesAndNo) {
  SettingsRecord record;
  record.setText(SlotId::DevicePin, "9999");
  ScriptedDialogs noPhone;
  noPhone.answers = {false};
  EXPECT_FALSE(CollectRecord(defaultsPage(""), record, noPhone));
  EXPECT_EQ(noPhone.calls, (Calls{"section:1", ask(messages::kNoOwnerPhone)}));
  EXPECT_EQ(record.text(SlotId::DevicePin), "9999") << "nothing after the refusal changes";

  SettingsPage page = defaultsPage("");
  page.Edit8 = "";
  page.ComboBox1 = 0;
  ScriptedDialogs noServer;
  noServer.answers = {true, false};
  record.setText(SlotId::WialonEnabled, "x");
  EXPECT_FALSE(CollectRecord(page, record, noServer));
  EXPECT_EQ(noServer.calls, (Calls{"section:1", ask(messages::kNoOwnerPhone), "section:2", ask(messages::kNoServer)}));
  EXPECT_EQ(record.text(SlotId::OwnerPhone), "00000");
  EXPECT_EQ(record.text(SlotId::TimeZone), "-12") << "earlier slots keep their new texts";
  EXPECT_EQ(record.text(SlotId::ServerHost), "");
  EXPECT_EQ(record.text(SlotId::WialonEnabled), "x");

  ScriptedDialogs yesYes;
  yesYes.answers = {true, true};
  EXPECT_TRUE(CollectRecord(page, record, yesYes));
  EXPECT_EQ(record.text(SlotId::ServerHost), "");
  EXPECT_EQ(record.text(SlotId::ServerPort), "");
  EXPECT_EQ(record.text(SlotId::WialonEnabled), "0");

  // The marker read back leaves the phone field as the user had it.
  SettingsPage shown = defaultsPage("+7123");
  ShowRecord(record, shown);
  EXPECT_EQ(shown.Edit1, "+7123");
}

TEST(CollectRecord, RefusedFieldsStopWithANotice) {
  struct Case {
    void (*edit)(SettingsPage&);
    Calls calls;
  };
  const Case cases[] = {
      {[](SettingsPage& p) { p.Edit2 = ""; }, {"page:0", tell(messages::kNoPin)}},
      {[](SettingsPage& p) { p.Edit2 = "123"; }, {"page:0", tell(messages::kPinNotFourDigits)}},
      {[](SettingsPage& p) {
         p.CheckBox3 = true;
         p.Edit9 = "";
       },
       {"section:2", tell(messages::kNoWialonServer, messages::kResultTitle)}},
      {[](SettingsPage& p) {
         p.RadioButton6 = false;
         p.RadioButton7 = true;
         p.Edit4 = "";
       },
       {tell(messages::kNoBalanceCode)}},
  };
  for (const Case& c : cases) {
    SettingsPage page = defaultsPage();
    c.edit(page);
    SettingsRecord record;
    ScriptedDialogs dialogs;
    EXPECT_FALSE(CollectRecord(page, record, dialogs));
    EXPECT_EQ(dialogs.calls, c.calls);
    EXPECT_EQ(record.text(SlotId::ConstantSlotB), "") << "collection did not run to its end";
  }
}

TEST(CollectRecord, NonIntegerFieldsThrowAfterTheEarlierSlots) {
  SettingsPage page = defaultsPage();
  page.ComboBox15 = 7;
  page.Edit6 = "";
  SettingsRecord record;
  record.setText(SlotId::ZoneControl, "old");
  ScriptedDialogs dialogs;
  EXPECT_THROW(
      {
        try {
          CollectRecord(page, record, dialogs);
        } catch (const IntegerConversionError& error) {
          EXPECT_STREQ(error.what(), "'' is not a valid integer value");
          throw;
        }
      },
      IntegerConversionError);
  EXPECT_EQ(record.text(SlotId::MotionDuration), "7");
  EXPECT_EQ(record.text(SlotId::ZoneControl), "");

  page.Edit6 = "5";
  page.Edit3 = "сто";
  try {
    CollectRecord(page, record, dialogs);
    ADD_FAILURE() << "letters must not convert";
  } catch (const IntegerConversionError& error) {
    EXPECT_STREQ(error.what(), "'сто' is not a valid integer value");
  }
  EXPECT_EQ(record.text(SlotId::ZoneControl), "0 005");
  EXPECT_TRUE(dialogs.calls.empty());
}

TEST(CollectRecord, ControlsBecomeSlotTextsAndShowAgain) {
  SettingsPage page = defaultsPage(std::string(40, '7'));
  page.Edit2 = "0123";
  page.ComboBox1 = 26;
  page.ComboBox19 = -1;  // typed into
  page.CheckBox3 = true;
  page.Edit10 = "";
  page.ComboBox13 = 94;
  page.ComboBox18 = 2;
  page.Edit6 = "7";
  page.Edit7 = std::string(20, 'a') + "ёёёёёёёёёёёёёёё";
  page.RadioButton6 = false;
  page.RadioButton7 = true;
  page.Edit4 = "*баланс#";

  SettingsRecord record;
  record.setText(SlotId::ConstantSlotB, "XXtail");
  ScriptedDialogs dialogs;
  ASSERT_TRUE(CollectRecord(page, record, dialogs));
  EXPECT_EQ(record.text(SlotId::OwnerPhone), std::string(31, '7'));
  EXPECT_EQ(record.text(SlotId::DevicePin), "0123");
  EXPECT_EQ(record.text(SlotId::TimeZone), "14");
  EXPECT_EQ(record.text(SlotId::DeliveryMode), "-1");
  EXPECT_EQ(record.text(SlotId::ServerHost), std::string(20, 'a') + std::string(11, '\xB8'));
  EXPECT_EQ(record.text(SlotId::WialonEnabled), "1");
  EXPECT_EQ(record.text(SlotId::GuardIntervals), "2300070010001700");
  EXPECT_EQ(record.text(SlotId::MotionTimeout), "99");
  EXPECT_EQ(record.text(SlotId::ZoneControl), "2 007");
  EXPECT_EQ(record.text(SlotId::BalanceCode), "*\xE1\xE0\xEB\xE0\xED\xF1#");
  EXPECT_EQ(record.bytes(SlotId::ConstantSlotB)[2], 't') << "only two bytes are written over";

  SettingsPage shown;
  ShowRecord(record, shown);
  EXPECT_EQ((std::array{shown.ComboBox1, shown.ComboBox13, shown.ComboBox18}), (std::array{26, 94, 2}));
  EXPECT_EQ(shown.Edit6, "7");
  EXPECT_EQ(shown.Edit4, "*баланс#");

  // Switching the additional server off keeps its address for next time.
  page.CheckBox3 = false;
  page.Edit5 = "";
  ASSERT_TRUE(CollectRecord(page, record, dialogs));
  EXPECT_EQ(record.text(SlotId::WialonEnabled), "0");
  EXPECT_EQ(record.text(SlotId::WialonHost), kDefaultWialonHost);
}

}  // namespace
}  // namespace orsa::settings
