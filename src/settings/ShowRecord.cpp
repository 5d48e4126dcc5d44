#include "settings/ShowRecord.h"

#include <array>
#include <functional>
#include <string>

#include "settings/Cp1251.h"
#include "settings/NumberText.h"
#include "settings/SettingsDefaults.h"
#include "settings/SettingsPageItems.h"
#include "settings/SlotFields.h"

namespace orsa::settings {

namespace {

// The index a list shows when asked for `item`; slot numbers may be anything, so the arithmetic
// is done wide.
int selectable(int comboBoxNumber, long long item) {
  const auto count = static_cast<long long>(comboBoxItems(comboBoxNumber).size());
  return (item >= 0 && item < count) ? static_cast<int>(item) : -1;
}

// Checking one radio button of a group unchecks the others, as a group box does.
void checkOneOf(int number, std::initializer_list<std::reference_wrapper<bool>> group) {
  if (number < 0 || number >= static_cast<int>(group.size())) {
    return;
  }
  int index = 0;
  for (bool& button : group) {
    button = index == number;
    ++index;
  }
}

}  // namespace

void ShowRecord(const SettingsRecord& record, SettingsPage& page) {
  const auto text = [&](SlotId slot) { return Cp1251::toUtf8(record.text(slot)); };
  const auto number = [&](SlotId slot) { return static_cast<long long>(record.number(slot)); };

  if (record.text(SlotId::OwnerPhone) != kNotSetMarker) {
    page.Edit1 = text(SlotId::OwnerPhone);
  }
  if (record.text(SlotId::DevicePin) != kNotSetMarker) {
    page.Edit2 = text(SlotId::DevicePin);
  }
  page.ComboBox1 = selectable(1, number(SlotId::TimeZone) + 12);

  const ContactTimeFields contact = readContactTime(record);
  page.ComboBox2 = selectable(2, contact.hour);
  page.ComboBox3 = selectable(3, contact.minute);

  checkOneOf(static_cast<int>(number(SlotId::CoordFormat)),
             {page.RadioButton1, page.RadioButton2, page.RadioButton12, page.RadioButton13});

  page.ComboBox19 = selectable(19, number(SlotId::DeliveryMode));
  page.ComboBox19Text =
      page.ComboBox19 < 0 ? std::string() : comboBoxItems(19)[static_cast<std::size_t>(page.ComboBox19)];

  page.Edit7 = text(SlotId::ServerHost);
  page.Edit8 = text(SlotId::ServerPort);
  page.CheckBox3 = record.text(SlotId::WialonEnabled) == "1";
  page.Edit5 = text(SlotId::WialonHost);
  page.Edit9 = text(SlotId::WialonPort);
  page.Edit10 = text(SlotId::WialonPassword);

  checkOneOf(static_cast<int>(number(SlotId::WakeInterval) - 1),
             {page.RadioButton3, page.RadioButton4, page.RadioButton5});
  page.ComboBox16 = selectable(16, number(SlotId::FixPeriodDays));
  checkOneOf(static_cast<int>(number(SlotId::MotionMode)),
             {page.RadioButton8, page.RadioButton9, page.RadioButton10, page.RadioButton11});

  const std::array<int, 8> guard = readGuardIntervals(record);
  const std::array<int*, 8> guardLists = {&page.ComboBox4, &page.ComboBox5, &page.ComboBox6,  &page.ComboBox7,
                                          &page.ComboBox8, &page.ComboBox9, &page.ComboBox10, &page.ComboBox11};
  for (std::size_t i = 0; i < guardLists.size(); ++i) {
    *guardLists[i] = selectable(4 + static_cast<int>(i), guard[i]);
  }

  page.ComboBox13 = selectable(13, number(SlotId::MotionTimeout) - 5);
  page.CheckBox2 = number(SlotId::FalseAlarmGuard) == 1;
  page.ComboBox14 = selectable(14, number(SlotId::MotionAmplitude) - 1);
  page.ComboBox15 = selectable(15, number(SlotId::MotionDuration));

  const ZoneControlFields zone = readZoneControl(record);
  page.ComboBox18 = selectable(18, zone.mode);
  page.Edit6 = NumberText::decimal(zone.diameter);

  page.Edit3 = NumberText::decimal(number(SlotId::BalanceThreshold));

  if (record.text(SlotId::BalanceCode) == kNotSetMarker) {
    page.RadioButton6 = true;
    page.RadioButton7 = false;
    page.Edit4.clear();
    page.Edit4Enabled = false;
  } else {
    page.RadioButton6 = false;
    page.RadioButton7 = true;
    page.Edit4 = text(SlotId::BalanceCode);
    page.Edit4Enabled = true;
  }

  page.Label19 = text(SlotId::DeviceImei);
}

}  // namespace orsa::settings
