#include "BeaconFixture.h"
#include "PortPanel.h"
#include "SummaryPage.h"
#include "link/PortList.h"
#include "support/FakePortMap.h"
#include "link/SerialPortMap.h"

#include <QProcess>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableWidget>

namespace orsa::app::test {
namespace {

using settings::SlotId;
namespace figures = orsa::testing::figures;
constexpr std::uint8_t kRead = figures::kReadSettingSlot;
constexpr std::uint8_t kWrite = figures::kWriteSettingSlot;

class SettingsExchangeTest : public BeaconFixture {
 protected:
  QString cell(int row, int column) { return form.summaryPage()->grid()->item(row, column)->text(); }
};

TEST_F(SettingsExchangeTest, ReadPutsTheBeaconsSettingsOnThePagesAndTheSummary) {
  setBeaconText(SlotId::OwnerPhone, "+79161234567");
  setBeaconText(SlotId::TimeZone, "-5");
  setBeaconText(SlotId::ContactTime, "0930");
  setBeaconText(SlotId::CoordFormat, "1");
  setBeaconText(SlotId::DeliveryMode, "2");
  setBeaconText(SlotId::ServerHost, "srv.example");
  setBeaconText(SlotId::WialonEnabled, "1");
  setBeaconText(SlotId::WialonPort, "7000");
  setBeaconText(SlotId::MotionMode, "3");
  setBeaconText(SlotId::GuardIntervals, "2200060011001800");
  setBeaconText(SlotId::MotionTimeout, "60");
  setBeaconText(SlotId::ZoneControl, "2 007");
  setBeaconText(SlotId::BalanceCode, "*102#");

  runExchange("SpeedButton4");

  EXPECT_TRUE(dialogs.shown.empty());                            // a successful read says nothing
  EXPECT_TRUE(form.settingsCommands().lastExchangeSucceeded());  // ...but is known to have succeeded
  EXPECT_EQ(find<QLineEdit>("Edit1")->text(), QStringLiteral("+79161234567"));
  EXPECT_EQ(find<QComboBox>("ComboBox1")->currentText(), QStringLiteral("UTC (-05:00)"));
  EXPECT_EQ(find<QComboBox>("ComboBox2")->currentText(), QStringLiteral("09"));
  EXPECT_EQ(find<QComboBox>("ComboBox3")->currentText(), QStringLiteral("30"));
  EXPECT_TRUE(find<QRadioButton>("RadioButton2")->isChecked());
  EXPECT_EQ(find<QComboBox>("ComboBox19")->currentText(), QStringLiteral("Сервер (ORSA)"));
  EXPECT_EQ(find<QLineEdit>("Edit7")->text(), QStringLiteral("srv.example"));
  EXPECT_TRUE(find<QCheckBox>("CheckBox3")->isChecked());
  EXPECT_EQ(find<QLineEdit>("Edit9")->text(), QStringLiteral("7000"));
  EXPECT_TRUE(find<QRadioButton>("RadioButton11")->isChecked());
  EXPECT_FALSE(find<QRadioButton>("RadioButton8")->isChecked());
  EXPECT_EQ(find<QComboBox>("ComboBox4")->currentText(), QStringLiteral("22"));
  EXPECT_EQ(find<QComboBox>("ComboBox11")->currentText(), QStringLiteral("00"));
  EXPECT_EQ(find<QComboBox>("ComboBox10")->currentText(), QStringLiteral("18"));
  EXPECT_EQ(find<QComboBox>("ComboBox13")->currentText(), QStringLiteral("60"));
  EXPECT_EQ(find<QComboBox>("ComboBox18")->currentText(), QStringLiteral("Режим 2"));
  EXPECT_EQ(find<QLineEdit>("Edit6")->text(), QStringLiteral("7"));
  EXPECT_TRUE(find<QRadioButton>("RadioButton7")->isChecked());
  EXPECT_EQ(find<QLineEdit>("Edit4")->text(), QStringLiteral("*102#"));
  EXPECT_TRUE(find<QLineEdit>("Edit4")->isEnabled());
  EXPECT_EQ(find<QLabel>("Label19")->text(), QString::fromStdString(beaconText(SlotId::DeviceImei)));

  EXPECT_EQ(cell(0, 0), QStringLiteral("Номер владельца"));
  EXPECT_EQ(cell(0, 1), QStringLiteral("+79161234567"));
  EXPECT_EQ(cell(3, 1), QStringLiteral("09:30"));
  EXPECT_EQ(cell(5, 1), QStringLiteral("Сервер"));
  EXPECT_EQ(cell(10, 1), QStringLiteral("c 22:00 до 06:00"));
  EXPECT_EQ(cell(16, 1), QStringLiteral("Режим 2"));
  EXPECT_EQ(cell(17, 1), QStringLiteral("7 км"));
  EXPECT_EQ(cell(19, 1), QStringLiteral("*102#"));

  EXPECT_EQ(framesOfType(kRead), 30u);
  EXPECT_FALSE(form3.isVisible());
  EXPECT_EQ(form3.progressBar()->maximum(), 29);
  EXPECT_EQ(form3.progressBar()->value(), 28);
  // 29 slots of 32 bytes.
  EXPECT_TRUE(form3.progressBar()->text().startsWith(QStringLiteral("100 % · 928 из 928 байт")))
      << form3.progressBar()->text().toStdString();
  const QString dump = form6.memo()->toPlainText();
  EXPECT_TRUE(dump.contains(QStringLiteral("+ 7 9 1 6 1 2 3 4 5 6 7 0x00 "))) << dump.left(200).toStdString();
  EXPECT_FALSE(form.session().channel.isOpen());
}

TEST_F(SettingsExchangeTest, WriteStoresExactlyTheCollectedTextsInTheBeacon) {
  find<QLineEdit>("Edit1")->setText(QStringLiteral("+79990001122"));
  find<QComboBox>("ComboBox1")->setCurrentIndex(0);
  find<QRadioButton>("RadioButton12")->setChecked(true);
  find<QComboBox>("ComboBox13")->setCurrentIndex(94);
  find<QComboBox>("ComboBox18")->setCurrentIndex(1);
  find<QLineEdit>("Edit6")->setText(QStringLiteral("25"));
  find<QLineEdit>("Edit3")->setText(QStringLiteral("-1"));
  setBeaconText(SlotId::ConstantSlotA, "7");  // whatever the beacon held, a write sends "1"

  runExchange("SpeedButton3");

  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Настройки успешно записаны"));
  EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Конфигуратор"));
  EXPECT_EQ(dialogs.shown[0].icon, DialogService::Icon::Information);
  EXPECT_TRUE(form.settingsCommands().lastExchangeSucceeded());
  EXPECT_EQ(framesOfType(kWrite), 25u);

  EXPECT_EQ(beaconText(SlotId::OwnerPhone), "+79990001122");
  EXPECT_EQ(beaconText(SlotId::TimeZone), "-12");
  EXPECT_EQ(beaconText(SlotId::CoordFormat), "2");
  EXPECT_EQ(beaconText(SlotId::MotionTimeout), "99");
  EXPECT_EQ(beaconText(SlotId::ZoneControl), "1 025");
  EXPECT_EQ(beaconText(SlotId::BalanceThreshold), "-1");
  EXPECT_EQ(beaconText(SlotId::ConstantSlotA), "1");
  EXPECT_EQ(beaconText(SlotId::ConstantSlotB), "1");
  // Every written cell holds the record's 32 bytes as they stood.
  for (std::size_t p = 0; p < figures::kWrittenSlots; ++p) {
    EXPECT_EQ(beacon.settingsCell(figures::kExchangeParameters[p]),
              form.session().record.bytes(static_cast<SlotId>(figures::kExchangeSlots[p])))
        << p;
  }
}

TEST_F(SettingsExchangeTest, AFailedReadLeavesThePagesAsTheyWere) {
  find<QLineEdit>("Edit1")->setText(QStringLiteral("+7000"));
  find<QComboBox>("ComboBox16")->setCurrentIndex(7);
  const settings::SettingsPage before = pages();
  beacon.setFaults(sim::FaultPlan().dropReply(kRead, 6));

  runExchange("SpeedButton4");

  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Ошибка во время чтения параметров"));
  EXPECT_EQ(dialogs.shown[0].icon, DialogService::Icon::Warning);
  EXPECT_FALSE(form.settingsCommands().lastExchangeSucceeded());
  EXPECT_EQ(pages(), before);
  EXPECT_TRUE(cell(0, 0).isEmpty());  // the summary was not filled either
  EXPECT_FALSE(form3.isVisible());
  // Slots before the failing one hold the beacon's texts, the rest are empty.
  EXPECT_EQ(form.session().record.text(SlotId::CoordFormat), beaconText(SlotId::CoordFormat));
  EXPECT_EQ(form.session().record.text(SlotId::DeliveryMode), "");
  EXPECT_EQ(form.session().record.text(SlotId::DeviceImei), "");
}

TEST_F(SettingsExchangeTest, ASecondClickDuringARunStartsNothing) {
  QSignalSpy finished(&form.settingsCommands(), &SettingsCommands::exchangeFinished);
  QTest::mouseClick(find<QWidget>("SpeedButton4"), Qt::LeftButton);
  QTest::mouseClick(find<QWidget>("SpeedButton4"), Qt::LeftButton);
  QTest::mouseClick(find<QWidget>("SpeedButton3"), Qt::LeftButton);
  ASSERT_TRUE(finished.wait(20000));
  EXPECT_EQ(framesOfType(kRead), 30u);
  EXPECT_EQ(framesOfType(kWrite), 0u);
  EXPECT_TRUE(dialogs.shown.empty());
  // Once it has ended the next click runs again.
  runExchange("SpeedButton3");
  EXPECT_EQ(framesOfType(kWrite), 25u);
}

TEST_F(SettingsExchangeTest, RefusedCollectionSendsNothing) {
  find<QLineEdit>("Edit2")->setText(QStringLiteral("123"));
  form.selectSection(4);
  QTest::mouseClick(find<QWidget>("SpeedButton3"), Qt::LeftButton);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("PIN-код устройства должен состоять из четырех цифр"));
  EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("конфигуратор"));
  EXPECT_EQ(dialogs.shown[0].icon, DialogService::Icon::Warning);
  EXPECT_EQ(form.pageControl()->currentIndex(), 0);
  EXPECT_EQ(form.currentSection(), 4);  // the PIN check shows the page only
  EXPECT_FALSE(form.settingsCommands().busy());

  find<QLineEdit>("Edit2")->setText(QStringLiteral("0123"));
  find<QLineEdit>("Edit3")->setText(QStringLiteral("abc"));
  QTest::mouseClick(find<QWidget>("SpeedButton3"), Qt::LeftButton);
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[1].text, QStringLiteral("'abc' is not a valid integer value"));
  EXPECT_FALSE(form.settingsCommands().busy());
  EXPECT_TRUE(beacon.trace().empty());
}

TEST_F(SettingsExchangeTest, EmptyPhoneIsAskedForAndNoWritesNothing) {
  find<QLineEdit>("Edit1")->clear();
  form.selectSection(3);
  dialogs.answers = {DialogService::Answer::No};
  QTest::mouseClick(find<QWidget>("SpeedButton3"), Qt::LeftButton);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text,
            QStringLiteral("Вы не указали номер телефона владельца\nЗаписать настройки без него?"));
  EXPECT_EQ(dialogs.shown[0].buttons, DialogService::Buttons::YesNo);
  EXPECT_EQ(form.currentSection(), 1);
  EXPECT_EQ(form.pageControl()->currentIndex(), 0);
  EXPECT_FALSE(form.settingsCommands().busy());

  dialogs.answers = {DialogService::Answer::Yes};
  runExchange("SpeedButton3");
  EXPECT_EQ(beaconText(SlotId::OwnerPhone), "00000");
}

TEST_F(SettingsExchangeTest, ClosingTheWindowDuringAReadEndsAtOnceAndFreesThePort) {
  beacon.setFaults(sim::FaultPlan().delayReply(kRead, sim::FaultPlan::everyFrame, 3000));
  form.show();
  QTest::mouseClick(find<QWidget>("SpeedButton4"), Qt::LeftButton);
  ASSERT_TRUE(beacon.waitForFrames(1, std::chrono::seconds(5)));
  ASSERT_TRUE(form.settingsCommands().busy());

  QSignalSpy closed(&form, &TForm1::closed);
  form.close();
  EXPECT_EQ(closed.count(), 1);
  form.stopOperations();
  EXPECT_FALSE(form.settingsCommands().busy());
  EXPECT_FALSE(form.session().channel.isOpen());
  EXPECT_TRUE(link::portOpens(beacon.portPath()));
  EXPECT_TRUE(dialogs.shown.empty());  // stopping is not a failure to report
}

TEST_F(SettingsExchangeTest, DefaultsKeepTheTypedPhoneAndLeaveTheSummary) {
  find<QLineEdit>("Edit1")->setText(QStringLiteral("+7123"));
  find<QLineEdit>("Edit2")->setText(QStringLiteral("1111"));
  find<QComboBox>("ComboBox1")->setCurrentIndex(0);
  find<QRadioButton>("RadioButton9")->setChecked(true);
  form.summaryPage()->setCell(2, 1, QStringLiteral("marker"));

  QTest::mouseClick(find<QWidget>("SpeedButton5"), Qt::LeftButton);

  EXPECT_EQ(find<QLineEdit>("Edit1")->text(), QStringLiteral("+7123"));
  EXPECT_EQ(find<QLineEdit>("Edit2")->text(), QStringLiteral("5820"));
  EXPECT_EQ(find<QComboBox>("ComboBox1")->currentIndex(), 15);
  EXPECT_TRUE(find<QRadioButton>("RadioButton8")->isChecked());
  EXPECT_TRUE(find<QRadioButton>("RadioButton13")->isChecked());
  EXPECT_EQ(find<QComboBox>("ComboBox19")->currentIndex(), 3);
  EXPECT_FALSE(find<QLineEdit>("Edit4")->isEnabled());
  EXPECT_EQ(cell(2, 1), QStringLiteral("marker"));
  EXPECT_TRUE(beacon.trace().empty());
}

TEST_F(SettingsExchangeTest, ThePortPanelSaysWhyThePortDidNotOpenUntilAConnectSucceeds) {
  const QString missing = QStringLiteral("/dev/orsa-no-such-port");
  form.portPanel()->setPortText(missing);
  runExchange("SpeedButton4");
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Устройство не подключено"));
  EXPECT_TRUE(dialogs.shown[0].details.contains(missing)) << dialogs.shown[0].details.toStdString();
  EXPECT_TRUE(form.portPanel()->toolTip().contains(missing)) << form.portPanel()->toolTip().toStdString();
  EXPECT_TRUE(form.portPanel()->portList()->toolTip().contains(missing));
  EXPECT_FALSE(find<QLabel>("PortStatusLabel")->isHidden());

  form.portPanel()->setPortText(QString::fromStdString(beacon.portPath()));
  runExchange("SpeedButton4");
  EXPECT_EQ(dialogs.shown.size(), 1u);
  EXPECT_TRUE(form.portPanel()->toolTip().isEmpty()) << form.portPanel()->toolTip().toStdString();
  EXPECT_TRUE(form.portPanel()->portList()->toolTip().isEmpty());
  EXPECT_TRUE(find<QLabel>("PortStatusLabel")->isHidden());
}

TEST_F(SettingsExchangeTest, APortHeldByAnotherProgramNamesItWholeAndTheReasonGoesWithThePort) {
  // Another program with the beacon's port open, as a terminal left running would have it.
  QProcess holder;
  holder.setStandardInputFile(QString::fromStdString(beacon.portPath()));
  holder.start(QStringLiteral("sleep"), {QStringLiteral("30")});
  ASSERT_TRUE(holder.waitForStarted(5000));
  const QString pid = QStringLiteral("(pid %1)").arg(holder.processId());

  runExchange("SpeedButton4");
  holder.kill();
  holder.waitForFinished(5000);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Устройство не подключено"));
  const QString reason = dialogs.shown[0].details;
  EXPECT_TRUE(reason.contains(QString::fromStdString(beacon.portPath()))) << reason.toStdString();
  EXPECT_TRUE(reason.contains(QStringLiteral("sleep ") + pid)) << reason.toStdString();
  // The line under the list keeps both ends of the reason, the holder's pid included, and its tip
  // holds it whole.
  auto* line = find<QLabel>("PortStatusLabel");
  EXPECT_TRUE(line->text().endsWith(pid)) << line->text().toStdString();
  EXPECT_TRUE(line->text().startsWith(QStringLiteral("порт "))) << line->text().toStdString();
  EXPECT_LE(line->fontMetrics().horizontalAdvance(line->text()), line->width());
  EXPECT_EQ(line->toolTip(), reason);

  // Another port is another story: the reason goes at once, before any connect.
  form.portPanel()->setPortText(QStringLiteral("/dev/ttyUSB9"));
  EXPECT_TRUE(line->isHidden());
  EXPECT_TRUE(form.portPanel()->toolTip().isEmpty());
  runExchange("SpeedButton4");
  ASSERT_FALSE(line->isHidden());
  QTest::mouseClick(form.portPanel()->autoCheckBox(), Qt::LeftButton);
  EXPECT_TRUE(line->isHidden());
}

TEST_F(SettingsExchangeTest, AnUnplugMidReadSaysTheBeaconWasLostWithTheProgressWindowAlreadyGone) {
  beacon.setFaults(sim::FaultPlan().hangUpAfter(6));
  form.show();
  std::optional<bool> progressBehindTheBox;
  dialogs.onShow = [&](const ScriptedDialogService::Shown&) { progressBehindTheBox = form3.isVisible(); };
  runExchange("SpeedButton4");
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Ошибка во время чтения параметров"));
  EXPECT_EQ(dialogs.shown[0].details, QStringLiteral("маяк отключён во время операции — подключите его и повторите"));
  EXPECT_GT(form3.progressBar()->value(), 0) << "the progress window was up before the unplug";
  EXPECT_EQ(progressBehindTheBox, false);
}

TEST_F(SettingsExchangeTest, ATimeOutIsNoUnplug) {
  beacon.setFaults(sim::FaultPlan().dropReply(kWrite, 4));
  runExchange("SpeedButton3");
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Ошибка во время записи параметров"));
  EXPECT_TRUE(dialogs.shown[0].details.isEmpty()) << dialogs.shown[0].details.toStdString();
}

TEST(PortChoice, TheListShowsWhatTheAutomaticChoiceTakesAndCannotBeChangedMeanwhile) {
  class TwoPortMap final : public link::SerialPortMap {
   public:
    std::vector<Entry> entries() const override {
      return {{"/sys/devices/serial8250", "/dev/ttyS0"}, {"/sys/devices/usb1/cdc_acm", "/dev/ttyACM7"}};
    }
    std::string candidateMarker() const override { return "cdc_acm"; }
  };
  ScriptedDialogService dialogs;
  TForm1 form(dialogs, std::make_unique<TwoPortMap>());
  PortPanel* panel = form.portPanel();
  ASSERT_TRUE(panel->automatic());
  EXPECT_EQ(panel->portText(), QStringLiteral("/dev/ttyACM7"));
  EXPECT_FALSE(panel->portList()->isEnabled());
  EXPECT_EQ(panel->portList()->findText(QStringLiteral("/dev/ttyS0")), -1);

  // By hand: the list is the user's; what was typed there comes back after an automatic spell.
  QTest::mouseClick(panel->autoCheckBox(), Qt::LeftButton);
  EXPECT_TRUE(panel->portList()->isEnabled());
  panel->setPortText(QStringLiteral("/dev/ttyUSB3"));
  QTest::mouseClick(panel->autoCheckBox(), Qt::LeftButton);
  EXPECT_EQ(panel->portText(), QStringLiteral("/dev/ttyACM7"));
  QTest::mouseClick(panel->autoCheckBox(), Qt::LeftButton);
  EXPECT_EQ(panel->portText(), QStringLiteral("/dev/ttyUSB3"));
}

TEST(SettingsNotConnected, WithoutABeaconTheReadSaysSo) {
  ScriptedDialogService dialogs;
  TForm1 form(dialogs, std::make_unique<orsa::testing::FakePortMap>());
  TForm3 form3(&form);
  form.attachWindows(nullptr, &form3, nullptr, nullptr, nullptr);
  QSignalSpy finished(&form.settingsCommands(), &SettingsCommands::exchangeFinished);
  form.settingsCommands().read();
  ASSERT_TRUE(finished.wait(10000));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Устройство не подключено"));
  EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Конфигуратор"));
  EXPECT_EQ(dialogs.shown[0].icon, DialogService::Icon::Warning);
  EXPECT_FALSE(form.session().channel.isOpen());
}

}  // namespace
}  // namespace orsa::app::test
