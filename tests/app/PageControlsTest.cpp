#include "BalancePage.h"
#include "ContactPage.h"
#include "DeviceSession.h"
#include "FirmwarePage.h"
#include "HelpMemo.h"
#include "JustifyLines.h"
#include "MainSettingsPage.h"
#include "MotionModePage.h"
#include "MotionSensorPage.h"
#include "PageBinding.h"
#include "PhonePage.h"
#include "ScriptedDialogService.h"
#include "SectionColumn.h"
#include "SectionLabel.h"
#include "SettingsCommands.h"
#include "TForm1.h"
#include "WindowSettingsDialogs.h"
#include "ZonePage.h"
#include "settings/CollectRecord.h"
#include "support/Checked.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace orsa::app {
namespace {

class PageControlsTest : public ::testing::Test {
 protected:
  template <class T>
  T* find(const QString& name) {
    return orsa::testing::present(form.findChild<T*>(name), name.toStdString());
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
  EXPECT_EQ(type(phone, QStringLiteral("+7 (916) 12-a4")), QStringLiteral("+791612"
                                                                          "4"));
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

// Text comes in by more ways than a key: the edit's own context menu, a drop,
// the X selection's middle-click paste. Each one meets the same filter.
TEST_F(PageControlsTest, PastingCannotBypassAFilter) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  QLineEdit* pin = edit("Edit2");
  const auto pasteFromMenu = [pin] {
    const std::unique_ptr<QMenu> menu(pin->createStandardContextMenu());
    // The menu speaks the program's language; the entry starts with the edit's own caption.
    const QString caption = QCoreApplication::translate("QLineEdit", "&Paste");
    for (QAction* entry : menu->actions()) {
      if (entry->text().startsWith(caption)) {
        ASSERT_TRUE(entry->isEnabled());
        entry->trigger();
        return;
      }
    }
    ADD_FAILURE() << "no Paste entry in the edit's menu";
  };
  const auto drop = [pin](const QString& text) {
    QMimeData data;
    data.setText(text);
    const QPointF at(4, 4);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(pin, &enter);
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(pin, &dropped);
  };

  pin->clear();
  clipboard->setText(QStringLiteral("abcd"));
  QTest::keyClick(pin, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(pin->text(), QString()) << "Ctrl+V";
  pasteFromMenu();
  EXPECT_EQ(pin->text(), QString()) << "context menu";
  drop(QStringLiteral("abcd"));
  EXPECT_EQ(pin->text(), QString()) << "drop";
  if (clipboard->supportsSelection()) {
    clipboard->setText(QStringLiteral("abcd"), QClipboard::Selection);
    QTest::mouseClick(pin, Qt::MiddleButton);
    EXPECT_EQ(pin->text(), QString()) << "middle click";
    clipboard->setText(QStringLiteral("12"), QClipboard::Selection);
    QTest::mouseClick(pin, Qt::MiddleButton);
    EXPECT_EQ(pin->text(), QStringLiteral("12")) << "middle click";
    pin->clear();
  }

  // What the field may hold still comes in every way, and only up to its length.
  clipboard->setText(QStringLiteral("1234"));
  pasteFromMenu();
  EXPECT_EQ(pin->text(), QStringLiteral("1234"));
  pin->clear();
  drop(QStringLiteral("98"));
  drop(QStringLiteral("765"));
  EXPECT_EQ(pin->text(), QStringLiteral("98"));
}

// Only typing is held to the field's length: a longer PIN that the beacon or a
// file holds is shown and goes back as it came.
TEST_F(PageControlsTest, LongerPinFromTheBeaconIsShownAndCollectedWhole) {
  settings::SettingsRecord& record = form.session().record;
  record.setText(settings::SlotId::OwnerPhone, "+79161234567");
  record.setText(settings::SlotId::DevicePin, "65535");
  form.settingsCommands().showRecord();
  QLineEdit* pin = edit("Edit2");
  EXPECT_EQ(pin->text(), QStringLiteral("65535"));
  QTest::keyClicks(pin, QStringLiteral("7a"));
  EXPECT_EQ(pin->text(), QStringLiteral("65535")) << "typing may not lengthen it or bring in a letter";

  WindowSettingsDialogs checks(form, dialogs);
  ASSERT_TRUE(settings::CollectRecord(PageBinding(form).read(), record, checks));
  EXPECT_EQ(record.text(settings::SlotId::DevicePin), "65535");
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

// A field the user cannot change must not look like one that waits for input.
TEST_F(PageControlsTest, DisabledBalanceCodeLooksDisabled) {
  QLineEdit* code = edit("Edit4");
  code->clear();
  const auto baseShown = [code] { return code->grab().toImage().pixelColor(code->width() / 2, code->height() / 2); };
  find<QRadioButton>(QStringLiteral("RadioButton7"))->click();
  ASSERT_TRUE(code->isEnabled());
  const QColor enabled = baseShown();
  find<QRadioButton>(QStringLiteral("RadioButton6"))->click();
  ASSERT_FALSE(code->isEnabled());
  EXPECT_NE(baseShown(), enabled);
  EXPECT_NE(code->palette().color(QPalette::Disabled, QPalette::Text),
            code->palette().color(QPalette::Active, QPalette::Text));
}

// The column keeps the window's fixed width, so a face wider than the one it
// was laid out for must not push a caption past its strip once it turns bold.
TEST_F(PageControlsTest, SectionCaptionsFitTheirStripsInBold) {
  form.revealServiceEntries();
  const int pageAreaLeft = form.pageControl()->geometry().left();
  for (const int widerPixelSize : {0, 15}) {
    for (int section = 1; section <= SectionColumn::kSections; ++section) {
      SectionLabel* label = form.sectionColumn()->label(section);
      SCOPED_TRACE(label->text().toStdString());
      if (widerPixelSize > 0) {
        QFont wider = label->font();
        wider.setPixelSize(widerPixelSize);
        label->setFont(wider);
      }
      QEnterEvent hover(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
      QCoreApplication::sendEvent(label, &hover);
      QFont bold = label->font();
      bold.setBold(true);
      const QFontMetrics metrics(bold);
      for (const QString& line : label->text().split(QLatin1Char('\n'))) {
        EXPECT_LE(metrics.horizontalAdvance(line), label->contentsRect().width()) << widerPixelSize;
      }
      EXPECT_TRUE(label->parentWidget()->rect().contains(label->geometry()));
      EXPECT_LE(label->mapTo(&form, QPoint(label->width(), 0)).x(), pageAreaLeft);
      QEvent leave(QEvent::Leave);
      QCoreApplication::sendEvent(label, &leave);
    }
  }
}

// The stretch must only add spaces: every word survives, in order, apart.
TEST_F(PageControlsTest, JustifiedHelpTextsKeepEveryWordAndFitTheirMemo) {
  for (const char* name : {"Memo1", "Memo2", "Memo6", "Memo7", "Memo14", "Memo17", "Memo20", "Memo22", "Memo24"}) {
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
  EXPECT_EQ(lines[0].simplified(), QStringLiteral("Для обновления программного обеспечения устройства подключите"));
  EXPECT_EQ(lines[2].simplified(), QStringLiteral("\"Обновить программное обеспечение\". В открывшемся окне выберите"));
  EXPECT_EQ(lines[3], QStringLiteral("файл прошивки. Процесс обновления программного обеспечения"));
  EXPECT_EQ(lines[4], QStringLiteral("начнется автоматически."));
}

}  // namespace
}  // namespace orsa::app
