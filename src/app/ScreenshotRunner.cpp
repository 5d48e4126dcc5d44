#include "ScreenshotRunner.h"

#include "CommandBar.h"
#include "LocalPath.h"
#include "PictureButton.h"
#include "PortPanel.h"
#include "SectionColumn.h"
#include "ServiceCommands.h"
#include "SettingsCommands.h"
#include "TForm1.h"
#include "TForm2.h"
#include "TForm3.h"
#include "TForm4.h"
#include "TForm5.h"
#include "service/ServiceThread.h"
#include "service/UploadFolder.h"

#include "GnssCommands.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QDir>
#include <QEventLoop>
#include <QPixmap>
#include <QTabWidget>
#include <QTimer>

#include <utility>

namespace orsa::app {
namespace {

// Runs the event loop until `done` holds, at most `timeoutMs`; whether it came to hold.
template <typename Predicate>
bool waitUntil(Predicate done, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeoutMs) return false;
    QEventLoop loop;
    QTimer::singleShot(100, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return true;
}

// Starts an operation and runs the event loop until it says it finished, at most 30 s; whether it did.
template <typename Sender, typename Signal, typename Start>
bool startAndWait(Sender* sender, Signal finishedSignal, Start start, int timeoutMs = 30000) {
  QEventLoop loop;
  bool finished = false;
  QObject::connect(sender, finishedSignal, &loop, [&] {
    finished = true;
    loop.quit();
  });
  QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
  start();
  // A start that waits in an event loop of its own may see the end already.
  if (!finished) loop.exec();
  return finished;
}

// Lets the window system map and paint what was just shown; bounded so a
// stuck display cannot hold the run.
void settle() {
  QEventLoop loop;
  QTimer::singleShot(150, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace

ScreenshotRunner::ScreenshotRunner(TForm1& form1, QString directory)
    : form1_(form1), directory_(std::move(directory)) {}

bool ScreenshotRunner::save(QWidget& widget, const QString& name) {
  const QPixmap shot = widget.grab();
  return shot.save(QDir(directory_).filePath(name), "PNG");
}

bool ScreenshotRunner::readBeacon() {
  return startAndWait(&form1_.settingsCommands(), &SettingsCommands::exchangeFinished,
                      [this] { form1_.settingsCommands().read(); }) &&
         form1_.settingsCommands().lastExchangeSucceeded();
}

bool ScreenshotRunner::runServiceOperation(TForm5& service, int mode) {
  return startAndWait(&service.commands(), &ServiceCommands::operationFinished,
                      [&service, mode] { service.commands().start(mode); });
}

bool ScreenshotRunner::prepareGsm(TForm5& service) {
  // Files of the kind a beacon plays, made here: the user's own folder and config.ini stay as
  // they are.
  QTemporaryDir folder;
  bool ok = folder.isValid();
  const auto makeFile = [&](const QString& name, int size) {
    QFile file(folder.filePath(name));
    QByteArray bytes("#!AMR\n");
    for (int i = static_cast<int>(bytes.size()); i < size; ++i) bytes.append(static_cast<char>((i * 37) & 0xFF));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) ok = false;
  };
  makeFile(QStringLiteral("ALARM.AMR"), 2432);
  makeFile(QStringLiteral("SOS.AMR"), 1664);
  std::error_code error;
  const service::UploadList upload = service::scanUploadFolder(localPath(folder.path()), error);
  ok = ok && !error && upload.files.size() == 2;
  ok = startAndWait(&service.commands(), &ServiceCommands::operationFinished,
                    [&] { service.commands().start(service::ServiceThread::kUploadFiles, {}, upload); }) &&
       ok;
  ok = runServiceOperation(service, service::ServiceThread::kModemInfo) && ok;
  ok = runServiceOperation(service, service::ServiceThread::kListModemFiles) && ok;
  return ok;
}

bool ScreenshotRunner::shootGnss(TForm5& service) {
  auto* log = service.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
  auto* relay = service.findChild<QCheckBox*>(QStringLiteral("CheckBox1"));
  auto* status = service.findChild<QLabel*>(QStringLiteral("GnssStatusLabel"));
  auto* sky = service.findChild<QTreeWidget*>(QStringLiteral("ListSatellites"));
  auto* progress = service.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
  // A few seconds of sentences, and the receiver decoded from them: its fix and its satellites.
  const auto watchReceiver = [&] {
    relay->setChecked(true);
    const bool shown = waitUntil(
        [&] {
          return status->text().contains(QStringLiteral("UTC")) && sky->topLevelItemCount() > 0 &&
                 log->blockCount() > 20;
        },
        15000);
    settle();
    return shown;
  };
  log->clear();
  bool ok = runServiceOperation(service, service::ServiceThread::kGnssOn);
  ok = watchReceiver() && ok;
  ok = save(service, QStringLiteral("form5-gps-relay.png")) && ok;
  relay->setChecked(false);

  // Any files do: the simulated module takes whatever loader and firmware it is given.
  QTemporaryDir files;
  const auto makeFile = [&](const QString& name, qint64 size) {
    QFile file(files.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || !file.resize(size)) ok = false;
    return file.fileName();
  };
  const QString loader = makeFile(QStringLiteral("loader.bin"), 11892);
  // Small, as the demo beacon's line runs at 9600 baud: the whole run takes about half a minute.
  const QString firmware = makeFile(QStringLiteral("firmware.bin"), 12 * 1024);
  service.findChild<QLineEdit*>(QStringLiteral("Edit2"))->setText(loader);
  service.findChild<QLineEdit*>(QStringLiteral("Edit3"))->setText(firmware);
  log->clear();
  const bool flashed = startAndWait(
      &service.gnss(), &GnssCommands::flashFinished,
      [&] {
        service.gnss().startFlash(loader, firmware);
        // A quarter of the loader is in the module.
        ok = waitUntil([&] { return progress->maximum() == 11892 && progress->value() >= 11892 / 4; }, 60000) && ok;
        settle();
        ok = save(service, QStringLiteral("form5-gps-flash.png")) && ok;
      },
      120000);
  // The release before and after beside the receiver running on the new image.
  ok = flashed && watchReceiver() && ok;
  ok = save(service, QStringLiteral("form5-gps-flashed.png")) && ok;
  relay->setChecked(false);
  return ok;
}

bool ScreenshotRunner::run() {
  if (!QDir().mkpath(directory_)) {
    return false;
  }
  bool ok = true;
  form1_.show();
  settle();
  const PortPanel* ports = form1_.portPanel();
  if (form1_.inDemoMode() || (ports->automatic() && !ports->portText().isEmpty())) {
    ok = readBeacon();
  }
  for (int section = 1; section < SectionColumn::kSections; ++section) {
    form1_.selectSection(section);
    settle();
    ok = save(form1_, QStringLiteral("form1-section%1.png").arg(section)) && ok;
  }
  // The summary section is reachable only with the service entries shown.
  form1_.revealServiceEntries();
  form1_.selectSection(SectionColumn::kSections);
  settle();
  ok = save(form1_, QStringLiteral("form1-section9-service.png")) && ok;
  form1_.selectSection(1);

  // The keyboard's place: the read button framed, and the reason a port would not open under the list.
  form1_.activateWindow();
  form1_.commandBar()->readButton()->setFocus(Qt::TabFocusReason);
  form1_.portPanel()->setConnectProblem(
      QStringLiteral("порт /dev/ttyACM0 занят: его держит minicom (pid 4242), ModemManager (pid 731)"));
  settle();
  ok = save(form1_, QStringLiteral("form1-keyboard-and-port-reason.png")) && ok;
  form1_.portPanel()->setConnectProblem(QString());
  form1_.commandBar()->readButton()->clearFocus();

  if (TForm3* progress = form1_.form3()) {
    progress->showWithCaption(QStringLiteral("Чтение настроек..."));
    progress->setProgress(29, 12);
    settle();
    ok = save(*progress, QStringLiteral("form3-progress.png")) && ok;
    progress->hide();
  }
  if (TForm2* command = form1_.form2()) {
    command->open();
    settle();
    ok = save(*command, QStringLiteral("form2-command.png")) && ok;
    command->hide();
  }
  if (TForm4* access = form1_.form4()) {
    access->open();
    settle();
    ok = save(*access, QStringLiteral("form4-access.png")) && ok;
    access->hide();
  }
  if (TForm5* service = form1_.form5()) {
    service->present();
    // The log as a technician sees it after the first button, then the modem's drive and
    // diagnostics.
    if (form1_.inDemoMode()) {
      ok = runServiceOperation(*service, service::ServiceThread::kModemOn) && ok;
      ok = prepareGsm(*service) && ok;
    }
    auto* tabs = service->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    const QStringList names = {QStringLiteral("gsm"), QStringLiteral("gps"), QStringLiteral("sim")};
    for (int tab = 0; tab < names.size(); ++tab) {
      tabs->setCurrentIndex(tab);
      settle();
      ok = save(*service, QStringLiteral("form5-%1.png").arg(names[tab])) && ok;
    }
    if (form1_.inDemoMode()) {
      tabs->setCurrentIndex(1);
      ok = shootGnss(*service) && ok;
    }
    tabs->setCurrentIndex(0);
    service->hide();
  }
  return ok;
}

}  // namespace orsa::app
