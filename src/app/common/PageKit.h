#pragma once

#include "settings/KeyFilter.h"

#include <QPoint>
#include <QRect>
#include <QGroupBox>
#include <QStringList>

class QCheckBox;
class QComboBox;

class QLabel;
class QLineEdit;
class QRadioButton;
class QWidget;

namespace orsa::app {

class HelpMemo;

// Small builders shared by the settings pages, which place their controls
// at fixed positions like the rest of the fixed-size window.
namespace kit {

// A beacon settings slot holds at most this many characters, so as the limit of
// an unfiltered field it holds back only typing, never a value read back.
inline constexpr int kSlotTextMax = 31;

QGroupBox* group(QWidget* page, const QString& caption, const QRect& at);
QLabel* label(QWidget* parent, const QString& text, QPoint at);
// Drop-down list that accepts only its items.
QComboBox* list(QWidget* parent, const QString& name, const QStringList& items, const QRect& at, int selected);
QLineEdit* edit(QWidget* parent, const QString& name, const QRect& at, const QString& text, int maxLength);
// An edit field whose input passes the field's key filter, which also holds
// its typing limit; it has no length limit of its own, since that would cut
// longer values the program shows.
QLineEdit* filteredEdit(QWidget* parent, const QString& name, const QRect& at, const QString& text,
                        settings::FilteredField field);
QRadioButton* radio(QWidget* parent, const QString& name, const QString& text, const QRect& at, bool checked = false);
QCheckBox* check(QWidget* parent, const QString& name, const QString& text, const QRect& at);
HelpMemo* memo(QWidget* parent, const QString& name, const QString& text, const QRect& at);

// The items of list ComboBox<number>, shared with the page model so that an
// index means the same on the screen and in the record.
QStringList items(int comboBoxNumber);

}  // namespace kit
}  // namespace orsa::app
