#pragma once

#include <string>

#include "settings/SettingsDefaults.h"

namespace orsa::settings {

// The state of the settings controls on the main window's pages, named after the controls. Texts
// are UTF-8 as the screen shows them; a list's value is its selected index (-1: no selection).
// The initial values are the controls' state when the window is built, before the defaults are
// put onto the pages.
struct SettingsPage {
  // Page 0: owner's phone and PIN.
  std::string Edit1;
  std::string Edit2 = "5820";

  // Page 1: time zone, main contact time, coordinate format, delivery, additional server.
  int ComboBox1 = 15;  // "UTC (+03:00) (Москва  )"
  int ComboBox2 = 12;  // hours
  int ComboBox3 = 0;   // minutes
  bool RadioButton1 = false;
  bool RadioButton2 = false;
  bool RadioButton12 = false;
  bool RadioButton13 = false;
  int ComboBox19 = -1;  // an editable list: typing leaves no selection
  std::string ComboBox19Text = "SMS";
  std::string Edit7 = std::string(kDefaultServerHost);
  std::string Edit8 = std::string(kDefaultServerPort);
  bool CheckBox3 = false;
  std::string Edit5 = std::string(kDefaultWialonHost);
  std::string Edit9;
  std::string Edit10;

  // Page 2: fix period and contact frequency.
  int ComboBox16 = -1;
  bool RadioButton3 = true;
  bool RadioButton4 = false;
  bool RadioButton5 = false;

  // Page 3: motion sensor mode and the two guard intervals.
  bool RadioButton8 = true;
  bool RadioButton9 = false;
  bool RadioButton10 = false;
  bool RadioButton11 = false;
  int ComboBox4 = 23;
  int ComboBox5 = 0;
  int ComboBox6 = 7;
  int ComboBox7 = 0;
  int ComboBox8 = 10;
  int ComboBox9 = 0;
  int ComboBox10 = 17;
  int ComboBox11 = 0;

  // Page 4: motion sensor tuning.
  int ComboBox13 = 0;  // "5"
  bool CheckBox2 = false;
  int ComboBox14 = -1;
  int ComboBox15 = -1;

  // Page 5: guard-zone control.
  int ComboBox18 = -1;
  std::string Edit6 = "1";

  // Page 6: account balance.
  std::string Edit3 = "50";
  bool RadioButton6 = true;
  bool RadioButton7 = false;
  std::string Edit4;
  bool Edit4Enabled = true;

  // Page 7: device information.
  std::string Label19;

  bool operator==(const SettingsPage&) const = default;
};

}  // namespace orsa::settings
