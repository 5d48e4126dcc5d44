#include "BeaconFixture.h"
#include "CommandBar.h"
#include "PictureButton.h"
#include "SectionLabel.h"
#include "support/BeaconFigures.h"

#include <QApplication>
#include <QFile>
#include <QStackedWidget>
#include <QTemporaryDir>

namespace orsa::app::test {
namespace {

namespace figures = orsa::testing::figures;

using settings::SlotId;

// The main window driven by key presses alone, each sent where a real one would go: to the
// widget with the focus, or to the window that has the keyboard.
class KeyboardTest : public BeaconFixture {
 protected:
  void SetUp() override {
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  }
  static QWidget* focused() { return QApplication::focusWidget(); }
  void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = focused() != nullptr ? focused() : QApplication::activeWindow();
    QTest::keyClick(target != nullptr ? target : &form, key, modifiers);
  }
  // Presses Tab until `name` has the focus, at most `limit` times; whether it got there.
  bool tabTo(const char* name, int limit = 40) {
    QStringList visited;
    for (int i = 0; i < limit; ++i) {
      visited << (focused() != nullptr ? focused()->objectName() : QStringLiteral("(none)"));
      if (focused() != nullptr && focused()->objectName() == QLatin1String(name)) return true;
      press(Qt::Key_Tab);
    }
    ADD_FAILURE() << "Tab went " << visited.join(QLatin1Char(' ')).toStdString();
    return false;
  }
  // Presses `key` and waits for the settings exchange it starts to end.
  bool exchangeOn(Qt::Key key) {
    QSignalSpy finished(&form.settingsCommands(), &SettingsCommands::exchangeFinished);
    press(key, Qt::ControlModifier);
    return finished.wait(20000);
  }
};

TEST_F(KeyboardTest, TabVisitsTheToolbarThenTheSectionsThenThePage) {
  find<QWidget>("Edit1")->setFocus();
  QStringList visited;
  for (int i = 0; i < 60 && !visited.contains(QStringLiteral("Edit1")); ++i) {
    press(Qt::Key_Tab);
    visited << focused()->objectName();
  }
  const QStringList expected = {
      QStringLiteral("SpeedButton4"), QStringLiteral("SpeedButton3"), QStringLiteral("SpeedButton5"),
      QStringLiteral("Label1"),       QStringLiteral("Label2"),       QStringLiteral("Label3"),
      QStringLiteral("Label4"),       QStringLiteral("Label5"),       QStringLiteral("Label6"),
      QStringLiteral("Label7"),       QStringLiteral("Label8"),       QStringLiteral("Edit1"),
  };
  const qsizetype start = visited.indexOf(expected.first());
  ASSERT_GE(start, 0) << visited.join(QLatin1Char(' ')).toStdString();
  EXPECT_EQ(visited.mid(start), expected) << visited.join(QLatin1Char(' ')).toStdString();

  // Enter on a section label does what a click does.
  ASSERT_TRUE(tabTo("Label3"));
  press(Qt::Key_Return);
  EXPECT_EQ(form.currentSection(), 3);
  EXPECT_EQ(form.pageControl()->currentIndex(), 2);
}

TEST_F(KeyboardTest, SectionTipsNameTheirKeys) {
  EXPECT_EQ(find<QWidget>("Label2")->toolTip(), QStringLiteral("ОСНОВНЫЕ НАСТРОЙКИ (Ctrl+2)"));
  EXPECT_EQ(find<QWidget>("Label8")->toolTip(), QStringLiteral("ОБНОВЛЕНИЕ ПРОГРАММНОГО ОБЕСПЕЧЕНИЯ (Ctrl+8)"));
}

TEST_F(KeyboardTest, ReadChangeWriteSaveWithTheKeyboardOnly) {
  setBeaconText(SlotId::OwnerPhone, "+79161234567");
  QTemporaryDir dir;
  const QString saved = dir.filePath(QStringLiteral("beacon.cfg"));
  dialogs.files = {saved};

  ASSERT_TRUE(exchangeOn(Qt::Key_R));
  EXPECT_EQ(find<QLineEdit>("Edit1")->text(), QStringLiteral("+79161234567"));

  press(Qt::Key_7, Qt::ControlModifier);
  EXPECT_EQ(form.currentSection(), 7);
  press(Qt::Key_1, Qt::ControlModifier);
  EXPECT_EQ(form.currentSection(), 1);
  EXPECT_EQ(form.pageControl()->currentIndex(), 0);
  ASSERT_TRUE(tabTo("Edit1"));
  press(Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(focused(), QStringLiteral("+79035550101"));
  EXPECT_EQ(find<QLineEdit>("Edit1")->text(), QStringLiteral("+79035550101"));

  ASSERT_TRUE(exchangeOn(Qt::Key_W));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Настройки успешно записаны"));
  EXPECT_EQ(framesOfType(figures::kWriteSettingSlot), 25u);
  EXPECT_EQ(beaconText(SlotId::OwnerPhone), "+79035550101");

  press(Qt::Key_S, Qt::ControlModifier);
  ASSERT_EQ(dialogs.fileAsks.size(), 1u);
  EXPECT_TRUE(dialogs.fileAsks[0].save);
  QFile file(saved);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray image = file.readAll();
  ASSERT_EQ(image.size(), 118);
  EXPECT_EQ(image.mid(3, 13), QByteArray("+79035550101\0", 13));
}

TEST_F(KeyboardTest, CtrlWAsksAboutAMissingPhoneAsTheButtonDoes) {
  find<QLineEdit>("Edit1")->clear();
  dialogs.answers = {DialogService::Answer::No};
  press(Qt::Key_W, Qt::ControlModifier);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text,
            QStringLiteral("Вы не указали номер телефона владельца\nЗаписать настройки без него?"));
  EXPECT_FALSE(form.settingsCommands().busy());
  EXPECT_EQ(framesOfType(figures::kWriteSettingSlot), 0u);
}

TEST_F(KeyboardTest, EscEndsAReadAndTheProgressWindowWithIt) {
  beacon.setFaults(sim::FaultPlan().delayReply(figures::kReadSettingSlot, sim::FaultPlan::everyFrame, 300));
  QSignalSpy finished(&form.settingsCommands(), &SettingsCommands::exchangeFinished);
  press(Qt::Key_R, Qt::ControlModifier);
  ASSERT_TRUE(framesArrive(3));
  ASSERT_TRUE(QTest::qWaitFor([&] { return form3.isVisible(); }, 5000));
  press(Qt::Key_Escape);
  ASSERT_TRUE(finished.wait(10000));
  EXPECT_LT(framesOfType(figures::kReadSettingSlot), 29u);
  EXPECT_FALSE(form3.isVisible());
  EXPECT_TRUE(dialogs.shown.empty()) << "a read the user ended is no failure";
  EXPECT_FALSE(form.session().channel.isOpen());
}

TEST_F(KeyboardTest, EscLetsAWriteFinish) {
  beacon.setFaults(sim::FaultPlan().delayReply(figures::kWriteSettingSlot, sim::FaultPlan::everyFrame, 40));
  QSignalSpy finished(&form.settingsCommands(), &SettingsCommands::exchangeFinished);
  press(Qt::Key_W, Qt::ControlModifier);
  ASSERT_TRUE(framesArrive(2));
  press(Qt::Key_Escape);
  ASSERT_TRUE(finished.wait(20000));
  EXPECT_EQ(framesOfType(figures::kWriteSettingSlot), 25u);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Настройки успешно записаны"));
}

TEST_F(KeyboardTest, F1BringsTheFocusToThePagesHelpTexts) {
  press(Qt::Key_F1);
  ASSERT_NE(focused(), nullptr);
  EXPECT_EQ(focused()->objectName(), QStringLiteral("Memo1"));
  press(Qt::Key_F1);
  EXPECT_EQ(focused()->objectName(), QStringLiteral("Memo2"));
  press(Qt::Key_F1);
  EXPECT_EQ(focused()->objectName(), QStringLiteral("Memo1"));
  press(Qt::Key_8, Qt::ControlModifier);
  press(Qt::Key_F1);
  EXPECT_EQ(focused()->objectName(), QStringLiteral("Memo14"));
}

}  // namespace
}  // namespace orsa::app::test
