#include "GnssCommands.h"
#include "ServiceWindowFixture.h"
#include "settings/Cp1251.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace orsa::app::test {
namespace {

constexpr std::uint8_t kGnssOff = 6;
const std::string kFix = "$GPGGA,202640.000,4404.1306,N,12118.8515,W,2,10,0.98,1127.7,M,-19.6,M,0000,0000*6C\r\n";

// The GPS tab against the simulated beacon, whose module streams nothing unless the test says so.
class GpsPageTest : public ServiceWindowFixture {
 protected:
  QCheckBox* relayBox() { return control<QCheckBox>("CheckBox1"); }
  QString memo() { return control<QPlainTextEdit>("Memo1")->toPlainText(); }
  bool waitForMemo(const QString& part, int ms = 4000) {
    return QTest::qWaitFor([&] { return memo().contains(part); }, ms);
  }
  // Checks the box and waits until the relay took the channel.
  void startRelay() {
    relayBox()->setChecked(true);
    ASSERT_TRUE(window->gnss().relayRunning());
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.session().channel.isOpen(); }, 3000));
  }
};

TEST_F(GpsPageTest, ASentenceSplitAcrossSecondsShowsWholeAfterTheLogAndFeedsTheStatus) {
  openWindow();
  window->appendLog(QStringLiteral("Модем запущен"));
  startRelay();
  beacon.gnssSends(kFix.substr(0, 40));
  ASSERT_TRUE(waitForMemo(QString::fromStdString(kFix.substr(0, 40))));
  EXPECT_FALSE(control<QLabel>("GnssStatusLabel")->text().contains(QStringLiteral("44.068843")));
  beacon.gnssSends(kFix.substr(40));
  ASSERT_TRUE(waitForMemo(QStringLiteral("*6C")));

  EXPECT_EQ(memo(), QStringLiteral("Модем запущен\n") + QString::fromStdString(kFix).remove(QLatin1Char('\r')));
  window->appendLog(QStringLiteral("Модем остановлен"));
  EXPECT_TRUE(memo().endsWith(QStringLiteral("*6C\nМодем остановлен"))) << "no empty line after the stream's own end";
  const QString status = control<QLabel>("GnssStatusLabel")->text();
  EXPECT_TRUE(status.contains(QStringLiteral("44.068843° N 121.314192° W"))) << status.toStdString();
  EXPECT_TRUE(status.contains(QStringLiteral("20:26:40"))) << status.toStdString();
}

TEST_F(GpsPageTest, UncheckingStopsTheRelayAtOnceAndAnyOperationStopsItFirst) {
  openWindow();
  startRelay();
  relayBox()->setChecked(false);
  EXPECT_FALSE(window->gnss().relayRunning()) << "stopped and joined before the uncheck returns";
  EXPECT_FALSE(form.session().gate.holder());
  beacon.gnssSends(kFix);
  QTest::qWait(1500);
  EXPECT_FALSE(memo().contains(QStringLiteral("$GPGGA"))) << "nothing is drained after the uncheck";

  // Checked again: one relay; the service operation then stops it instead of being refused.
  startRelay();
  relayBox()->setChecked(true);
  ASSERT_TRUE(waitForMemo(QStringLiteral("$GPGGA")));
  QTest::mouseClick(control<QWidget>("PageControl1")->findChild<QPushButton*>(QStringLiteral("Button4")),
                    Qt::LeftButton);
  EXPECT_FALSE(relayBox()->isChecked());
  EXPECT_FALSE(window->gnss().relayRunning());
  QSignalSpy finished(&window->commands(), &ServiceCommands::operationFinished);
  ASSERT_TRUE(finished.wait(5000));
  EXPECT_TRUE(memo().endsWith(QStringLiteral("GPS/ГЛОНАСС модуль остановлен"))) << memo().toStdString();
}

TEST_F(GpsPageTest, ARelayWithoutABeaconWarnsKeepsTheBoxCheckedAndRetriesWhenCheckedAgain) {
  openWindow();
  beacon.hangUp();
  relayBox()->setChecked(true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.shown.empty(); }, 3000));
  EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Устройство не подключено"));
  EXPECT_EQ(dialogs.shown[0].icon, DialogService::Icon::Warning);
  EXPECT_TRUE(relayBox()->isChecked());
  relayBox()->setChecked(false);
  relayBox()->setChecked(true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.shown.size() == 2; }, 3000));
  EXPECT_TRUE(memo().isEmpty());
}

TEST_F(GpsPageTest, TheFlashButtonStopsTheRelayFirstAndAFailedModuleStopLeavesItEnabled) {
  openWindow();
  dialogs.files = {makeFile(home.path(), QStringLiteral("loader.bin"), 100),
                   makeFile(home.path(), QStringLiteral("firmware.bin"), 100)};
  QTest::mouseClick(control<QWidget>("Button8"), Qt::LeftButton);
  QTest::mouseClick(control<QWidget>("Button9"), Qt::LeftButton);
  EXPECT_EQ(control<QLineEdit>("Edit2")->text(), home.filePath("loader.bin"));
  EXPECT_EQ(settings::Cp1251::toUtf8(config().load().daPath), home.filePath("loader.bin").toStdString());
  EXPECT_EQ(settings::Cp1251::toUtf8(config().load().firmwarePath), home.filePath("firmware.bin").toStdString());

  beacon.setFaults(sim::FaultPlan().dropReply(kGnssOff, 1));
  startRelay();
  QSignalSpy finished(&window->gnss(), &GnssCommands::flashFinished);
  press("Button7");
  EXPECT_FALSE(relayBox()->isChecked());
  EXPECT_FALSE(window->gnss().relayRunning());
  EXPECT_FALSE(control<QPushButton>("Button7")->isEnabled());
  ASSERT_TRUE(finished.wait(10000));
  EXPECT_TRUE(control<QPushButton>("Button7")->isEnabled());
  EXPECT_EQ(logLines().last(), QStringLiteral("GPS/ГЛОНАСС модуль не остановлен"));
  EXPECT_EQ(framesOfType(4), 0u) << "nothing follows the failed stop";
}

}  // namespace
}  // namespace orsa::app::test
