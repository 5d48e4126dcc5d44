#include "PageKit.h"

#include "HelpMemo.h"
#include "KeyFilter.h"
#include "UiColors.h"
#include "settings/SettingsPageItems.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace orsa::app::kit {
namespace {

constexpr int kLineHeight = 21;

QLineEdit* lineEdit(QWidget* parent, const QString& name, const QRect& at, const QString& text) {
  auto* e = new QLineEdit(text, parent);
  e->setObjectName(name);
  e->setGeometry(at.x(), at.y(), at.width(), kLineHeight);
  // The form gives its fields a white base in every state; a field that
  // cannot be changed must not look like one waiting for input.
  QPalette pal;  // only these two roles; the rest follows the form
  pal.setColor(QPalette::Disabled, QPalette::Base, colors::disabledFieldBase());
  pal.setColor(QPalette::Disabled, QPalette::Text, colors::disabledFieldText());
  e->setPalette(pal);
  return e;
}

}  // namespace

QGroupBox* group(QWidget* page, const QString& caption, const QRect& at) {
  auto* box = new QGroupBox(caption, page);
  box->setGeometry(at);
  return box;
}

QLabel* label(QWidget* parent, const QString& text, QPoint at) {
  auto* l = new QLabel(text, parent);
  l->adjustSize();
  l->move(at);
  return l;
}

QComboBox* list(QWidget* parent, const QString& name, const QStringList& items, const QRect& at, int selected) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(name);
  combo->addItems(items);
  combo->setCurrentIndex(selected);
  combo->setMaxVisibleItems(16);
  combo->setGeometry(at.x(), at.y(), at.width(), kLineHeight);
  return combo;
}

QLineEdit* edit(QWidget* parent, const QString& name, const QRect& at, const QString& text, int maxLength) {
  QLineEdit* e = lineEdit(parent, name, at, text);
  e->setMaxLength(maxLength);
  return e;
}

QLineEdit* filteredEdit(QWidget* parent, const QString& name, const QRect& at, const QString& text,
                        settings::FilteredField field) {
  QLineEdit* e = lineEdit(parent, name, at, text);
  KeyFilter::install(e, field);
  return e;
}

QRadioButton* radio(QWidget* parent, const QString& name, const QString& text, const QRect& at, bool checked) {
  auto* r = new QRadioButton(text, parent);
  r->setObjectName(name);
  r->setGeometry(at);
  r->setChecked(checked);
  return r;
}

QCheckBox* check(QWidget* parent, const QString& name, const QString& text, const QRect& at) {
  auto* c = new QCheckBox(text, parent);
  c->setObjectName(name);
  c->setGeometry(at);
  return c;
}

HelpMemo* memo(QWidget* parent, const QString& name, const QString& text, const QRect& at) {
  auto* m = new HelpMemo(name, text, parent);
  m->setGeometry(at);
  return m;
}

QStringList items(int comboBoxNumber) {
  QStringList result;
  for (const std::string& item : settings::comboBoxItems(comboBoxNumber)) {
    result << QString::fromStdString(item);
  }
  return result;
}

}  // namespace orsa::app::kit
