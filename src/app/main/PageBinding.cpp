#include "PageBinding.h"

#include "FindControl.h"
#include "KeyFilter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QWidget>

namespace orsa::app {
namespace {

std::string text(QWidget& form, const char* name) { return control<QLineEdit>(form, name)->text().toStdString(); }

// The page model's values come from the beacon, a file or the defaults; the
// fields show them as they are, whatever the user could type there.
void setText(QWidget& form, const char* name, const std::string& value) {
  KeyFilter::showUnfiltered(control<QLineEdit>(form, name), QString::fromStdString(value));
}

int index(QWidget& form, const char* name) { return control<QComboBox>(form, name)->currentIndex(); }

void setIndex(QWidget& form, const char* name, int value) {
  QComboBox* combo = control<QComboBox>(form, name);
  combo->setCurrentIndex(value < combo->count() ? value : -1);
}

bool checked(QWidget& form, const char* name) { return control<QAbstractButton>(form, name)->isChecked(); }

void setChecked(QWidget& form, const char* name, bool on) {
  auto* button = control<QAbstractButton>(form, name);
  if (button->isChecked() == on) {
    return;
  }
  // An exclusive radio button cannot be cleared directly; the model may
  // still ask for a group without a choice.
  const bool exclusive = button->autoExclusive();
  button->setAutoExclusive(false);
  button->setChecked(on);
  button->setAutoExclusive(exclusive);
}

}  // namespace

settings::SettingsPage PageBinding::read() const {
  QWidget& f = form_;
  settings::SettingsPage p;
  p.Edit1 = text(f, "Edit1");
  p.Edit2 = text(f, "Edit2");
  p.ComboBox1 = index(f, "ComboBox1");
  p.ComboBox2 = index(f, "ComboBox2");
  p.ComboBox3 = index(f, "ComboBox3");
  p.RadioButton1 = checked(f, "RadioButton1");
  p.RadioButton2 = checked(f, "RadioButton2");
  p.RadioButton12 = checked(f, "RadioButton12");
  p.RadioButton13 = checked(f, "RadioButton13");
  // Text typed into the editable list counts as no selection, even when it
  // happens to spell an item.
  const QComboBox* mode = control<QComboBox>(f, "ComboBox19");
  const int selected = mode->currentIndex();
  p.ComboBox19 = selected >= 0 && mode->currentText() == mode->itemText(selected) ? selected : -1;
  p.ComboBox19Text = mode->currentText().toStdString();
  p.Edit7 = text(f, "Edit7");
  p.Edit8 = text(f, "Edit8");
  p.CheckBox3 = checked(f, "CheckBox3");
  p.Edit5 = text(f, "Edit5");
  p.Edit9 = text(f, "Edit9");
  p.Edit10 = text(f, "Edit10");
  p.ComboBox16 = index(f, "ComboBox16");
  p.RadioButton3 = checked(f, "RadioButton3");
  p.RadioButton4 = checked(f, "RadioButton4");
  p.RadioButton5 = checked(f, "RadioButton5");
  p.RadioButton8 = checked(f, "RadioButton8");
  p.RadioButton9 = checked(f, "RadioButton9");
  p.RadioButton10 = checked(f, "RadioButton10");
  p.RadioButton11 = checked(f, "RadioButton11");
  p.ComboBox4 = index(f, "ComboBox4");
  p.ComboBox5 = index(f, "ComboBox5");
  p.ComboBox6 = index(f, "ComboBox6");
  p.ComboBox7 = index(f, "ComboBox7");
  p.ComboBox8 = index(f, "ComboBox8");
  p.ComboBox9 = index(f, "ComboBox9");
  p.ComboBox10 = index(f, "ComboBox10");
  p.ComboBox11 = index(f, "ComboBox11");
  p.ComboBox13 = index(f, "ComboBox13");
  p.CheckBox2 = checked(f, "CheckBox2");
  p.ComboBox14 = index(f, "ComboBox14");
  p.ComboBox15 = index(f, "ComboBox15");
  p.ComboBox18 = index(f, "ComboBox18");
  p.Edit6 = text(f, "Edit6");
  p.Edit3 = text(f, "Edit3");
  p.RadioButton6 = checked(f, "RadioButton6");
  p.RadioButton7 = checked(f, "RadioButton7");
  p.Edit4 = text(f, "Edit4");
  p.Edit4Enabled = control<QLineEdit>(f, "Edit4")->isEnabled();
  p.Label19 = control<QLabel>(f, "Label19")->text().toStdString();
  return p;
}

void PageBinding::write(const settings::SettingsPage& p) const {
  QWidget& f = form_;
  setText(f, "Edit1", p.Edit1);
  setText(f, "Edit2", p.Edit2);
  setIndex(f, "ComboBox1", p.ComboBox1);
  setIndex(f, "ComboBox2", p.ComboBox2);
  setIndex(f, "ComboBox3", p.ComboBox3);
  setChecked(f, "RadioButton1", p.RadioButton1);
  setChecked(f, "RadioButton2", p.RadioButton2);
  setChecked(f, "RadioButton12", p.RadioButton12);
  setChecked(f, "RadioButton13", p.RadioButton13);
  setIndex(f, "ComboBox19", p.ComboBox19);
  control<QComboBox>(f, "ComboBox19")->setEditText(QString::fromStdString(p.ComboBox19Text));
  setText(f, "Edit7", p.Edit7);
  setText(f, "Edit8", p.Edit8);
  setChecked(f, "CheckBox3", p.CheckBox3);
  setText(f, "Edit5", p.Edit5);
  setText(f, "Edit9", p.Edit9);
  setText(f, "Edit10", p.Edit10);
  setIndex(f, "ComboBox16", p.ComboBox16);
  setChecked(f, "RadioButton3", p.RadioButton3);
  setChecked(f, "RadioButton4", p.RadioButton4);
  setChecked(f, "RadioButton5", p.RadioButton5);
  setChecked(f, "RadioButton8", p.RadioButton8);
  setChecked(f, "RadioButton9", p.RadioButton9);
  setChecked(f, "RadioButton10", p.RadioButton10);
  setChecked(f, "RadioButton11", p.RadioButton11);
  setIndex(f, "ComboBox4", p.ComboBox4);
  setIndex(f, "ComboBox5", p.ComboBox5);
  setIndex(f, "ComboBox6", p.ComboBox6);
  setIndex(f, "ComboBox7", p.ComboBox7);
  setIndex(f, "ComboBox8", p.ComboBox8);
  setIndex(f, "ComboBox9", p.ComboBox9);
  setIndex(f, "ComboBox10", p.ComboBox10);
  setIndex(f, "ComboBox11", p.ComboBox11);
  setIndex(f, "ComboBox13", p.ComboBox13);
  setChecked(f, "CheckBox2", p.CheckBox2);
  setIndex(f, "ComboBox14", p.ComboBox14);
  setIndex(f, "ComboBox15", p.ComboBox15);
  setIndex(f, "ComboBox18", p.ComboBox18);
  setText(f, "Edit6", p.Edit6);
  setText(f, "Edit3", p.Edit3);
  setChecked(f, "RadioButton6", p.RadioButton6);
  setChecked(f, "RadioButton7", p.RadioButton7);
  setText(f, "Edit4", p.Edit4);
  // After the radio buttons, whose toggling also switches the field.
  control<QLineEdit>(f, "Edit4")->setEnabled(p.Edit4Enabled);
  control<QLabel>(f, "Label19")->setText(QString::fromStdString(p.Label19));
}

}  // namespace orsa::app
