#include "settings/CollectRecord.h"

#include <string>

#include "settings/Cp1251.h"
#include "settings/IntegerConversionError.h"
#include "settings/NumberText.h"
#include "settings/SettingsDefaults.h"
#include "settings/SettingsMessages.h"

namespace orsa::settings {

namespace {

int integerOf(const std::string& fieldText) {
  const std::optional<int> value = NumberText::parseInteger(fieldText);
  if (!value) {
    throw IntegerConversionError(fieldText);
  }
  return *value;
}

// The choice of a radio group as "0", "1", ...; a group with nothing checked leaves the slot empty.
void collectChoice(SettingsRecord& record, SlotId slot, int first, std::initializer_list<bool> group) {
  record.clear(slot);
  int choice = first;
  for (const bool checked : group) {
    if (checked) {
      record.setText(slot, NumberText::decimal(choice));
      return;
    }
    ++choice;
  }
}

std::string str(std::string_view text) { return std::string(text); }

}  // namespace

bool CollectRecord(const SettingsPage& page, SettingsRecord& record, SettingsDialogs& dialogs) {
  std::vector<SlotId> answered;
  return CollectRecord(page, record, dialogs, answered);
}

bool CollectRecord(const SettingsPage& page, SettingsRecord& record, SettingsDialogs& dialogs,
                   std::vector<SlotId>& answered) {
  const auto set = [&](SlotId slot, const std::string& utf8) { record.setText(slot, Cp1251::fromUtf8(utf8)); };
  const auto setNumber = [&](SlotId slot, long long value) { record.setText(slot, NumberText::decimal(value)); };

  // 1. Owner phone.
  if (page.Edit1.empty()) {
    dialogs.showSection(1);
    if (!dialogs.askYesNo(str(messages::kNoOwnerPhone), str(messages::kCheckTitle))) {
      return false;
    }
    record.setText(SlotId::OwnerPhone, kNotSetMarker);
    answered.push_back(SlotId::OwnerPhone);
  } else {
    set(SlotId::OwnerPhone, page.Edit1);
  }

  // 2. PIN. The length is counted in characters as the field shows them.
  if (page.Edit2.empty()) {
    dialogs.showPage(0);
    dialogs.notify(str(messages::kNoPin), str(messages::kCheckTitle));
    return false;
  }
  const std::string pin = Cp1251::fromUtf8(page.Edit2);
  if (pin.size() < 4) {
    dialogs.showPage(0);
    dialogs.notify(str(messages::kPinNotFourDigits), str(messages::kCheckTitle));
    return false;
  }
  record.setText(SlotId::DevicePin, pin);

  // 3-6. Time zone, contact time, coordinate format, delivery mode.
  setNumber(SlotId::TimeZone, static_cast<long long>(page.ComboBox1) - 12);
  record.setText(SlotId::ContactTime, NumberText::twoDigits(page.ComboBox2) + NumberText::twoDigits(page.ComboBox3));
  collectChoice(record, SlotId::CoordFormat, 0,
                {page.RadioButton1, page.RadioButton2, page.RadioButton12, page.RadioButton13});
  setNumber(SlotId::DeliveryMode, page.ComboBox19);

  // 7. Monitoring server.
  record.clear(SlotId::ServerHost);
  record.clear(SlotId::ServerPort);
  if (page.Edit7.empty() || page.Edit8.empty()) {
    dialogs.showSection(2);
    if (!dialogs.askYesNo(str(messages::kNoServer), str(messages::kCheckTitle))) {
      return false;
    }
    answered.insert(answered.end(), {SlotId::ServerHost, SlotId::ServerPort});
  } else {
    set(SlotId::ServerHost, page.Edit7);
    set(SlotId::ServerPort, page.Edit8);
  }

  // 8. Additional server; while it is off its address stays as the beacon had it.
  if (page.CheckBox3) {
    if (page.Edit5.empty() || page.Edit9.empty()) {
      dialogs.showSection(2);
      dialogs.notify(str(messages::kNoWialonServer), str(messages::kWialonCheckTitle));
      return false;
    }
    record.setText(SlotId::WialonEnabled, "1");
    set(SlotId::WialonHost, page.Edit5);
    set(SlotId::WialonPort, page.Edit9);
    set(SlotId::WialonPassword, page.Edit10);
  } else {
    record.setText(SlotId::WialonEnabled, "0");
  }

  // 9-17. Contact frequency and the motion sensor.
  collectChoice(record, SlotId::WakeInterval, 1, {page.RadioButton3, page.RadioButton4, page.RadioButton5});
  record.setText(SlotId::ConstantSlotA, "1");
  setNumber(SlotId::FixPeriodDays, page.ComboBox16);
  collectChoice(record, SlotId::MotionMode, 0,
                {page.RadioButton8, page.RadioButton9, page.RadioButton10, page.RadioButton11});
  std::string guard;
  for (const int index : {page.ComboBox4, page.ComboBox5, page.ComboBox6, page.ComboBox7, page.ComboBox8,
                          page.ComboBox9, page.ComboBox10, page.ComboBox11}) {
    guard += NumberText::twoDigits(index);
  }
  record.setText(SlotId::GuardIntervals, guard);
  setNumber(SlotId::MotionTimeout, static_cast<long long>(page.ComboBox13) + 5);
  setNumber(SlotId::FalseAlarmGuard, page.CheckBox2 ? 1 : 0);
  setNumber(SlotId::MotionAmplitude, static_cast<long long>(page.ComboBox14) + 1);
  setNumber(SlotId::MotionDuration, page.ComboBox15);

  // 18-19. Fields typed as numbers. Each slot is cleared before its text is built, so a
  // non-number ends the command with that slot already empty.
  record.clear(SlotId::ZoneControl);
  const int diameter = integerOf(page.Edit6);
  record.setText(SlotId::ZoneControl, NumberText::decimal(page.ComboBox18) + " " + NumberText::threeDigits(diameter));
  record.clear(SlotId::BalanceThreshold);
  setNumber(SlotId::BalanceThreshold, integerOf(page.Edit3));

  // 20. Balance request code.
  if (page.RadioButton6) {
    record.setText(SlotId::BalanceCode, kNotSetMarker);
  } else if (page.Edit4.empty()) {
    dialogs.notify(str(messages::kNoBalanceCode), str(messages::kCheckTitle));
    return false;
  } else {
    set(SlotId::BalanceCode, page.Edit4);
  }

  // 21. The beacon expects "1" here; the rest of its cell goes back as it came.
  record.overwriteText(SlotId::ConstantSlotB, "1");
  return true;
}

}  // namespace orsa::settings
