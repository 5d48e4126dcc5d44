#include "settings/ShowRecord.h"

#include <gtest/gtest.h>

#include "settings/KeyFilter.h"
#include "settings/SettingsPageItems.h"

namespace orsa::settings {
namespace {

std::string itemOf(int comboBox, int index) {
  const auto items = comboBoxItems(comboBox);
  return index >= 0 && static_cast<std::size_t>(index) < items.size() ? items[static_cast<std::size_t>(index)]
                                                                      : "<none>";
}

TEST(ShowRecord, EmptyRecordReadsAsZeros) {
  SettingsRecord record;
  SettingsPage page;
  page.RadioButton3 = false;
  page.RadioButton4 = true;
  ShowRecord(record, page);
  EXPECT_EQ(itemOf(1, page.ComboBox1), "UTC (00:00)");
  EXPECT_EQ(page.ComboBox19Text, "Выключено");
  EXPECT_TRUE(page.RadioButton1);
  EXPECT_TRUE(page.RadioButton4) << "wake interval 0 has no button, the group stays";
  EXPECT_EQ(page.ComboBox13, -1);
  EXPECT_EQ(page.Edit3, "0");
  EXPECT_TRUE(page.RadioButton7) << "an empty balance code is an explicit one";
  EXPECT_TRUE(page.Edit4Enabled);
}

TEST(ShowRecord, MarkersAndNumbersOutsideTheLists) {
  SettingsRecord record;
  record.RestoreDefaults("00000");
  record.setText(SlotId::DevicePin, "00000");
  record.setText(SlotId::TimeZone, "-12");
  record.setText(SlotId::CoordFormat, "2");
  record.setText(SlotId::DeliveryMode, "7");
  record.setText(SlotId::MotionMode, "4");
  record.setText(SlotId::MotionTimeout, "60");
  record.setText(SlotId::GuardIntervals, "2461");
  record.setText(SlotId::BalanceCode, "*\xE1\xE0\xEB#");
  record.setText(SlotId::DeviceImei, "356938035643809");

  SettingsPage page;
  page.Edit1 = "+7999";
  page.Edit2 = "1234";
  page.RadioButton13 = true;
  page.RadioButton8 = false;
  page.RadioButton10 = true;
  ShowRecord(record, page);
  EXPECT_EQ(page.Edit1, "+7999");
  EXPECT_EQ(page.Edit2, "1234");
  EXPECT_EQ(itemOf(1, page.ComboBox1), "UTC (-12:00)");
  EXPECT_TRUE(page.RadioButton12);
  EXPECT_FALSE(page.RadioButton13) << "checking one radio button unchecks the rest of its group";
  EXPECT_EQ(page.ComboBox19, -1);
  EXPECT_EQ(page.ComboBox19Text, "");
  EXPECT_TRUE(page.RadioButton10);
  EXPECT_EQ(itemOf(13, page.ComboBox13), "60");
  EXPECT_EQ((std::array{page.ComboBox4, page.ComboBox5, page.ComboBox6}), (std::array{-1, -1, 0}));
  EXPECT_EQ(page.Edit4, "*бал#");
  EXPECT_FALSE(page.RadioButton6);
  EXPECT_EQ(page.Label19, "356938035643809");

  for (const char* zone : {"15", "2147483647", "-2147483648"}) {
    record.setText(SlotId::TimeZone, zone);
    ShowRecord(record, page);
    EXPECT_EQ(page.ComboBox1, -1) << zone;
  }
}

TEST(SettingsPageItems, ListsAndKeyFilters) {
  const std::pair<int, std::size_t> sizes[] = {{1, 27},  {2, 24},  {3, 60}, {13, 95}, {14, 40},
                                               {15, 41}, {16, 31}, {18, 4}, {19, 5},  {12, 0}};
  for (const auto& [list, size] : sizes) {
    EXPECT_EQ(comboBoxItems(list).size(), size) << "ComboBox" << list;
  }
  EXPECT_EQ(itemOf(1, 15), "UTC (+03:00) (Москва  )");
  EXPECT_EQ(itemOf(1, 26), "UTC (+14:00)");
  EXPECT_EQ(itemOf(15, 0), "0    сек (Максимальная чувствительность)");
  EXPECT_EQ(itemOf(15, 5), "0,5 сек (Заводское значение)");
  EXPECT_EQ(itemOf(15, 40), "4    сек (Минимальная чувствительность)");
  EXPECT_EQ(itemOf(19, 3), "SMS + Сервер (ORSA)");

  for (FilteredField field : {FilteredField::Edit1, FilteredField::Edit2, FilteredField::Edit6, FilteredField::Edit8}) {
    EXPECT_TRUE(acceptsKey(field, U'0') && acceptsKey(field, U'9') && acceptsKey(field, U'\b'));
    EXPECT_FALSE(acceptsKey(field, U'a') || acceptsKey(field, U'-') || acceptsKey(field, U'٣'));
    EXPECT_EQ(acceptsKey(field, U'+'), field == FilteredField::Edit1);
  }

  // A change is judged by what it brings in, so what the beacon or a file put there stays
  // editable: a five-digit PIN may be shortened or have a digit replaced, not lengthened.
  EXPECT_TRUE(acceptsEdit(FilteredField::Edit2, U"", U"1234"));
  EXPECT_FALSE(acceptsEdit(FilteredField::Edit2, U"", U"12345"));
  EXPECT_FALSE(acceptsEdit(FilteredField::Edit2, U"12", U"1\b2"));
  EXPECT_TRUE(acceptsEdit(FilteredField::Edit2, U"65535", U"6553"));
  EXPECT_TRUE(acceptsEdit(FilteredField::Edit2, U"65535", U"65545"));
  EXPECT_FALSE(acceptsEdit(FilteredField::Edit2, U"65535", U"655355"));
  EXPECT_TRUE(acceptsEdit(FilteredField::Edit6, U"-12", U"-1"));
  EXPECT_FALSE(acceptsEdit(FilteredField::Edit6, U"-1", U"--1"));
  EXPECT_FALSE(acceptsEdit(FilteredField::Edit6, U"1-", U"1--"));
  EXPECT_TRUE(acceptsEdit(FilteredField::Edit1, U"+7916", U"+79161"));
  EXPECT_FALSE(acceptsEdit(FilteredField::Edit1, U"+7916", U"+7 916"));
}

}  // namespace
}  // namespace orsa::settings
