#include "BeaconFixture.h"
#include "SummaryPage.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include <string_view>

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

TEST_F(SettingsFileTest, AFileGivenToTheProgramOpensAsTheLoadCommandOpensIt) {
  find<QLineEdit>("Edit1")->setText(QStringLiteral("+79161234567"));
  find<QComboBox>("ComboBox1")->setCurrentIndex(7);
  const settings::SettingsPage saved = pages();
  saveAs(path("beacon.cfg"));
  QTest::mouseClick(find<QWidget>("SpeedButton5"), Qt::LeftButton);
  find<QLineEdit>("Edit1")->setText(QStringLiteral("+1"));

  form.settingsCommands().openFile(path("beacon.cfg"));
  EXPECT_EQ(pages(), saved);
  EXPECT_EQ(form.summaryPage()->grid()->item(0, 1)->text(), QStringLiteral("+79161234567"));
  EXPECT_TRUE(dialogs.shown.empty());

  // The same checks and the same words as through the dialog: a missing file is reported alike,
  // a name without ".cfg" is passed over alike.
  for (const char* name : {"absent.cfg", "notes.txt"}) {
    SCOPED_TRACE(name);
    dialogs.shown.clear();
    loadFrom(path(name));
    const auto throughDialog = dialogs.shown;
    EXPECT_EQ(throughDialog.size(), std::string_view(name).ends_with(".cfg") ? 1u : 0u);
    dialogs.shown.clear();
    form.settingsCommands().openFile(path(name));
    ASSERT_EQ(dialogs.shown.size(), throughDialog.size());
    for (std::size_t i = 0; i < throughDialog.size(); ++i) {
      EXPECT_EQ(dialogs.shown[i].text, throughDialog[i].text);
      EXPECT_EQ(dialogs.shown[i].title, throughDialog[i].title);
      EXPECT_EQ(dialogs.shown[i].icon, throughDialog[i].icon);
    }
  }
  EXPECT_EQ(pages(), saved);
}

}  // namespace
}  // namespace orsa::app::test
