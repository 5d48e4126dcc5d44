#include "ServiceWindowFixture.h"
#include "ServiceCommands.h"
#include "TForm5.h"
#include "service/ConfigIni.h"
#include "settings/Cp1251.h"
#include "sim/GsmModemModel.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include <fstream>
#include <memory>

namespace orsa::app::test {
namespace {

constexpr std::uint8_t kModemOn = 3;
constexpr std::uint8_t kModemOff = 5;

using ServiceWindowOperationsTest = ServiceWindowFixture;

TEST_F(ServiceWindowOperationsTest, ShowsEveryControlOnItsTabWithConfigIniValues) {
  ASSERT_TRUE(config().write("Directory", "/no/such/folder"));
  ASSERT_TRUE(config().write("DAPath", "/opt/gnss/loader.bin"));
  ASSERT_TRUE(config().write("FIRMWAREPATH", "/opt/gnss/\xCF\xF0\xEE\xF8\xE8\xE2\xEA\xE0.bin"));
  ASSERT_TRUE(config().write("phone", "+79160001122"));
  TForm5& service = openWindow();

  EXPECT_EQ(service.size(), QSize(704, 563));
  EXPECT_TRUE(service.windowTitle().isEmpty());
  auto* pages = control<QTabWidget>("PageControl1");
  ASSERT_EQ(pages->count(), 3);
  EXPECT_EQ(pages->tabText(0), QStringLiteral("GSM"));
  EXPECT_EQ(pages->tabText(1), QStringLiteral("GPS"));
  EXPECT_EQ(pages->tabText(2), QStringLiteral("SIM-карта"));
  EXPECT_EQ(pages->currentIndex(), 0);
  const std::vector<std::pair<int, std::vector<std::pair<const char*, QString>>>> buttons = {
      {0,
       {{"Button1", QStringLiteral("Запуск GSM модуля")},
        {"Button2", QStringLiteral("Остановка GSM модуля")},
        {"Button5", QStringLiteral("Выбрать папку с файлами")},
        {"Button6", QStringLiteral("Записать файлы")},
        {"Button12", QStringLiteral("Отправить IMEI номер в SMS")},
        {"Button13", QStringLiteral("Совершить звонок")},
        {"Button14", QStringLiteral("Отменить звонок")}}},
      {1,
       {{"Button3", QStringLiteral("Запуск GPS модуля")},
        {"Button4", QStringLiteral("Остановка GPS модуля")},
        {"Button8", QStringLiteral("...")},
        {"Button9", QStringLiteral("...")},
        {"Button7", QStringLiteral("Обновить прошивку")}}},
      {2,
       {{"Button10", QStringLiteral("Создать SIM-курту для тестирования")},
        {"Button11", QStringLiteral("Деактивировать SIM-карту для тестирования")}}},
  };
  for (const auto& [tab, onTab] : buttons) {
    for (const auto& [name, text] : onTab) {
      auto* b = pages->widget(tab)->findChild<QPushButton*>(QString::fromLatin1(name));
      ASSERT_NE(b, nullptr) << name;
      EXPECT_EQ(b->text(), text) << name;
      // The caption fits its button.
      EXPECT_LE(b->fontMetrics().horizontalAdvance(text) + 12, b->width()) << name;
    }
  }
  EXPECT_EQ(control<QPushButton>("Button15")->text(), QStringLiteral("Очистить"));
  EXPECT_EQ(control<QCheckBox>("CheckBox1")->text(), QStringLiteral("Транслировать NMEA поток"));
  EXPECT_EQ(control<QProgressBar>("ProgressBar1")->maximum(), 100);

  EXPECT_EQ(control<QLineEdit>("Edit1")->text(), QStringLiteral("/no/such/folder"));
  EXPECT_EQ(control<QLineEdit>("Edit2")->text(), QStringLiteral("/opt/gnss/loader.bin"));
  EXPECT_EQ(control<QLineEdit>("Edit3")->text(), QStringLiteral("/opt/gnss/Прошивка.bin"));
  EXPECT_EQ(control<QLineEdit>("Edit3")->cursorPosition(), control<QLineEdit>("Edit3")->text().size());
  EXPECT_EQ(control<QLineEdit>("Edit4")->text(), QStringLiteral("+79160001122"));
  EXPECT_TRUE(service.uploadList().files.empty());
  EXPECT_EQ(logLines().size(), 1);  // the folder that went away

  // Each change of the phone is on the disk at once, in the file's code page.
  QTest::keyClick(control<QLineEdit>("Edit4"), Qt::Key_Backspace);
  EXPECT_EQ(config().read("Phone"), "+7916000112");
  control<QLineEdit>("Edit4")->setText(QStringLiteral("Дом"));
  EXPECT_EQ(config().read("Phone"), "\xC4\xEE\xEC");
  EXPECT_EQ(config().read("FirmwarePath"), "/opt/gnss/\xCF\xF0\xEE\xF8\xE8\xE2\xEA\xE0.bin");

  press("Button15");
  EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(ServiceWindowOperationsTest, EmptyPhoneNumberIsLoggedAndNothingIsSent) {
  openWindow();
  press("Button12");
  press("Button13");
  EXPECT_EQ(logLines(), QStringList({QStringLiteral("Нет номера телефона. Передача SMS отменена"),
                                     QStringLiteral("Нет номера телефона. Звонок отменён")}));
  EXPECT_FALSE(window->commands().busy());
  EXPECT_TRUE(beacon.trace().empty());
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ServiceWindowOperationsTest, ModemStartIsLoggedStepByStep) {
  openWindow();
  runOperation("Button1");
  EXPECT_EQ(logLines(), QStringList({QStringLiteral("Запуск модема..."), QStringLiteral("Модем запущен"),
                                     QStringLiteral("Модем сконфигурирован")}));
  EXPECT_EQ(framesOfType(kModemOn), 1u);
  EXPECT_FALSE(beacon.withGsmModem([](const sim::GsmModemModel& modem) { return modem.echoes(); }));
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ServiceWindowOperationsTest, MissingBeaconIsAWarningBoxAndNoLogLine) {
  openWindow();
  beacon.hangUp();
  runOperation("Button2");
  EXPECT_TRUE(logLines().isEmpty());
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Устройство не подключено"));
  EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Конфигуратор"));
  EXPECT_EQ(dialogs.shown[0].icon, DialogService::Icon::Warning);
}

TEST_F(ServiceWindowOperationsTest, FolderOfConfigIniAndChosenFolderAreUploadedIntoTheModem) {
  QTemporaryDir first;
  QTemporaryDir second;
  const QString empty = makeFile(first.path(), QStringLiteral("a.AMR"), 0);
  const QString chunkAndOne = makeFile(first.path(), QStringLiteral("b.amr"), 257);
  const QString longer = makeFile(first.path(), QStringLiteral("c.AMR"), 3000);
  makeFile(first.path(), QStringLiteral("note.txt"), 10);
  const QString other = makeFile(second.path(), QStringLiteral("D.AMR"), 256);
  // The temporary folders carry the program's Cyrillic name: config.ini keeps them in Windows-1251.
  ASSERT_TRUE(config().write("Directory", settings::Cp1251::fromUtf8(first.path().toStdString())));
  openWindow();
  EXPECT_EQ(control<QLineEdit>("Edit1")->text(), first.path());
  EXPECT_EQ(window->uploadList().files.size(), 3u);
  EXPECT_EQ(window->uploadList().totalSize, 3257u);

  runOperation("Button1");
  runOperation("Button6");
  EXPECT_EQ(logLines().last(), QStringLiteral("Файлы успешно записаны"));
  const auto files = beacon.withGsmModem([](const sim::GsmModemModel& modem) { return modem.files(); });
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files.at("a.AMR"), bytesOf(empty));
  EXPECT_EQ(files.at("b.amr"), bytesOf(chunkAndOne));
  EXPECT_EQ(files.at("c.AMR"), bytesOf(longer));

  // A cancelled folder dialog leaves the folder, its list and config.ini as they were.
  dialogs.folders = {std::nullopt};
  press("Button5");
  EXPECT_EQ(dialogs.folderTitles, std::vector<QString>{QStringLiteral("Выберите папку")});
  EXPECT_EQ(control<QLineEdit>("Edit1")->text(), first.path());
  EXPECT_EQ(window->uploadList().totalSize, 3257u);

  // The same folder twice is one list, not two.
  dialogs.folders = {second.path(), second.path()};
  press("Button5");
  press("Button5");
  EXPECT_EQ(control<QLineEdit>("Edit1")->text(), second.path());
  EXPECT_EQ(config().read("Directory"), settings::Cp1251::fromUtf8(second.path().toStdString()));
  EXPECT_EQ(window->uploadList().totalSize, 256u);
  runOperation("Button6");
  EXPECT_EQ(logLines().last(), QStringLiteral("Файлы успешно записаны"));
  EXPECT_EQ(beacon.withGsmModem([](const sim::GsmModemModel& modem) { return modem.files().at("D.AMR"); }),
            bytesOf(other));
}

TEST_F(ServiceWindowOperationsTest, PressWhileAnyOperationHoldsTheChannelIsLoggedAndStartsNothing) {
  openWindow();
  runOperation("Button1");
  control<QLineEdit>("Edit4")->setText(QStringLiteral("+79161234567"));

  // The service window's own operation: the SMS waits 1.5 s for the modem's prompt to settle.
  QSignalSpy finished(&window->commands(), &ServiceCommands::operationFinished);
  press("Button12");
  press("Button1");
  EXPECT_TRUE(logLines().last().startsWith(QStringLiteral("Устройство занято: ")));
  ASSERT_TRUE(finished.wait(20000));
  EXPECT_EQ(logLines().last(), QStringLiteral("SMS отправлено"));
  EXPECT_EQ(framesOfType(kModemOn), 1u);
  // The operation ends once the message went out; the modem may take it a moment later.
  const auto sentMessages = [&] {
    return beacon.withGsmModem([](const sim::GsmModemModel& modem) { return modem.sentMessages(); });
  };
  ASSERT_TRUE(QTest::qWaitFor([&] { return !sentMessages().empty(); }, 3000));
  const auto sent = sentMessages();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].number, "+79161234567");
  EXPECT_EQ(sent[0].text, std::string(sim::GsmModemModel::defaultImei));

  // Another window's operation: the settings read.
  QSignalSpy readDone(&form.settingsCommands(), &SettingsCommands::exchangeFinished);
  form.settingsCommands().read();
  const qsizetype before = logLines().size();
  press("Button2");
  ASSERT_EQ(logLines().size(), before + 1);
  EXPECT_TRUE(logLines().last().startsWith(QStringLiteral("Устройство занято: ")));
  EXPECT_FALSE(window->commands().busy());
  ASSERT_TRUE(readDone.wait(20000));
  EXPECT_EQ(framesOfType(kModemOff), 0u);
  EXPECT_TRUE(control<QPushButton>("Button2")->isEnabled());
}

}  // namespace
}  // namespace orsa::app::test
