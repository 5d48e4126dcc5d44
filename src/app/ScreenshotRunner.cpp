#include "ScreenshotRunner.h"

#include "SectionColumn.h"
#include "ServiceCommands.h"
#include "SettingsCommands.h"
#include "TForm1.h"
#include "TForm2.h"
#include "TForm3.h"
#include "TForm4.h"
#include "TForm5.h"
#include "service/ServiceThread.h"

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
bool startAndWait(Sender* sender, Signal finishedSignal, Start start) {
  constexpr int kTimeoutMs = 30000;
  QEventLoop loop;
  bool finished = false;
  QObject::connect(sender, finishedSignal, &loop, [&] {
    finished = true;
    loop.quit();
  });
  QTimer::singleShot(kTimeoutMs, &loop, &QEventLoop::quit);
  start();
  loop.exec();
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
                      [this] { form1_.settingsCommands().read(); });
}

bool ScreenshotRunner::runServiceOperation(TForm5& service, int mode) {
  return startAndWait(&service.commands(), &ServiceCommands::operationFinished,
                      [&service, mode] { service.commands().start(mode); });
}

bool ScreenshotRunner::shootGnss(TForm5& service) {
  auto* log = service.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
  auto* relay = service.findChild<QCheckBox*>(QStringLiteral("CheckBox1"));
  auto* status = service.findChild<QLabel*>(QStringLiteral("GnssStatusLabel"));
  auto* progress = service.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
  log->clear();
  bool ok = runServiceOperation(service, service::ServiceThread::kGnssOn);
  relay->setChecked(true);
  // A few seconds of sentences, and a status decoded from them.
  ok = waitUntil([&] { return status->text().contains(QStringLiteral("UTC")) && log->blockCount() > 20; }, 15000) && ok;
  settle();
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
  const QString firmware = makeFile(QStringLiteral("firmware.bin"), 256 * 1024);
  service.findChild<QLineEdit*>(QStringLiteral("Edit2"))->setText(loader);
  service.findChild<QLineEdit*>(QStringLiteral("Edit3"))->setText(firmware);
  service.gnss().startFlash(loader, firmware);
  // A quarter of the loader is in the module.
  ok = waitUntil([&] { return progress->maximum() == 11892 && progress->value() >= 11892 / 4; }, 60000) && ok;
  settle();
  ok = save(service, QStringLiteral("form5-gps-flash.png")) && ok;
  service.gnss().requestStop();
  service.gnss().join();
  return ok;
}

bool ScreenshotRunner::run() {
  if (!QDir().mkpath(directory_)) {
    return false;
  }
  bool ok = true;
  form1_.show();
  settle();
  if (form1_.inDemoMode()) {
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
    // The log as a technician sees it after the first button.
    if (form1_.inDemoMode()) {
      ok = runServiceOperation(*service, service::ServiceThread::kModemOn) && ok;
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
