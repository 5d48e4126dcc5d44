#include "ConfiguratorApplication.h"
#include "ScriptedDialogService.h"
#include "UiFonts.h"

#include <QFileInfo>
#include <QFontInfo>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <gtest/gtest.h>

#include <stdexcept>

namespace orsa::app {
namespace {

ConfiguratorApplication& application() {
  auto* app = qobject_cast<ConfiguratorApplication*>(QCoreApplication::instance());
  EXPECT_NE(app, nullptr) << "the tests run under the program's own application object";
  return *app;
}

TEST(ConfiguratorApplication, QtsOwnButtonsSpeakRussian) {
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!QFileInfo::exists(folder + QStringLiteral("/qtbase_ru.qm"))) {
    GTEST_SKIP() << "qtbase_ru.qm is not in " << folder.toStdString()
                 << "; scripts/install-deps.sh installs it (qt6-translations-l10n)";
  }
  QMessageBox question(QMessageBox::Question, QStringLiteral("конфигуратор"), QStringLiteral("?"),
                       QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(question.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Да"));
  EXPECT_EQ(question.button(QMessageBox::No)->text().remove(QLatin1Char('&')), QStringLiteral("Нет"));
}

TEST(ConfiguratorApplication, ToolTipsAndMessageBoxesUseTheWindowsFont) {
  const QString windowsFamily = QFontInfo(fonts::msSansSerif()).family();
  EXPECT_EQ(QFontInfo(QToolTip::font()).family(), windowsFamily);
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Конфигуратор"), QStringLiteral("Устройство не подключено"),
                  QMessageBox::Ok);
  const auto* text = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(QFontInfo(text->font()).family(), windowsFamily);
}

TEST(ConfiguratorApplication, AnErrorEscapingAHandlerIsShownAndTheProgramGoesOn) {
  ConfiguratorApplication& app = application();
  test::ScriptedDialogService dialogs;
  DialogService* const before = app.errorDialogs();
  app.setErrorDialogs(&dialogs);

  bool laterEventRan = false;
  QTimer::singleShot(0, &app, [] { throw std::runtime_error("'12x' is not a valid integer value"); });
  QTimer::singleShot(0, &app, [&laterEventRan] { laterEventRan = true; });
  EXPECT_TRUE(QTest::qWaitFor([&] { return laterEventRan; }, 5000));
  app.setErrorDialogs(before);

  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("'12x' is not a valid integer value"));
  EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Конфигуратор"));
  EXPECT_EQ(dialogs.shown[0].icon, DialogService::Icon::Critical);
}

}  // namespace
}  // namespace orsa::app
