#include "BalancePage.h"
#include "ContactPage.h"
#include "FirmwarePage.h"
#include "HelpMemo.h"
#include "JustifyLines.h"
#include "MainSettingsPage.h"
#include "MotionModePage.h"
#include "MotionSensorPage.h"
#include "PageBinding.h"
#include "PhonePage.h"
#include "ScriptedDialogService.h"
#include "TForm1.h"
#include "ZonePage.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace orsa::app {
namespace {

class PageControlsTest : public ::testing::Test {
 protected:
  template <class T>
  T* find(const QString& name) {
    auto* w = form.findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
  }
  QLineEdit* edit(const char* name) { return find<QLineEdit>(QString::fromLatin1(name)); }
  QComboBox* combo(const char* name) { return find<QComboBox>(QString::fromLatin1(name)); }

  // Types into a field with real key events, as a user would.
  static QString type(QLineEdit* field, const QString& keys) {
    field->clear();
    QTest::keyClicks(field, keys);
    return field->text();
  }

  test::ScriptedDialogService dialogs;
  TForm1 form{dialogs};
};

// The page model and the widgets must agree on where a fresh window starts,
// or the first collection would differ between the window and the tools.
TEST(FreshPagesTest, StartInThePageModelsInitialState) {
  QWidget parent;
  new PhonePage(&parent);
  new MainSettingsPage(&parent);
  new ContactPage(&parent);
  new MotionModePage(&parent);
  new MotionSensorPage(&parent);
  new ZonePage(&parent);
  new BalancePage(&parent);
  new FirmwarePage(&parent);
  EXPECT_TRUE(PageBinding(parent).read() == settings::SettingsPage{});
}

TEST_F(PageControlsTest, PhoneFieldTakesDigitsAndPlusOnly) {
  QLineEdit* phone = edit("Edit1");
  EXPECT_EQ(type(phone, QStringLiteral("+7 (916) 12-a4")), QStringLiteral("+791612" "4"));
  QTest::keyClick(phone, Qt::Key_Backspace);
  EXPECT_EQ(phone->text(), QStringLiteral("+791612"));
}

TEST_F(PageControlsTest, DigitOnlyFieldsDropEverythingElse) {
  EXPECT_EQ(type(edit("Edit2"), QStringLiteral("1+2a3.4")), QStringLiteral("1234"));
  EXPECT_EQ(type(edit("Edit2"), QStringLiteral("123456")), QStringLiteral("1234"));
  EXPECT_EQ(type(edit("Edit6"), QStringLiteral("9 km9x9")), QStringLiteral("999"));
  EXPECT_EQ(type(edit("Edit6"), QStringLiteral("1000")), QStringLiteral("100"));
  EXPECT_EQ(type(edit("Edit8"), QStringLiteral("23:351+")), QStringLiteral("23351"));
}

TEST_F(PageControlsTest, UnfilteredFieldsTakeAnyText) {
  EXPECT_EQ(type(edit("Edit3"), QStringLiteral("-1x")), QStringLiteral("-1x"));
  EXPECT_EQ(type(edit("Edit9"), QStringLiteral("port a")), QStringLiteral("port a"));
}

TEST_F(PageControlsTest, PastingCannotBypassAFilter) {
  QGuiApplication::clipboard()->setText(QStringLiteral("abc"));
  QLineEdit* pin = edit("Edit2");
  pin->clear();
  QTest::keyClick(pin, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(pin->text(), QString());
}

TEST_F(PageControlsTest, ListsHoldTheBeaconsValueTables) {
  const QComboBox* zone = combo("ComboBox1");
  ASSERT_EQ(zone->count(), 27);
  EXPECT_EQ(zone->itemText(0), QStringLiteral("UTC (-12:00)"));
  EXPECT_EQ(zone->itemText(11), QStringLiteral("UTC (-01:00)"));
  EXPECT_EQ(zone->itemText(12), QStringLiteral("UTC (00:00)"));
  EXPECT_EQ(zone->itemText(15), QStringLiteral("UTC (+03:00) (Москва  )"));
  EXPECT_EQ(zone->itemText(26), QStringLiteral("UTC (+14:00)"));

  const QComboBox* duration = combo("ComboBox15");
  ASSERT_EQ(duration->count(), 41);
  EXPECT_EQ(duration->itemText(0), QStringLiteral("0    сек (Максимальная чувствительность)"));
  EXPECT_EQ(duration->itemText(1), QStringLiteral("0,1 сек"));
  EXPECT_EQ(duration->itemText(5), QStringLiteral("0,5 сек (Заводское значение)"));
  EXPECT_EQ(duration->itemText(10), QStringLiteral("1    сек"));
  EXPECT_EQ(duration->itemText(40), QStringLiteral("4    сек (Минимальная чувствительность)"));

  EXPECT_EQ(combo("ComboBox13")->count(), 95);
  EXPECT_EQ(combo("ComboBox13")->itemText(94), QStringLiteral("99"));
  EXPECT_EQ(combo("ComboBox14")->count(), 40);
  EXPECT_EQ(combo("ComboBox16")->count(), 31);
  EXPECT_EQ(combo("ComboBox16")->itemText(0), QStringLiteral("Каждый день"));
  EXPECT_EQ(combo("ComboBox3")->count(), 60);
  EXPECT_EQ(combo("ComboBox10")->itemText(23), QStringLiteral("23"));
  EXPECT_EQ(combo("ComboBox19")->count(), 5);
  EXPECT_TRUE(combo("ComboBox19")->isEditable());
  EXPECT_FALSE(combo("ComboBox18")->isEditable());
}

TEST_F(PageControlsTest, TypedDeliveryModeIsNeverAddedAsAnItem) {
  QComboBox* mode = combo("ComboBox19");
  mode->lineEdit()->clear();
  QTest::keyClicks(mode->lineEdit(), QStringLiteral("mail"));
  QTest::keyClick(mode->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(mode->count(), 5);
}

TEST_F(PageControlsTest, ExplicitBalanceCodeEnablesItsField) {
  auto* explicitCode = find<QRadioButton>(QStringLiteral("RadioButton7"));
  auto* automatic = find<QRadioButton>(QStringLiteral("RadioButton6"));
  QLineEdit* code = edit("Edit4");
  explicitCode->click();
  EXPECT_TRUE(code->isEnabled());
  automatic->click();
  EXPECT_FALSE(code->isEnabled());
}

// The stretch must only add spaces: every word survives, in order, apart.
TEST_F(PageControlsTest, JustifiedHelpTextsKeepEveryWordAndFitTheirMemo) {
  for (const char* name : {"Memo1", "Memo2", "Memo6", "Memo7", "Memo14", "Memo17", "Memo20",
                           "Memo22", "Memo24"}) {
    SCOPED_TRACE(name);
    auto* memo = find<HelpMemo>(QString::fromLatin1(name));
    const QFontMetrics metrics(memo->font());
    const QStringList lines = memo->toPlainText().split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 3);
    for (const QString& line : lines.mid(0, lines.size() - 2)) {
      EXPECT_LT(metrics.horizontalAdvance(line) + kJustifySlack, memo->width()) << line.toStdString();
      EXPECT_GE(metrics.horizontalAdvance(line + QLatin1Char(' ')) + kJustifySlack, memo->width())
          << line.toStdString();
    }
  }
}

// Lines that wrap close to the stretch limit once came out with words glued together.
TEST(HelpMemoTest, JustifyingOnlyAddsSpacesAtAnyWidth) {
  const QString text = QStringLiteral(
      "После срабатывания датчика движения устройство в течение этого времени не реагирует "
      "на новые сигналы датчика. Так одна поездка не вызывает множества тревожных сообщений "
      "подряд, а батарея расходуется бережно.");
  const QStringList words = text.split(QLatin1Char(' '));
  QWidget parent;
  for (int width = 160; width <= 480; width += 11) {
    SCOPED_TRACE(width);
    HelpMemo memo(QStringLiteral("Memo"), text, &parent);
    memo.setGeometry(0, 0, width, 120);
    const int before = static_cast<int>(memo.displayLines().size());
    memo.justify();
    EXPECT_EQ(memo.toPlainText().simplified().split(QLatin1Char(' ')), words);
    EXPECT_GE(static_cast<int>(memo.toPlainText().split(QLatin1Char('\n')).size()), before);
  }
}

TEST_F(PageControlsTest, FirmwareInstructionsKeepTheirFiveLines) {
  auto* memo = find<HelpMemo>(QStringLiteral("Memo14"));
  const QStringList lines = memo->toPlainText().split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 5);
  EXPECT_EQ(lines[0].simplified(),
            QStringLiteral("Для обновления программного обеспечения устройства подключите"));
  EXPECT_EQ(lines[2].simplified(),
            QStringLiteral("\"Обновить программное обеспечение\". В открывшемся окне выберите"));
  EXPECT_EQ(lines[3], QStringLiteral("файл прошивки. Процесс обновления программного обеспечения"));
  EXPECT_EQ(lines[4], QStringLiteral("начнется автоматически."));
}

}  // namespace
}  // namespace orsa::app
