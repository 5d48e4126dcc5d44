#include "GnssCommands.h"
#include "ServiceWindowFixture.h"
#include "firmware/GPSUpdateThread.h"
#include "settings/Cp1251.h"
#include "sim/MtkGnssModule.h"

#include <QCheckBox>
#include <QLabel>
#include <QScrollBar>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

namespace orsa::app::test {
namespace {

constexpr std::uint8_t kGnssOff = 6;
constexpr std::size_t kLoaderSize = firmware::GPSUpdateThread::kLoaderBytes;
// Three seconds of a real module with a DGPS fix: the first is one the view cannot know it heard whole.
const std::string kEpochs =
    "$GPGGA,202642.000,4404.1305,N,12118.8515,W,2,11,0.83,1127.7,M,-19.6,M,0000,0000*66\r\n"
    "$GPGSA,A,3,20,16,09,03,07,10,23,19,27,30,05,,1.33,0.83,1.03*09\r\n"
    "$GPRMC,202642.000,A,4404.1305,N,12118.8515,W,0.00,0.00,130415,,,D*7A\r\n"
    "$GPZDA,202642.000,13,04,2015,,*56\r\n"
    "$GPGGA,202643.000,4404.1305,N,12118.8515,W,2,11,0.84,1127.7,M,-19.6,M,0000,0000*60\r\n"
    "$GPGSA,A,3,20,16,09,03,07,10,23,19,27,30,05,,1.33,0.84,1.03*0E\r\n"
    "$GPGSV,3,1,12,09,88,089,31,07,60,281,44,23,55,123,33,10,44,274,32*78\r\n"
    "$GPGSV,3,2,12,16,39,051,29,30,30,262,20,20,23,308,30,27,23,093,34*7F\r\n"
    "$GPGSV,3,3,12,19,13,123,27,03,07,176,19,05,05,328,13,47,,,*41\r\n"
    "$GPRMC,202643.000,A,4404.1305,N,12118.8515,W,0.02,171.47,130415,,,D*7D\r\n"
    "$GPZDA,202643.000,13,04,2015,,*57\r\n"
    "$GPGGA,202644.000,4404.1305,N,12118.8515,W,2,11,0.84,1127.7,M,-19.6,M,0000,0000*67\r\n";

// The GPS tab against the simulated beacon, whose module streams nothing unless the test says so.
class GpsPageTest : public ServiceWindowFixture {
 protected:
  QCheckBox* relayBox() { return control<QCheckBox>("CheckBox1"); }
  QString memo() { return withoutTimes(control<QPlainTextEdit>("Memo1")->toPlainText()); }
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

TEST_F(GpsPageTest, TheStreamFollowsTheLogAndTheReceiverShowsWholeEpochsUntilTheModuleFallsSilent) {
  openWindow();
  window->appendLog(QStringLiteral("Модем запущен"));
  startRelay();
  // Cut inside the second epoch: its first half is no status yet.
  const std::size_t cut = kEpochs.find("$GPGSV,3,2");
  beacon.gnssSends(kEpochs.substr(0, cut));
  ASSERT_TRUE(waitForMemo(QStringLiteral("$GPGSV,3,1")));
  auto* status = control<QLabel>("GnssStatusLabel");
  auto* sky = control<QTreeWidget>("ListSatellites");
  EXPECT_EQ(status->text(), QStringLiteral("Ожидание NMEA потока..."));
  beacon.gnssSends(kEpochs.substr(cut));
  ASSERT_TRUE(waitForMemo(QStringLiteral("*67")));
  const auto* log = control<QPlainTextEdit>("Memo1");
  EXPECT_EQ(log->verticalScrollBar()->value(), log->verticalScrollBar()->maximum()) << "the stream's end in view";
  EXPECT_EQ(log->horizontalScrollBar()->value(), 0) << "the lines' starts, with their times, in view";

  EXPECT_EQ(memo(), QStringLiteral("Модем запущен\n") + QString::fromStdString(kEpochs).remove(QLatin1Char('\r')));
  window->appendLog(QStringLiteral("Модем остановлен"));
  EXPECT_TRUE(memo().endsWith(QStringLiteral("*67\nМодем остановлен"))) << "no empty line after the stream's own end";
  const QString text = status->text();
  for (const char* part : {"Фикс: 3D DGPS", "GPS 11/12", "44.068842° N 121.314192° W", "высота 1127.7 м",
                           "UTC 20:26:43", "ошибок КС: 0"}) {
    EXPECT_TRUE(text.contains(QString::fromUtf8(part))) << part << " in " << text.toStdString();
  }
  for (const QString& line : text.split(QLatin1Char('\n'))) {
    EXPECT_LE(status->fontMetrics().horizontalAdvance(line), status->width()) << line.toStdString();
  }
  ASSERT_EQ(sky->topLevelItemCount(), 12);
  // By system, then number: GPS 3 first, SBAS 47 last; 16 seen at 39° 51° 29 dB-Hz and used.
  EXPECT_EQ(sky->topLevelItem(0)->text(1), QStringLiteral("3"));
  EXPECT_EQ(sky->topLevelItem(11)->text(0), QStringLiteral("SBAS"));
  const auto row = sky->findItems(QStringLiteral("16"), Qt::MatchExactly, 1);
  ASSERT_EQ(row.size(), 1);
  EXPECT_EQ((QStringList{row[0]->text(2), row[0]->text(3), row[0]->text(4), row[0]->text(5)}),
            (QStringList{QStringLiteral("39"), QStringLiteral("51"), QStringLiteral("29"), QStringLiteral("да")}));

  // Nothing for three seconds: the view says so and shows no satellites it no longer hears.
  ASSERT_TRUE(QTest::qWaitFor([&] { return status->text().startsWith(QStringLiteral("нет данных")); }, 6000))
      << status->text().toStdString();
  EXPECT_EQ(sky->topLevelItemCount(), 0);

  // Unchecked, nothing of the stream stays.
  beacon.gnssSends(kEpochs);
  relayBox()->setChecked(false);
  EXPECT_TRUE(status->text().isEmpty());
  EXPECT_EQ(sky->topLevelItemCount(), 0);
}

TEST_F(GpsPageTest, UncheckingStopsTheRelayAtOnceAndAnyOperationStopsItFirst) {
  openWindow();
  startRelay();
  relayBox()->setChecked(false);
  EXPECT_FALSE(window->gnss().relayRunning()) << "stopped and joined before the uncheck returns";
  EXPECT_FALSE(form.session().gate.holder());
  beacon.gnssSends(kEpochs);
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
  dialogs.files = {makeFile(home.path(), QStringLiteral("loader.bin"), kLoaderSize),
                   makeFile(home.path(), QStringLiteral("firmware.bin"), 2 * kLoaderSize)};
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
  EXPECT_FALSE(control<QPushButton>("ButtonGnssRecover")->isEnabled()) << "the two share the module";
  ASSERT_TRUE(finished.wait(10000));
  EXPECT_TRUE(control<QPushButton>("Button7")->isEnabled());
  EXPECT_TRUE(control<QPushButton>("ButtonGnssRecover")->isEnabled());
  EXPECT_TRUE(dialogs.shown.empty()) << "files of the usual sizes are not asked about";
  EXPECT_EQ(logLines().last(), QStringLiteral("GPS/ГЛОНАСС модуль не остановлен"));
  EXPECT_EQ(framesOfType(4), 0u) << "nothing follows the failed stop";
}

TEST_F(GpsPageTest, TheStopButtonEndsAFlashBeforeTheModuleHearsOfIt) {
  openWindow();
  control<QLineEdit>("Edit2")->setText(makeFile(home.path(), QStringLiteral("loader.bin"), kLoaderSize));
  control<QLineEdit>("Edit3")->setText(makeFile(home.path(), QStringLiteral("firmware.bin"), 2 * kLoaderSize));
  auto* stop = control<QPushButton>("ButtonStop");
  QSignalSpy finished(&window->gnss(), &GnssCommands::flashFinished);
  press("Button7");
  ASSERT_TRUE(stop->isEnabled());
  // Still in the quiet pause before the connect: the stop returns at once and nothing goes out.
  press("ButtonStop");
  ASSERT_TRUE(finished.wait(10000));
  EXPECT_FALSE(stop->isEnabled());
  EXPECT_TRUE(control<QPushButton>("Button7")->isEnabled());
  EXPECT_TRUE(beacon.trace().empty());
}

TEST_F(GpsPageTest, SwappedFilesAreAskedAboutAndOnlyAYesFlashesThemAndShowsBothReleases) {
  openWindow();
  // Given the wrong way round: the loader's field names the firmware, and the other way.
  const QString firmwareFile = makeFile(home.path(), QStringLiteral("firmware.bin"), kLoaderSize + 4000);
  const QString loaderFile = makeFile(home.path(), QStringLiteral("loader.bin"), kLoaderSize);
  control<QLineEdit>("Edit2")->setText(firmwareFile);
  control<QLineEdit>("Edit3")->setText(loaderFile);
  // The module names its release before the flash and its new one after it.
  beacon.withGnssModule([](sim::MtkGnssModule& module) { module.setRelease("AXN_3.8_3333_16070400"); });
  dialogs.answers = {DialogService::Answer::No};
  press("Button7");
  const QString question = QString::fromStdString(firmware::unusualFlashFiles(kLoaderSize + 4000, kLoaderSize));
  ASSERT_FALSE(question.isEmpty());
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, question + QStringLiteral(". Продолжить?"));
  EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Конфигуратор"));
  EXPECT_EQ(dialogs.shown[0].icon, DialogService::Icon::Question);
  EXPECT_EQ(dialogs.shown[0].buttons, DialogService::Buttons::YesNo);
  EXPECT_FALSE(window->gnss().flashRunning());
  EXPECT_TRUE(control<QPushButton>("Button7")->isEnabled());
  EXPECT_TRUE(beacon.trace().empty());
  EXPECT_TRUE(logLines().isEmpty());

  dialogs.answers = {DialogService::Answer::Yes};
  QSignalSpy finished(&window->gnss(), &GnssCommands::flashFinished);
  press("Button7");
  EXPECT_EQ(dialogs.shown.size(), 2u);
  ASSERT_TRUE(finished.wait(60000));
  EXPECT_EQ(logLines().last(),
            QStringLiteral("Прошивка GPS модуля завершена: модуль подтвердил %1 байт прошивки").arg(kLoaderSize))
      << logLines().join(QLatin1Char('\n')).toStdString();
  beacon.withGnssModule([&](const sim::MtkGnssModule& module) {
    EXPECT_EQ(module.firmware(), bytesOf(loaderFile)) << "the files went where the fields named them";
  });
  const std::string after = beacon.withGnssModule([](const sim::MtkGnssModule& module) { return module.release(); });
  ASSERT_NE(after, "AXN_3.8_3333_16070400");
  EXPECT_EQ(control<QLabel>("LabelGnssRelease")->text(),
            QStringLiteral("Версия модуля: AXN_3.8_3333_16070400 → ") + QString::fromStdString(after));
}

TEST_F(GpsPageTest, TheRecoveryStopsTheRelayAndBringsTheModuleBackFromItsBootRom) {
  openWindow();
  runOperation("Button3");
  // Left in its boot ROM by something other than this window.
  beacon.withGnssModule([](sim::MtkGnssModule& module) {
    const std::string enter = "$PMTK180*3B\r\n";
    module.onData(std::span(reinterpret_cast<const std::uint8_t*>(enter.data()), enter.size()));
  });
  ASSERT_EQ(beacon.withGnssModule([](const sim::MtkGnssModule& module) { return module.mode(); }),
            sim::MtkGnssModule::Mode::BootRom);
  startRelay();

  QSignalSpy finished(&window->gnss(), &GnssCommands::flashFinished);
  press("ButtonGnssRecover");
  EXPECT_FALSE(relayBox()->isChecked());
  EXPECT_FALSE(control<QPushButton>("Button7")->isEnabled()) << "no flash while the module is being recovered";
  ASSERT_TRUE(finished.wait(10000));
  EXPECT_EQ(logLines().last(), QStringLiteral("Модуль возвращён в обычный режим (9600 бод, питание перезапущено)"));
  EXPECT_EQ(beacon.withGnssModule([](const sim::MtkGnssModule& module) { return module.mode(); }),
            sim::MtkGnssModule::Mode::Nmea);
  EXPECT_TRUE(control<QPushButton>("ButtonGnssRecover")->isEnabled());
}

}  // namespace
}  // namespace orsa::app::test
