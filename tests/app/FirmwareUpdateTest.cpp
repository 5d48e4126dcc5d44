#include "BeaconFixture.h"
#include "FirmwareCommands.h"
#include "support/Checked.h"

#include <QFile>
#include <QProgressBar>
#include <QTemporaryDir>

#include <vector>

namespace orsa::app::test {
namespace {

class FirmwareUpdateTest : public BeaconFixture {
 protected:
  QString writeFirmware(const char* name, std::size_t payload) {
    std::vector<char> bytes(15 + payload);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      bytes[i] = static_cast<char>(i * 7 + 3);
    }
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
  }
  bool runUpdate() {
    QSignalSpy finished(&form.firmwareCommands(), &FirmwareCommands::updateFinished);
    QTest::mouseClick(find<QWidget>("SpeedButton6"), Qt::LeftButton);
    return finished.wait(20000);
  }

  QTemporaryDir dir;
};

TEST_F(FirmwareUpdateTest, ChosenNameGetsItsExtensionAndThePayloadReachesTheFlash) {
  const QString path = writeFirmware("image.fmw", 4096 + 1);
  dialogs.files = {dir.filePath(QStringLiteral("image"))};  // typed without the extension
  EXPECT_TRUE(find<QProgressBar>("ProgressBar1")->isHidden()) << "no bar before the first update";
  ASSERT_TRUE(runUpdate());

  ASSERT_EQ(dialogs.fileAsks.size(), 1u);
  EXPECT_EQ(dialogs.fileAsks[0].filter, QStringLiteral("Файл прошивки (*.fmw)|*.fmw"));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Прошивка успешно обновлена"));
  EXPECT_EQ(dialogs.shown[0].icon, DialogService::Icon::Information);

  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray payload = file.readAll().mid(15);
  const auto flash = beacon.flashImage(static_cast<std::size_t>(payload.size()));
  EXPECT_TRUE(std::equal(flash.begin(), flash.end(), payload.begin(),
                         [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); }));
  const auto* bar = find<QProgressBar>("ProgressBar1");
  EXPECT_FALSE(bar->isHidden()) << "the bar appears once an update writes";
  EXPECT_EQ(bar->maximum(), 4097);
  EXPECT_EQ(bar->value(), 4097);
}

TEST_F(FirmwareUpdateTest, AMissingFileIsReportedAndAnEmptyPayloadThenFillsTheBar) {
  const QString absent = dir.filePath(QStringLiteral("absent.fmw"));
  dialogs.files = {absent};
  ASSERT_TRUE(runUpdate());
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Ошибка открытия файла прошивки: %1: файл не найден").arg(absent));
  EXPECT_EQ(dialogs.shown[0].icon, DialogService::Icon::Warning);

  dialogs.files = {writeFirmware("second.fmw", 0)};
  ASSERT_TRUE(runUpdate());
  EXPECT_EQ(orsa::testing::last(dialogs.shown).text, QStringLiteral("Прошивка успешно обновлена"));
  const auto* bar = find<QProgressBar>("ProgressBar1");
  EXPECT_GT(bar->maximum(), 0) << "an empty payload is not an endless busy bar";
  EXPECT_EQ(bar->value(), bar->maximum());
}

}  // namespace
}  // namespace orsa::app::test
