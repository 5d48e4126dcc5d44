#include "ServiceWindowFixture.h"
#include "ServiceCommands.h"
#include "TForm5.h"
#include "ProgressMeter.h"
#include "service/ConfigIni.h"
#include "settings/Cp1251.h"
#include "sim/FaultPlan.h"
#include "sim/GsmModemModel.h"

#include <QAbstractTextDocumentLayout>
#include <QCheckBox>
#include <QFile>
#include <QFontInfo>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTime>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <fstream>
#include <map>
#include <memory>

namespace orsa::app::test {
namespace {

constexpr std::uint8_t kModemOn = 3;
constexpr std::uint8_t kModemOff = 5;

using ServiceWindowOperationsTest = ServiceWindowFixture;

// Figures as the bar and the list write them, "_" standing for the group separator: a space that
// never breaks, so a figure never wraps.
QString withFigureSpaces(QString text) { return text.replace(QLatin1Char('_'), QChar(0x00A0)); }

std::size_t modemFileSize(sim::SimulatedBeacon& beacon, const std::string& name) {
  return beacon.withGsmModem([&](const sim::GsmModemModel& modem) { return modem.files().at(name).size(); });
}

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
        {"ButtonModemInfo", QStringLiteral("Диагностика модема")},
        {"Button5", QStringLiteral("Выбрать папку с файлами")},
        {"Button6", QStringLiteral("Записать файлы")},
        {"Button12", QStringLiteral("Отправить IMEI номер в SMS")},
        {"Button13", QStringLiteral("Совершить звонок")},
        {"Button14", QStringLiteral("Отменить звонок")},
        {"ButtonModemFiles", QStringLiteral("Файлы модема")},
        {"ButtonModemFileRemove", QStringLiteral("Удалить")}}},
      {1,
       {{"Button3", QStringLiteral("Запуск GPS модуля")},
        {"Button4", QStringLiteral("Остановка GPS модуля")},
        {"Button8", QStringLiteral("...")},
        {"Button9", QStringLiteral("...")},
        {"Button7", QStringLiteral("Обновить прошивку")},
        {"ButtonGnssRecover", QStringLiteral("Восстановить модуль")}}},
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
  EXPECT_EQ(control<QPushButton>("ButtonStop")->text(), QStringLiteral("Стоп"));
  EXPECT_FALSE(control<QPushButton>("ButtonStop")->isEnabled());
  // Nothing chosen in the drive's list, nothing to remove.
  EXPECT_FALSE(control<QPushButton>("ButtonModemFileRemove")->isEnabled());

  // Every group lies inside its page (the log's inside the window) apart from the others, and so
  // does every control inside its group: the window's size is fixed, nothing may be cut or covered.
  service.show();
  const auto expectApart = [](QWidget* parent, const QList<QWidget*>& widgets) {
    for (qsizetype i = 0; i < widgets.size(); ++i) {
      const QRect at = widgets[i]->geometry();
      EXPECT_TRUE(parent->rect().contains(at))
          << widgets[i]->objectName().toStdString() << " leaves " << parent->objectName().toStdString();
      for (qsizetype j = i + 1; j < widgets.size(); ++j) {
        EXPECT_FALSE(at.intersects(widgets[j]->geometry()))
            << widgets[i]->objectName().toStdString() << " covers " << widgets[j]->objectName().toStdString();
      }
    }
  };
  // A tab's page gets its size once it is shown.
  for (int tab = -1; tab < pages->count(); ++tab) {
    if (tab >= 0) pages->setCurrentIndex(tab);
    QWidget* parent = tab < 0 ? static_cast<QWidget*>(&service) : pages->widget(tab);
    const auto groups = parent->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly);
    expectApart(parent, QList<QWidget*>(groups.begin(), groups.end()));
    for (QGroupBox* group : groups) expectApart(group, group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
  }
  pages->setCurrentIndex(0);
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

TEST_F(ServiceWindowOperationsTest, EveryLogLineTellsItsTimeAndTheLogIsSavedWhole) {
  openWindow();
  const QTime before = QTime::currentTime().addSecs(-1);
  runOperation("Button1");
  const QTime after = QTime::currentTime();
  auto* log = control<QPlainTextEdit>("Memo1");
  const QString written = log->toPlainText();
  const QStringList lines = written.split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 3) << written.toStdString();
  static const QRegularExpression timed(QStringLiteral("^(\\d\\d:\\d\\d:\\d\\d) \\S"));
  for (const QString& line : lines) {
    const QRegularExpressionMatch match = timed.match(line);
    ASSERT_TRUE(match.hasMatch()) << line.toStdString();
    const QTime at = QTime::fromString(match.captured(1), QStringLiteral("HH:mm:ss"));
    ASSERT_TRUE(at.isValid()) << line.toStdString();
    if (before < after) {  // not across midnight
      EXPECT_GE(at, QTime(before.hour(), before.minute(), before.second())) << line.toStdString();
      EXPECT_LE(at, after) << line.toStdString();
    }
  }

  QTemporaryDir folder;
  const QString saved = folder.filePath(QStringLiteral("service.txt"));
  dialogs.files = {saved, folder.filePath(QStringLiteral("no-such-folder/service.txt"))};
  press("ButtonSaveLog");
  ASSERT_EQ(dialogs.fileAsks.size(), 1u);
  EXPECT_TRUE(dialogs.fileAsks[0].save);
  QFile file(saved);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(file.readAll()), written + QLatin1Char('\n'));
  EXPECT_EQ(logLines().last(), QStringLiteral("Лог сохранён: ") + saved);

  press("ButtonSaveLog");
  EXPECT_TRUE(logLines().last().startsWith(QStringLiteral("Лог не сохранён: "))) << logLines().last().toStdString();
  EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files).contains(QStringLiteral("service.txt")));
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 1) << "no temporary file stays";
}

TEST_F(ServiceWindowOperationsTest, TheModulesSentencesStayWholeInAFixedWidthFace) {
  openWindow();
  auto* log = control<QPlainTextEdit>("Memo1");
  EXPECT_TRUE(QFontInfo(log->font()).fixedPitch());
  const QString sentence = QStringLiteral("$GPGSV,3,1,12,09,88,089,31,07,60,281,44,23,55,123,33,10,44,274,32*78");
  ASSERT_GT(log->fontMetrics().horizontalAdvance(sentence), log->viewport()->width())
      << "a sentence this long does not fit the column";
  window->appendStream(sentence + QLatin1Char('\n'));
  const QTextBlock block = log->document()->firstBlock();
  ASSERT_EQ(block.text(), sentence);
  log->document()->documentLayout()->blockBoundingRect(block);  // lays the block out
  EXPECT_EQ(block.layout()->lineCount(), 1);
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
  // The modem's reference of the first message it sent.
  EXPECT_EQ(logLines().last(), QStringLiteral("SMS отправлено (ссылка 1)"));
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

TEST_F(ServiceWindowOperationsTest, StopAndEscEndTheRunningOperationAndLeaveTheModemAnswering) {
  // The beacon's own line rate, so the operations last long enough to be stopped midway.
  beacon.setFaults(sim::FaultPlan().throttle(9600));
  QTemporaryDir folder;
  makeFile(folder.path(), QStringLiteral("LONG.AMR"), 8192);
  dialogs.folders = {folder.path()};
  openWindow();
  auto* stop = control<QPushButton>("ButtonStop");
  EXPECT_FALSE(stop->isEnabled());
  runOperation("Button1");
  EXPECT_FALSE(stop->isEnabled());
  press("Button5");

  // Esc from wherever the focus is, here the phone field, while the message is on its way.
  auto* phone = control<QLineEdit>("Edit4");
  phone->setText(QStringLiteral("+79161234567"));
  QSignalSpy finished(&window->commands(), &ServiceCommands::operationFinished);
  press("Button12");
  EXPECT_TRUE(stop->isEnabled());
  QTest::keyClick(phone, Qt::Key_Escape);
  ASSERT_TRUE(finished.wait(20000));
  EXPECT_TRUE(logLines().last().startsWith(QStringLiteral("Остановлено"))) << logLines().last().toStdString();
  EXPECT_FALSE(stop->isEnabled());

  // The upload is stopped once the modem has confirmed its first bytes; the log says what is left.
  QSignalSpy progress(&window->commands(), &ServiceCommands::uploadProgress);
  press("Button6");
  ASSERT_TRUE(progress.wait(20000));
  press("ButtonStop");
  ASSERT_TRUE(finished.wait(20000));
  const std::size_t left = modemFileSize(beacon, "LONG.AMR");
  EXPECT_LT(left, 8192u);
  EXPECT_EQ(logLines().last(),
            QStringLiteral("Остановлено: на модеме осталось %1 из 8192 байт файла LONG.AMR").arg(left));
  EXPECT_FALSE(stop->isEnabled());
  auto* bar = control<QProgressBar>("ProgressBarUpload");
  EXPECT_LT(bar->value(), bar->maximum());

  // Neither stop left the modem in a prompt: it answers the next operation's questions, and no
  // message went out.
  runOperation("ButtonModemInfo");
  EXPECT_TRUE(logLines().contains(QStringLiteral("Модель: ") + QLatin1String(sim::GsmModemModel::modelText)))
      << logLines().join(QLatin1Char('\n')).toStdString();
  EXPECT_TRUE(beacon.withGsmModem([](const sim::GsmModemModel& modem) { return modem.sentMessages().empty(); }));
}

TEST_F(ServiceWindowOperationsTest, UploadFillsItsBarAndTheDriveListShowsAndRemovesTheModemsFiles) {
  QTemporaryDir folder;
  makeFile(folder.path(), QStringLiteral("b.amr"), 257);
  makeFile(folder.path(), QStringLiteral("c.AMR"), 3000);
  ASSERT_TRUE(config().write("Directory", settings::Cp1251::fromUtf8(folder.path().toStdString())));
  openWindow();
  runOperation("Button1");
  runOperation("Button6");
  auto* bar = control<QProgressBar>("ProgressBarUpload");
  EXPECT_EQ(bar->value(), bar->maximum());
  EXPECT_TRUE(bar->text().startsWith(withFigureSpaces(QStringLiteral("100 % · 3_257 из 3_257 байт"))))
      << bar->text().toStdString();

  auto* list = control<QTreeWidget>("ListModemFiles");
  auto* listButton = control<QPushButton>("ButtonModemFiles");
  auto* remove = control<QPushButton>("ButtonModemFileRemove");
  runOperation("ButtonModemFiles");
  ASSERT_EQ(list->topLevelItemCount(), 2);
  std::map<QString, QString> shown;
  for (int i = 0; i < list->topLevelItemCount(); ++i) {
    shown[list->topLevelItem(i)->text(0)] = list->topLevelItem(i)->text(1);
  }
  EXPECT_EQ(shown, (std::map<QString, QString>{{QStringLiteral("b.amr"), QStringLiteral("257")},
                                               {QStringLiteral("c.AMR"), withFigureSpaces(QStringLiteral("3_000"))}}));
  const auto freeBytes = [&] {
    return beacon.withGsmModem([](const sim::GsmModemModel& modem) { return modem.drive().freeBytes(); });
  };
  const auto freeText = [&] {
    return QStringLiteral("Свободно:\n%1 байт").arg(QLocale(QLocale::Russian).toString(qulonglong{freeBytes()}));
  };
  EXPECT_EQ(control<QLabel>("LabelModemFree")->text(), freeText());
  EXPECT_EQ(listButton->text(), QStringLiteral("Обновить"));

  // Nothing happens before the technician chose a file and said yes.
  EXPECT_FALSE(remove->isEnabled());
  QTreeWidgetItem* doomed = list->findItems(QStringLiteral("c.AMR"), Qt::MatchExactly).value(0);
  ASSERT_NE(doomed, nullptr);
  doomed->setSelected(true);
  ASSERT_TRUE(remove->isEnabled());
  dialogs.answers = {DialogService::Answer::No};
  press("ButtonModemFileRemove");
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Удалить файл c.AMR с модема?"));
  EXPECT_EQ(dialogs.shown[0].buttons, DialogService::Buttons::YesNo);
  EXPECT_FALSE(window->commands().busy());

  // The removal is followed by a new listing, which no longer has the file.
  dialogs.answers = {DialogService::Answer::Yes};
  QSignalSpy finished(&window->commands(), &ServiceCommands::operationFinished);
  press("ButtonModemFileRemove");
  ASSERT_TRUE(finished.wait(20000));
  if (finished.size() < 2) {
    ASSERT_TRUE(finished.wait(20000));
  }
  EXPECT_EQ(finished[0][0].toInt(), service::ServiceThread::kRemoveModemFile);
  EXPECT_EQ(finished[1][0].toInt(), service::ServiceThread::kListModemFiles);
  EXPECT_FALSE(beacon.withGsmModem([](const sim::GsmModemModel& modem) { return modem.drive().contains("c.AMR"); }));
  EXPECT_EQ(modemFileSize(beacon, "b.amr"), 257u);
  ASSERT_EQ(list->topLevelItemCount(), 1);
  EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("b.amr"));
  EXPECT_EQ(control<QLabel>("LabelModemFree")->text(), freeText());
  EXPECT_TRUE(logLines().contains(QStringLiteral("Файл удалён с модема: c.AMR")));
}

TEST(ProgressText, TellsPercentBytesRateAndTimeLeftAsTheCommandLineDoes) {
  EXPECT_EQ(progressText(27648, 65536, 27648.0 / 30),
            withFigureSpaces(QStringLiteral("42 % · 27_648 из 65_536 байт · 0,9 КБ/с · осталось 0:41")));
  EXPECT_EQ(progressText(1000, 100000, 500.0),
            withFigureSpaces(QStringLiteral("1 % · 1_000 из 100_000 байт · 0,5 КБ/с · осталось 3:18")));
  EXPECT_EQ(progressText(65536, 65536, 2048.0),
            withFigureSpaces(QStringLiteral("100 % · 65_536 из 65_536 байт · 2,0 КБ/с")));
  // Not a whole until the last byte is confirmed.
  EXPECT_TRUE(progressText(65535, 65536, std::nullopt).startsWith(QStringLiteral("99 % ")));
  EXPECT_EQ(progressText(0, 0, std::nullopt), QStringLiteral("100 % · 0 из 0 байт"));
}

TEST(ProgressText, ABarPutBackToEmptyAfterARunSaysNothingUntilTheNextRunBegins) {
  QProgressBar bar;
  ProgressMeter meter(bar);
  meter.show(0, 12288);
  EXPECT_TRUE(bar.isTextVisible()) << "a run that begins at nothing says so";
  meter.show(12288, 12288);
  meter.show(0, 12288);
  EXPECT_FALSE(bar.isTextVisible()) << bar.format().toStdString();
  meter.show(0, 12288);
  meter.show(2048, 12288);
  EXPECT_TRUE(bar.isTextVisible());
  EXPECT_TRUE(bar.format().startsWith(QStringLiteral("16 % "))) << bar.format().toStdString();
}

}  // namespace
}  // namespace orsa::app::test
