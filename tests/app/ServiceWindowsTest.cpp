#include "ConfigIniLocation.h"
#include "ConfiguratorWindows.h"
#include "ScriptedDialogService.h"
#include "support/Checked.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace orsa::app {
namespace {

using Icon = DialogService::Icon;

class ServiceWindowsTest : public ::testing::Test {
 protected:
  ServiceWindowsTest() {
    windows.form1.revealServiceEntries();
    windows.form1.show();
  }
  ~ServiceWindowsTest() override {
    for (QWidget* w : std::initializer_list<QWidget*>{&windows.form2, &windows.form4, &windows.form5}) {
      w->hide();
    }
  }

  template <class T>
  static T* in(QWidget& window, const char* name) {
    return orsa::testing::present(window.findChild<T*>(QString::fromLatin1(name)), name);
  }
  void click(QWidget& window, const char* name) { QTest::mouseClick(in<QWidget>(window, name), Qt::LeftButton); }
  QLineEdit* codeField() { return in<QLineEdit>(windows.form4, "MaskEdit1"); }
  void enterCode(const char* code) {
    QTest::keyClicks(codeField(), QString::fromLatin1(code));
    QTest::keyClick(codeField(), Qt::Key_Return);
  }
  // Clicks "Сохранить" of the command window with the save dialog answering `name`.
  void saveCommandAs(const QString& name) {
    dialogs.files = {name};
    click(windows.form2, "SpeedButton1");
  }
  static QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
  }

  test::ScriptedDialogService dialogs;
  ConfiguratorWindows windows{dialogs};
};

TEST_F(ServiceWindowsTest, WrongAccessCodeIsRefusedWithAWarningAndTheFieldEmptied) {
  click(windows.form1, "SpeedButton8");
  TForm4& access = windows.form4;
  ASSERT_TRUE(access.isVisible());
  EXPECT_EQ(access.windowType(), Qt::Tool);
  EXPECT_EQ(access.frameGeometry().center(), windows.form1.frameGeometry().center());
  EXPECT_EQ(access.focusWidget(), codeField());
  EXPECT_EQ(codeField()->echoMode(), QLineEdit::Password);

  // Enter checks as "Вход" does; blanks around the code make it a different code.
  enterCode(" 47");
  QTest::keyClicks(codeField(), QStringLiteral("47 "));
  click(access, "Button1");
  ASSERT_EQ(dialogs.shown.size(), 2u);
  for (const auto& box : dialogs.shown) {
    EXPECT_EQ(box.text, QStringLiteral("Неправильный пароль"));
    EXPECT_EQ(box.title, QStringLiteral("Конфигуратор"));
    EXPECT_EQ(box.icon, Icon::Warning);
  }
  EXPECT_TRUE(codeField()->text().isEmpty());
  EXPECT_TRUE(access.isVisible());
  EXPECT_FALSE(windows.form5.isVisible());

  click(access, "Button2");
  EXPECT_FALSE(access.isVisible());
}

TEST_F(ServiceWindowsTest, RightAccessCodeOpensTheServiceWindowCentredOnTheDesktop) {
  click(windows.form1, "SpeedButton8");
  enterCode("47");
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_FALSE(windows.form4.isVisible());
  TForm5& service = windows.form5;
  ASSERT_TRUE(service.isVisible());
  EXPECT_TRUE(service.windowTitle().isEmpty());
  EXPECT_EQ(service.size(), QSize(704, 563));
  EXPECT_EQ(service.windowModality(), Qt::NonModal);
  EXPECT_EQ(service.frameGeometry().center(), service.screen()->availableGeometry().center());

  // The accepted code stays in the field until the entry button opens the window again.
  EXPECT_EQ(codeField()->text(), QStringLiteral("47"));
  click(windows.form1, "SpeedButton8");
  EXPECT_TRUE(codeField()->text().isEmpty());
  EXPECT_EQ(windows.form4.focusWidget(), codeField());
}

TEST_F(ServiceWindowsTest, CommandFileHoldsTheModeOfTheFieldUnderTheCfgNameRule) {
  QTemporaryDir dir;
  click(windows.form1, "SpeedButton7");
  TForm2& command = windows.form2;
  ASSERT_TRUE(command.isVisible());
  auto* modes = in<QComboBox>(command, "ComboBox1");
  ASSERT_EQ(modes->count(), 3);
  EXPECT_EQ(modes->itemText(0), QStringLiteral("Включить  режим \"ПОИСК\""));
  EXPECT_EQ(modes->itemText(1), QStringLiteral("Включить  режим \"ТЕСТ\""));
  EXPECT_EQ(modes->itemText(2), QStringLiteral("Включить  режим \"СУТОЧНЫЙ\""));

  saveCommandAs(dir.filePath(QStringLiteral("command.cfg")));
  ASSERT_EQ(dialogs.fileAsks.size(), 1u);
  EXPECT_EQ(dialogs.fileAsks[0].initialName, QStringLiteral("command.cfg"));
  EXPECT_EQ(dialogs.fileAsks[0].filter, QStringLiteral("Команда WIALON|*.cfg"));
  EXPECT_EQ(bytesOf(dir.filePath(QStringLiteral("command.cfg"))), QByteArray("\x02\x01\x01", 3));
  EXPECT_FALSE(command.isVisible());

  click(windows.form1, "SpeedButton7");
  modes->setCurrentIndex(2);
  saveCommandAs(dir.filePath(QStringLiteral("Mode.CFG")));
  EXPECT_EQ(bytesOf(dir.filePath(QStringLiteral("Mode.CFG.cfg"))), QByteArray("\x02\x01\x03", 3));
  EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("Mode.CFG"))));

  // Text of the user's own in the field is no mode: the third byte is 0.
  click(windows.form1, "SpeedButton7");
  QTest::keyClick(modes->lineEdit(), Qt::Key_Backspace);
  saveCommandAs(dir.filePath(QStringLiteral("a.cfg.bak")));
  EXPECT_EQ(bytesOf(dir.filePath(QStringLiteral("a.cfg.bak"))), QByteArray("\x02\x01\x00", 3));
  EXPECT_EQ(modes->count(), 3);
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ServiceWindowsTest, CommandFileThatCannotBeCreatedIsReportedAndTheWindowStays) {
  QTemporaryDir dir;
  click(windows.form1, "SpeedButton7");
  saveCommandAs(dir.filePath(QStringLiteral("no-such-folder/command.cfg")));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Ошибка открытия файла"));
  EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Ошибка"));
  EXPECT_EQ(dialogs.shown[0].icon, Icon::None);
  EXPECT_TRUE(windows.form2.isVisible());
  EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST(ConfigIniLocation, FollowsTheXdgRuleOutsideWindows) {
#ifdef Q_OS_WIN
  GTEST_SKIP() << "config.ini lies beside the executable on Windows";
#endif
  const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", "/srv/conf");
  EXPECT_EQ(configIniPath(), std::filesystem::path("/srv/conf/orsa-configurator/config.ini"));
  // A relative base folder is to be ignored under the XDG rules; the default stands in.
  qputenv("XDG_CONFIG_HOME", "conf");
  EXPECT_EQ(configIniPath(),
            std::filesystem::path(QDir::homePath().toStdString()) / ".config/orsa-configurator/config.ini");
  if (saved.isNull()) {
    qunsetenv("XDG_CONFIG_HOME");
  } else {
    qputenv("XDG_CONFIG_HOME", saved);
  }
}

}  // namespace
}  // namespace orsa::app
