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

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QPixmap>
#include <QTabWidget>
#include <QTimer>

#include <utility>

namespace orsa::app {
namespace {

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
  constexpr int kReadTimeoutMs = 30000;
  QEventLoop loop;
  bool finished = false;
  connect(&form1_.settingsCommands(), &SettingsCommands::exchangeFinished, &loop, [&] {
    finished = true;
    loop.quit();
  });
  QTimer::singleShot(kReadTimeoutMs, &loop, &QEventLoop::quit);
  form1_.settingsCommands().read();
  loop.exec();
  return finished;
}

bool ScreenshotRunner::startModem(TForm5& service) {
  constexpr int kStartTimeoutMs = 30000;
  QEventLoop loop;
  bool finished = false;
  connect(&service.commands(), &ServiceCommands::operationFinished, &loop, [&] {
    finished = true;
    loop.quit();
  });
  QTimer::singleShot(kStartTimeoutMs, &loop, &QEventLoop::quit);
  service.commands().start(service::ServiceThread::kModemOn);
  loop.exec();
  return finished;
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
      ok = startModem(*service) && ok;
    }
    auto* tabs = service->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    const QStringList names = {QStringLiteral("gsm"), QStringLiteral("gps"), QStringLiteral("sim")};
    for (int tab = 0; tab < names.size(); ++tab) {
      tabs->setCurrentIndex(tab);
      settle();
      ok = save(*service, QStringLiteral("form5-%1.png").arg(names[tab])) && ok;
    }
    tabs->setCurrentIndex(0);
    service->hide();
  }
  return ok;
}

}  // namespace orsa::app
