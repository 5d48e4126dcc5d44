#include "settings/ShowRecord.h"

#include <gtest/gtest.h>

#include "settings/KeyFilter.h"
#include "settings/SettingsPageItems.h"

namespace orsa::settings {
namespace {

std::string itemOf(int comboBox, int index) {
    const auto items = comboBoxItems(comboBox);
    if (index < 0 || static_cast<std::size_t>(index) >= items.size()) {
        return "<none>";
    }
    return items[static_cast<std::size_t>(index)];
}

TEST(ShowRecord, DefaultsSetEveryMappedControl) {
    SettingsRecord record;
    record.RestoreDefaults("+79001234567");
    SettingsPage page;
    page.Edit4 = "stale";
    page.RadioButton1 = true;
    ShowRecord(record, page);

    EXPECT_EQ(page.Edit1, "+79001234567");
    EXPECT_EQ(page.Edit2, "5820");
    EXPECT_EQ(itemOf(1, page.ComboBox1), "UTC (+03:00) (Москва  )");
    EXPECT_EQ(itemOf(2, page.ComboBox2), "12");
    EXPECT_EQ(itemOf(3, page.ComboBox3), "00");
    EXPECT_FALSE(page.RadioButton1) << "checking one radio button unchecks its group";
    EXPECT_TRUE(page.RadioButton13);
    EXPECT_EQ(page.ComboBox19, 3);
    EXPECT_EQ(page.ComboBox19Text, "SMS + Сервер (ORSA)");
    EXPECT_EQ(page.Edit7, kDefaultServerHost);
    EXPECT_EQ(page.Edit8, "23351");
    EXPECT_FALSE(page.CheckBox3);
    EXPECT_EQ(page.Edit5, kDefaultWialonHost);
    EXPECT_EQ(page.Edit9, "20332");
    EXPECT_EQ(page.Edit10, "");
    EXPECT_TRUE(page.RadioButton3);
    EXPECT_EQ(itemOf(16, page.ComboBox16), "Каждый день");
    EXPECT_TRUE(page.RadioButton8);
    EXPECT_EQ((std::array{page.ComboBox4, page.ComboBox5, page.ComboBox6, page.ComboBox7,
                          page.ComboBox8, page.ComboBox9, page.ComboBox10, page.ComboBox11}),
              (std::array{23, 0, 7, 0, 10, 0, 17, 0}));
    EXPECT_EQ(itemOf(13, page.ComboBox13), "5");
    EXPECT_TRUE(page.CheckBox2);
    EXPECT_EQ(itemOf(14, page.ComboBox14), "20");
    EXPECT_EQ(itemOf(15, page.ComboBox15), "0    сек (Максимальная чувствительность)");
    EXPECT_EQ(itemOf(18, page.ComboBox18), "Контроль отключен");
    EXPECT_EQ(page.Edit6, "1");
    EXPECT_EQ(page.Edit3, "50");
    EXPECT_TRUE(page.RadioButton6);
    EXPECT_FALSE(page.RadioButton7);
    EXPECT_EQ(page.Edit4, "");
    EXPECT_FALSE(page.Edit4Enabled);
    EXPECT_EQ(page.Label19, "");
}

TEST(ShowRecord, EmptyRecordReadsAsZeros) {
    SettingsRecord record;
    SettingsPage page;
    page.Edit1 = "+7900";
    page.RadioButton4 = true;
    page.RadioButton3 = false;
    ShowRecord(record, page);
    EXPECT_EQ(page.Edit1, "") << "an empty phone is not the not-set marker";
    EXPECT_EQ(itemOf(1, page.ComboBox1), "UTC (00:00)");
    EXPECT_EQ(itemOf(19, page.ComboBox19), "Выключено");
    EXPECT_EQ(page.ComboBox19Text, "Выключено");
    EXPECT_TRUE(page.RadioButton1);
    EXPECT_TRUE(page.RadioButton4) << "wake interval 0 has no button, the group stays";
    EXPECT_EQ(page.ComboBox13, -1);
    EXPECT_EQ(page.ComboBox14, -1);
    EXPECT_EQ(page.Edit6, "0");
    EXPECT_EQ(page.Edit3, "0");
    EXPECT_TRUE(page.RadioButton7) << "an empty balance code is an explicit one";
    EXPECT_TRUE(page.Edit4Enabled);
}

TEST(ShowRecord, MarkersAndOutOfRangeNumbers) {
    SettingsRecord record;
    record.RestoreDefaults("00000");
    record.setText(SlotId::DevicePin, "00000");
    record.setText(SlotId::TimeZone, "15");
    record.setText(SlotId::DeliveryMode, "7");
    record.setText(SlotId::MotionMode, "4");
    record.setText(SlotId::MotionTimeout, "60");
    record.setText(SlotId::ZoneControl, "2 007");
    record.setText(SlotId::WialonEnabled, "1");
    record.setText(SlotId::BalanceCode, "*\xE1\xE0\xEB#");
    record.setText(SlotId::DeviceImei, "356938035643809");
    record.setText(SlotId::GuardIntervals, "2461");

    SettingsPage page;
    page.Edit1 = "+7999";
    page.Edit2 = "1234";
    page.RadioButton10 = true;
    page.RadioButton8 = false;
    ShowRecord(record, page);

    EXPECT_EQ(page.Edit1, "+7999");
    EXPECT_EQ(page.Edit2, "1234");
    EXPECT_EQ(page.ComboBox1, -1);
    EXPECT_EQ(page.ComboBox19, -1);
    EXPECT_EQ(page.ComboBox19Text, "");
    EXPECT_TRUE(page.RadioButton10);
    EXPECT_EQ(itemOf(13, page.ComboBox13), "60");
    EXPECT_EQ(itemOf(18, page.ComboBox18), "Режим 2");
    EXPECT_EQ(page.Edit6, "7");
    EXPECT_TRUE(page.CheckBox3);
    EXPECT_TRUE(page.RadioButton7);
    EXPECT_FALSE(page.RadioButton6);
    EXPECT_EQ(page.Edit4, "*бал#");
    EXPECT_EQ(page.Label19, "356938035643809");
    EXPECT_EQ(page.ComboBox4, -1);  // hour 24 is not in the list
    EXPECT_EQ(page.ComboBox5, -1);  // minute 61 neither
    EXPECT_EQ(page.ComboBox6, 0);   // fields the text does not supply are 0

    for (const char* zone : {"-12", "14", "2147483647", "-2147483648"}) {
        record.setText(SlotId::TimeZone, zone);
        ShowRecord(record, page);
        const std::string expected = std::string(zone) == "-12"  ? "UTC (-12:00)"
                                     : std::string(zone) == "14" ? "UTC (+14:00)"
                                                                 : "<none>";
        EXPECT_EQ(itemOf(1, page.ComboBox1), expected) << zone;
    }
}

TEST(SettingsPageItems, ListsHoldTheirItems) {
    EXPECT_EQ(comboBoxItems(1).size(), 27u);
    EXPECT_EQ(comboBoxItems(1)[0], "UTC (-12:00)");
    EXPECT_EQ(comboBoxItems(1)[11], "UTC (-01:00)");
    EXPECT_EQ(comboBoxItems(1)[14], "UTC (+02:00)");
    EXPECT_EQ(comboBoxItems(1)[26], "UTC (+14:00)");
    for (int hours : {2, 4, 6, 8, 10}) {
        EXPECT_EQ(comboBoxItems(hours).size(), 24u);
        EXPECT_EQ(comboBoxItems(hours)[7], "07");
    }
    for (int minutes : {3, 5, 7, 9, 11}) {
        EXPECT_EQ(comboBoxItems(minutes).size(), 60u);
        EXPECT_EQ(comboBoxItems(minutes)[59], "59");
    }
    EXPECT_EQ(comboBoxItems(13).size(), 95u);
    EXPECT_EQ(comboBoxItems(13).back(), "99");
    EXPECT_EQ(comboBoxItems(14).size(), 40u);
    EXPECT_EQ(comboBoxItems(14)[0], "1 (Максимальная чувствительность)");
    EXPECT_EQ(comboBoxItems(14)[39], "40");
    const auto durations = comboBoxItems(15);
    ASSERT_EQ(durations.size(), 41u);
    EXPECT_EQ(durations[5], "0,5 сек (Заводское значение)");
    EXPECT_EQ(durations[10], "1    сек");
    EXPECT_EQ(durations[11], "1,1 сек");
    EXPECT_EQ(durations[40], "4    сек (Минимальная чувствительность)");
    EXPECT_EQ(comboBoxItems(16).size(), 31u);
    EXPECT_EQ(comboBoxItems(16)[30], "30");
    EXPECT_EQ(comboBoxItems(18).size(), 4u);
    const auto delivery = comboBoxItems(19);
    ASSERT_EQ(delivery.size(), 5u);
    EXPECT_EQ(delivery[2], "Сервер (ORSA)");
    EXPECT_EQ(delivery[3], "SMS + Сервер (ORSA)");
    EXPECT_EQ(delivery[4], "");
    EXPECT_TRUE(comboBoxItems(12).empty());
    EXPECT_TRUE(comboBoxItems(17).empty());
    EXPECT_TRUE(comboBoxItems(0).empty());
}

TEST(KeyFilter, DigitsEverywhereAndPlusOnlyInThePhone) {
    for (FilteredField field :
         {FilteredField::Edit1, FilteredField::Edit2, FilteredField::Edit6, FilteredField::Edit8}) {
        for (char32_t digit = U'0'; digit <= U'9'; ++digit) {
            EXPECT_TRUE(acceptsKey(field, digit));
        }
        EXPECT_TRUE(acceptsKey(field, U'\b'));
        for (char32_t refused : {U'a', U'-', U' ', U'٣', U'\r', U'/', U':', U'ж'}) {
            EXPECT_FALSE(acceptsKey(field, refused)) << static_cast<unsigned>(refused);
        }
    }
    EXPECT_TRUE(acceptsKey(FilteredField::Edit1, U'+'));
    EXPECT_FALSE(acceptsKey(FilteredField::Edit2, U'+'));
    EXPECT_FALSE(acceptsKey(FilteredField::Edit6, U'+'));
    EXPECT_FALSE(acceptsKey(FilteredField::Edit8, U'+'));
}

}  // namespace
}  // namespace orsa::settings
