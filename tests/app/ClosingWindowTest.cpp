#include "FirmwareCommands.h"
#include "GnssCommands.h"
#include "ServiceWindowFixture.h"
#include "firmware/GPSUpdateThread.h"
#include "link/PortList.h"
#include "support/BeaconFigures.h"

#include <QFile>

namespace orsa::app::test {
namespace {

namespace figures = orsa::testing::figures;

constexpr std::uint8_t kFirmwareBlock = 11;
const QString kAbortQuestion = QStringLiteral("Прервать обновление? Маяк останется без рабочей прошивки");

// What closing the main window does to the operation under way.
class ClosingWindowTest : public ServiceWindowFixture {
 protected:
  void SetUp() override { form.show(); }
  void expectAbortQuestion(std::size_t index) {
    ASSERT_GT(dialogs.shown.size(), index);
    const auto& asked = dialogs.shown[index];
    EXPECT_EQ(asked.text, kAbortQuestion);
    EXPECT_EQ(asked.buttons, DialogService::Buttons::YesNo);
    EXPECT_EQ(asked.preferred, DialogService::Answer::No);
  }
};

TEST_F(ClosingWindowTest, DuringAFirmwareUpdateNoKeepsItRunningAndYesEndsIt) {
  beacon.setFaults(sim::FaultPlan().delayReply(kFirmwareBlock, sim::FaultPlan::everyFrame, 200));
  QFile image(home.filePath(QStringLiteral("image.fmw")));
  ASSERT_TRUE(image.open(QIODevice::WriteOnly));
  image.write(QByteArray(15 + 20 * 2048, '\x5A'));
  image.close();
  dialogs.files = {image.fileName()};
  QSignalSpy closed(&form, &TForm1::closed);
  form.firmwareCommands().update();
  ASSERT_TRUE(framesArrive(3));

  dialogs.answers = {DialogService::Answer::No};
  EXPECT_FALSE(form.close());
  expectAbortQuestion(0);
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(closed.count(), 0);
  EXPECT_TRUE(form.firmwareCommands().busy());

  dialogs.answers = {DialogService::Answer::Yes};
  EXPECT_TRUE(form.close());
  expectAbortQuestion(1);
  EXPECT_EQ(closed.count(), 1);
  form.stopOperations();
  EXPECT_FALSE(form.firmwareCommands().busy());
  // Twenty blocks of 2048 bytes make the image; the stop came long before the last.
  EXPECT_LT(framesOfType(kFirmwareBlock), 20u);
  EXPECT_TRUE(link::portOpens(beacon.portPath()));
}

TEST_F(ClosingWindowTest, DuringAGnssFlashTheSameQuestionIsAsked) {
  openWindow();
  form.attachWindows(nullptr, &form3, nullptr, window.get(), &form6);
  const std::size_t loaderSize = firmware::GPSUpdateThread::kLoaderBytes;
  window->gnss().startFlash(makeFile(home.path(), QStringLiteral("loader.bin"), loaderSize),
                            makeFile(home.path(), QStringLiteral("firmware.bin"), 2 * loaderSize));
  ASSERT_TRUE(window->gnss().flashRunning());

  dialogs.answers = {DialogService::Answer::No};
  EXPECT_FALSE(form.close());
  expectAbortQuestion(0);
  EXPECT_TRUE(window->gnss().flashRunning());

  QSignalSpy finished(&window->gnss(), &GnssCommands::flashFinished);
  window->gnss().stopFlash();
  ASSERT_TRUE(finished.wait(20000));
  // Nothing to lose any more: the window closes without a word.
  const std::size_t asked = dialogs.shown.size();
  EXPECT_TRUE(form.close());
  EXPECT_EQ(dialogs.shown.size(), asked);
}

TEST_F(ClosingWindowTest, DuringASettingsWriteTheWriteEndsFirst) {
  beacon.setFaults(sim::FaultPlan().delayReply(figures::kWriteSettingSlot, sim::FaultPlan::everyFrame, 60));
  QSignalSpy closed(&form, &TForm1::closed);
  QSignalSpy finished(&form.settingsCommands(), &SettingsCommands::exchangeFinished);
  form.settingsCommands().write();
  ASSERT_TRUE(framesArrive(2));

  EXPECT_FALSE(form.close());
  EXPECT_EQ(closed.count(), 0);
  ASSERT_TRUE(finished.wait(20000));
  EXPECT_EQ(framesOfType(figures::kWriteSettingSlot), 25u);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Настройки успешно записаны"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return closed.count() == 1; }, 2000));
  EXPECT_FALSE(form.isVisible());
}

}  // namespace
}  // namespace orsa::app::test
