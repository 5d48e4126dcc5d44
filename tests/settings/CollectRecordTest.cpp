#include "settings/CollectRecord.h"

#include <gtest/gtest.h>

#include "ScriptedDialogs.h"
#include "settings/IntegerConversionError.h"
#include "settings/SettingsMessages.h"
#include "settings/ShowRecord.h"

namespace orsa::settings {
namespace {

using test::ScriptedDialogs;

const std::string kPhoneQuestion = "ask:конфигуратор:" + std::string(messages::kNoOwnerPhone);
const std::string kServerQuestion = "ask:конфигуратор:" + std::string(messages::kNoServer);

// The pages as they stand after start-up with a phone typed in.
SettingsPage defaultsPage(const std::string& phone = "+79001234567") {
    SettingsRecord record;
    record.RestoreDefaults("");
    SettingsPage page;
    ShowRecord(record, page);
    page.Edit1 = phone;
    return page;
}

TEST(CollectRecord, DefaultsCollectBackToTheDefaults) {
    SettingsRecord expected;
    expected.RestoreDefaults("+79001234567");
    expected.setText(SlotId::ConstantSlotB, "1");

    SettingsRecord record;
    record.RestoreDefaults("");  // the additional server's slots stay as they were while it is off
    record.setText(SlotId::TimeZone, "9");
    ScriptedDialogs dialogs;
    ASSERT_TRUE(CollectRecord(defaultsPage(), record, dialogs));
    EXPECT_TRUE(dialogs.calls.empty());
    for (std::size_t i = 0; i < kSlotCount; ++i) {
        const auto slot = static_cast<SlotId>(i);
        EXPECT_EQ(record.text(slot), expected.text(slot)) << slotName(slot);
    }
}

TEST(CollectRecord, MissingPhoneIsAskedAbout) {
    SettingsRecord record;
    record.setText(SlotId::DevicePin, "9999");
    ScriptedDialogs no;
    no.answers = {false};
    EXPECT_FALSE(CollectRecord(defaultsPage(""), record, no));
    EXPECT_EQ(no.calls, (std::vector<std::string>{"section:1", kPhoneQuestion}));
    EXPECT_EQ(record.text(SlotId::DevicePin), "9999") << "nothing after the refusal is touched";

    ScriptedDialogs yes;
    yes.answers = {true};
    EXPECT_TRUE(CollectRecord(defaultsPage(""), record, yes));
    EXPECT_EQ(record.text(SlotId::OwnerPhone), "00000");
    EXPECT_FALSE(yes.unexpected);

    // Reading the marker back leaves the phone field as the user had it.
    SettingsPage page = defaultsPage("+7123");
    ShowRecord(record, page);
    EXPECT_EQ(page.Edit1, "+7123");
}

TEST(CollectRecord, PinMustHaveFourDigits) {
    SettingsRecord record;
    SettingsPage page = defaultsPage();
    page.Edit2 = "";
    ScriptedDialogs empty;
    EXPECT_FALSE(CollectRecord(page, record, empty));
    EXPECT_EQ(empty.calls, (std::vector<std::string>{
                               "page:0", "notify:конфигуратор:Вы не задали PIN-код устройства"}));
    EXPECT_EQ(record.text(SlotId::OwnerPhone), "+79001234567") << "the phone was already collected";

    page.Edit2 = "123";
    ScriptedDialogs shortPin;
    EXPECT_FALSE(CollectRecord(page, record, shortPin));
    EXPECT_EQ(shortPin.calls,
              (std::vector<std::string>{
                  "page:0",
                  "notify:конфигуратор:PIN-код устройства должен состоять из четырех цифр"}));

    page.Edit2 = "0123";
    ScriptedDialogs fine;
    EXPECT_TRUE(CollectRecord(page, record, fine));
    EXPECT_EQ(record.text(SlotId::DevicePin), "0123");
}

TEST(CollectRecord, MissingServerIsAskedAbout) {
    SettingsRecord record;
    record.RestoreDefaults("");
    SettingsPage page = defaultsPage();
    page.Edit8 = "";
    page.ComboBox1 = 0;

    ScriptedDialogs no;
    no.answers = {false};
    EXPECT_FALSE(CollectRecord(page, record, no));
    EXPECT_EQ(no.calls, (std::vector<std::string>{"section:2", kServerQuestion}));
    EXPECT_EQ(record.text(SlotId::ServerHost), "");
    EXPECT_EQ(record.text(SlotId::ServerPort), "");
    EXPECT_EQ(record.text(SlotId::TimeZone), "-12") << "earlier slots keep their collected texts";
    EXPECT_EQ(record.text(SlotId::WialonEnabled), "0") << "later slots are untouched";

    record.setText(SlotId::WialonEnabled, "x");
    ScriptedDialogs yes;
    yes.answers = {true};
    EXPECT_TRUE(CollectRecord(page, record, yes));
    EXPECT_EQ(record.text(SlotId::ServerHost), "");
    EXPECT_EQ(record.text(SlotId::ServerPort), "");
    EXPECT_EQ(record.text(SlotId::WialonEnabled), "0");
}

TEST(CollectRecord, AdditionalServer) {
    SettingsRecord record;
    record.RestoreDefaults("");
    record.setText(SlotId::WialonEnabled, "1");
    record.setText(SlotId::WialonPort, "1111");
    record.setText(SlotId::WialonPassword, "secret");
    SettingsPage page = defaultsPage();
    ShowRecord(record, page);
    page.Edit1 = "+7";
    ASSERT_TRUE(page.CheckBox3);

    page.Edit9 = "";
    ScriptedDialogs missing;
    EXPECT_FALSE(CollectRecord(page, record, missing));
    EXPECT_EQ(missing.calls,
              (std::vector<std::string>{"section:2", "notify:Конфигуратор:" +
                                                         std::string(messages::kNoWialonServer)}));

    page.Edit9 = "20332";
    page.Edit10 = "";
    ScriptedDialogs on;
    ASSERT_TRUE(CollectRecord(page, record, on));
    EXPECT_EQ(record.text(SlotId::WialonEnabled), "1");
    EXPECT_EQ(record.text(SlotId::WialonPort), "20332");
    EXPECT_EQ(record.text(SlotId::WialonPassword), "");

    // Switching it off keeps the address for next time.
    record.setText(SlotId::WialonPassword, "secret");
    page.CheckBox3 = false;
    page.Edit5 = "";
    ScriptedDialogs off;
    ASSERT_TRUE(CollectRecord(page, record, off));
    EXPECT_EQ(record.text(SlotId::WialonEnabled), "0");
    EXPECT_EQ(record.text(SlotId::WialonHost), kDefaultWialonHost);
    EXPECT_EQ(record.text(SlotId::WialonPassword), "secret");
}

TEST(CollectRecord, BalanceCode) {
    SettingsRecord record;
    SettingsPage page = defaultsPage();
    page.RadioButton6 = false;
    page.RadioButton7 = true;
    page.Edit4 = "";
    ScriptedDialogs missing;
    EXPECT_FALSE(CollectRecord(page, record, missing));
    EXPECT_EQ(missing.calls, (std::vector<std::string>{
                                 "notify:конфигуратор:Вы не указали код запроса баланса"}));
    EXPECT_EQ(record.text(SlotId::BalanceThreshold), "50");
    EXPECT_EQ(record.text(SlotId::ConstantSlotB), "");

    page.Edit4 = "*баланс#";
    ScriptedDialogs given;
    ASSERT_TRUE(CollectRecord(page, record, given));
    EXPECT_EQ(record.text(SlotId::BalanceCode), "*\xE1\xE0\xEB\xE0\xED\xF1#");
}

TEST(CollectRecord, NonIntegerFieldsStopTheCommand) {
    SettingsPage page = defaultsPage();
    page.ComboBox15 = 7;
    page.Edit6 = "";
    SettingsRecord record;
    ScriptedDialogs dialogs;
    try {
        CollectRecord(page, record, dialogs);
        FAIL() << "an empty diameter must not convert";
    } catch (const IntegerConversionError& error) {
        EXPECT_STREQ(error.what(), "'' is not a valid integer value");
    }
    EXPECT_EQ(record.text(SlotId::MotionDuration), "7");
    EXPECT_EQ(record.text(SlotId::ZoneControl), "");
    EXPECT_EQ(record.text(SlotId::BalanceThreshold), "");

    page.Edit6 = "5";
    page.Edit3 = "сто";
    record.setText(SlotId::BalanceThreshold, "77");
    try {
        CollectRecord(page, record, dialogs);
        FAIL() << "letters must not convert";
    } catch (const IntegerConversionError& error) {
        EXPECT_STREQ(error.what(), "'сто' is not a valid integer value");
        EXPECT_EQ(error.fieldText(), "сто");
    }
    EXPECT_EQ(record.text(SlotId::ZoneControl), "0 005");
    EXPECT_EQ(record.text(SlotId::BalanceThreshold), "");
    EXPECT_EQ(record.text(SlotId::BalanceCode), "");
    EXPECT_TRUE(dialogs.calls.empty());

    page.Edit3 = "-1";
    EXPECT_TRUE(CollectRecord(page, record, dialogs));
    EXPECT_EQ(record.text(SlotId::BalanceThreshold), "-1");
}

TEST(CollectRecord, ListsAndChoicesBecomeSlotTexts) {
    SettingsPage page = defaultsPage();
    page.ComboBox1 = 26;
    page.ComboBox2 = 7;
    page.ComboBox3 = 5;
    page.RadioButton13 = false;
    page.RadioButton12 = true;
    page.ComboBox19 = -1;  // typed into
    page.RadioButton3 = false;
    page.RadioButton5 = true;
    page.ComboBox16 = 30;
    page.RadioButton8 = false;
    page.RadioButton11 = true;
    page.ComboBox13 = 94;
    page.CheckBox2 = false;
    page.ComboBox14 = 39;
    page.ComboBox15 = 40;
    page.ComboBox18 = 2;
    page.Edit6 = "7";

    SettingsRecord record;
    record.setText(SlotId::ConstantSlotB, "ABCDEFGH");
    record.setText(SlotId::ConstantSlotA, "9");
    ScriptedDialogs dialogs;
    ASSERT_TRUE(CollectRecord(page, record, dialogs));
    EXPECT_EQ(record.text(SlotId::TimeZone), "14");
    EXPECT_EQ(record.text(SlotId::ContactTime), "0705");
    EXPECT_EQ(record.text(SlotId::CoordFormat), "2");
    EXPECT_EQ(record.text(SlotId::DeliveryMode), "-1");
    EXPECT_EQ(record.text(SlotId::WakeInterval), "3");
    EXPECT_EQ(record.text(SlotId::ConstantSlotA), "1");
    EXPECT_EQ(record.text(SlotId::FixPeriodDays), "30");
    EXPECT_EQ(record.text(SlotId::MotionMode), "3");
    EXPECT_EQ(record.text(SlotId::GuardIntervals), "2300070010001700");
    EXPECT_EQ(record.text(SlotId::MotionTimeout), "99");
    EXPECT_EQ(record.text(SlotId::FalseAlarmGuard), "0");
    EXPECT_EQ(record.text(SlotId::MotionAmplitude), "40");
    EXPECT_EQ(record.text(SlotId::MotionDuration), "40");
    EXPECT_EQ(record.text(SlotId::ZoneControl), "2 007");
    const auto& constantB = record.bytes(SlotId::ConstantSlotB);
    EXPECT_EQ(constantB[0], '1');
    EXPECT_EQ(constantB[1], 0);
    EXPECT_EQ(constantB[2], 'C') << "only the first two bytes are written over";

    // The collected record shows the same choices again.
    SettingsPage shown;
    ShowRecord(record, shown);
    EXPECT_EQ(shown.ComboBox1, 26);
    EXPECT_EQ(shown.ComboBox13, 94);
    EXPECT_EQ(shown.ComboBox18, 2);
    EXPECT_EQ(shown.Edit6, "7");
    EXPECT_TRUE(shown.RadioButton12);
    EXPECT_TRUE(shown.RadioButton11);
    EXPECT_TRUE(shown.RadioButton5);

    page.ComboBox13 = 0;
    page.ComboBox1 = 0;
    ASSERT_TRUE(CollectRecord(page, record, dialogs));
    EXPECT_EQ(record.text(SlotId::MotionTimeout), "5");
    EXPECT_EQ(record.text(SlotId::TimeZone), "-12");
}

TEST(CollectRecord, LongTextsAreCutToTheSlot) {
    SettingsPage page = defaultsPage(std::string(40, '7'));
    page.Edit7 = std::string(20, 'a') + "ёёёёёёёёёёёёёёё";  // 35 characters
    SettingsRecord record;
    ScriptedDialogs dialogs;
    ASSERT_TRUE(CollectRecord(page, record, dialogs));
    EXPECT_EQ(record.text(SlotId::OwnerPhone), std::string(31, '7'));
    EXPECT_EQ(record.text(SlotId::ServerHost), std::string(20, 'a') + std::string(11, '\xB8'));
    EXPECT_EQ(record.text(SlotId::ServerPort), "23351");
}

}  // namespace
}  // namespace orsa::settings
