#include "ConfiguratorApplication.h"
#include "QtDialogService.h"
#include "ScriptedDialogService.h"
#include "UiFonts.h"
#include "support/Checked.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTreeView>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <gtest/gtest.h>

#include <stdexcept>

namespace orsa::app {
namespace {

ConfiguratorApplication& application() {
  return *orsa::testing::present(qobject_cast<ConfiguratorApplication*>(QCoreApplication::instance()),
                                 "the program's own application object");
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

TEST(ConfiguratorApplication, QtsFileDialogNamesKindsInRussianAndShowsItsColumnsWhole) {
  QTemporaryDir folder;
  const QString subfolder = QStringLiteral("Прошивки маяков ОРСА, полученные в 2026 году");
  ASSERT_TRUE(QDir(folder.path()).mkdir(subfolder));
  QFile settings(folder.filePath(QStringLiteral("маяк.cfg")));
  ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
  settings.close();

  const auto dialog = QtDialogService::fileDialog(QString(), QStringLiteral("Файл конфигурации|*.cfg"));
  dialog->setDirectory(folder.path());
  dialog->show();
  auto* details = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
  ASSERT_NE(details, nullptr);
  ASSERT_TRUE(details->isVisible()) << "the list shows names, sizes, kinds and dates";
  QAbstractItemModel* model = details->model();
  const auto row = [&](const QString& name) {
    for (int r = 0; r < model->rowCount(details->rootIndex()); ++r) {
      if (model->index(r, 0, details->rootIndex()).data().toString() == name) return r;
    }
    return -1;
  };
  ASSERT_TRUE(QTest::qWaitFor([&] { return row(subfolder) >= 0 && row(QStringLiteral("маяк.cfg")) >= 0; }, 5000));
  EXPECT_EQ(model->index(row(subfolder), 2, details->rootIndex()).data().toString(), QStringLiteral("Папка"));
  EXPECT_EQ(model->index(row(QStringLiteral("маяк.cfg")), 2, details->rootIndex()).data().toString(),
            QStringLiteral("Файл CFG"));
  QTest::qWait(50);  // the columns follow their contents on the next layout
  const QFontMetrics metrics(details->font());
  const int iconRoom = details->style()->pixelMetric(QStyle::PM_SmallIconSize) + 8;
  for (int r = 0; r < model->rowCount(details->rootIndex()); ++r) {
    for (int column = 0; column < model->columnCount(details->rootIndex()); ++column) {
      const QString text = model->index(r, column, details->rootIndex()).data().toString();
      const int room = column == 0 ? details->columnWidth(0) - iconRoom : details->columnWidth(column);
      EXPECT_LE(metrics.horizontalAdvance(text), room) << column << ": " << text.toStdString();
    }
  }
  for (int column = 0; column < model->columnCount(details->rootIndex()); ++column) {
    EXPECT_GE(details->columnWidth(column), details->header()->sectionSizeHint(column)) << column;
  }
  dialog->hide();
}

}  // namespace
}  // namespace orsa::app
