#include "BeaconFixture.h"
#include "SummaryPage.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>

namespace orsa::app::test {
namespace {

class SettingsFileTest : public BeaconFixture {
 protected:
  SettingsFileTest() { form.revealServiceEntries(); }

  void saveAs(const QString& name) {
    dialogs.files = {name};
    QTest::mouseClick(find<QWidget>("SpeedButton2"), Qt::LeftButton);
  }
  void loadFrom(const QString& name) {
    dialogs.files = {name};
    QTest::mouseClick(find<QWidget>("SpeedButton1"), Qt::LeftButton);
  }
  QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

  QTemporaryDir dir;
};

TEST_F(SettingsFileTest, SaveThenLoadGivesTheSamePages) {
  find<QLineEdit>("Edit1")->setText(QStringLiteral("+79161234567"));
  find<QLineEdit>("Edit2")->setText(QStringLiteral("0042"));
  find<QComboBox>("ComboBox1")->setCurrentIndex(7);  // -5
  find<QComboBox>("ComboBox2")->setCurrentIndex(6);
  find<QRadioButton>("RadioButton2")->setChecked(true);
  find<QRadioButton>("RadioButton5")->setChecked(true);
  find<QComboBox>("ComboBox16")->setCurrentIndex(7);
  find<QComboBox>("ComboBox14")->setCurrentIndex(3);
  find<QRadioButton>("RadioButton7")->setChecked(true);
  find<QLineEdit>("Edit4")->setText(QStringLiteral("*100#"));
  const settings::SettingsPage saved = pages();

  saveAs(path("backup"));
  ASSERT_TRUE(dialogs.shown.empty());
  ASSERT_EQ(dialogs.fileAsks.size(), 1u);
  EXPECT_TRUE(dialogs.fileAsks[0].save);
  EXPECT_EQ(dialogs.fileAsks[0].initialName, QStringLiteral("config.cfg"));
  EXPECT_EQ(dialogs.fileAsks[0].filter, QStringLiteral("Файл конфигурации|*.cfg"));
  EXPECT_EQ(QFileInfo(path("backup.cfg")).size(), 118);

  QTest::mouseClick(find<QWidget>("SpeedButton5"), Qt::LeftButton);
  find<QLineEdit>("Edit1")->setText(QStringLiteral("+1"));
  ASSERT_NE(pages(), saved);

  loadFrom(path("backup.cfg"));
  EXPECT_EQ(pages(), saved);
  EXPECT_EQ(find<QLineEdit>("Edit2")->text(), QStringLiteral("0042"));
  EXPECT_EQ(form.summaryPage()->grid()->item(2, 1)->text(), QStringLiteral("-5"));
  EXPECT_EQ(form.summaryPage()->grid()->item(19, 1)->text(), QStringLiteral("*100#"));
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(SettingsFileTest, NamesFollowTheCfgRules) {
  saveAs(path("b.CFG"));
  EXPECT_TRUE(QFileInfo::exists(path("b.CFG.cfg")));
  saveAs(path("a.cfg.old"));
  EXPECT_TRUE(QFileInfo::exists(path("a.cfg.old")));

  // A load through a name without ".cfg" reads nothing.
  ASSERT_TRUE(QFile::copy(path("a.cfg.old"), path("a.txt")));
  find<QLineEdit>("Edit2")->setText(QStringLiteral("9999"));
  loadFrom(path("a.txt"));
  EXPECT_EQ(find<QLineEdit>("Edit2")->text(), QStringLiteral("9999"));
  EXPECT_TRUE(form.summaryPage()->grid()->item(0, 0)->text().isEmpty());
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(SettingsFileTest, RefusedCollectionShowsNoFileDialog) {
  find<QLineEdit>("Edit2")->clear();
  saveAs(path("x"));
  EXPECT_TRUE(dialogs.fileAsks.empty());
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Вы не задали PIN-код устройства"));
  EXPECT_FALSE(QFileInfo::exists(path("x.cfg")));
}

TEST_F(SettingsFileTest, CancelledDialogsTouchNothing) {
  dialogs.files = {std::nullopt};
  QTest::mouseClick(find<QWidget>("SpeedButton2"), Qt::LeftButton);
  dialogs.files = {std::nullopt};
  QTest::mouseClick(find<QWidget>("SpeedButton1"), Qt::LeftButton);
  EXPECT_EQ(dialogs.fileAsks.size(), 2u);
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(SettingsFileTest, UnwritableFileIsAnErrorWithoutIcon) {
  saveAs(path("missing-folder/config"));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Ошибка открытия файла"));
  EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Ошибка"));
  EXPECT_EQ(dialogs.shown[0].icon, DialogService::Icon::None);
}

}  // namespace
}  // namespace orsa::app::test
