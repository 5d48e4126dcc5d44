#include "AppOptions.h"
#include "ConfiguratorApplication.h"
#include "ConfiguratorWindows.h"
#include "DemoBeacon.h"
#include "QtDialogService.h"
#include "ScreenshotRunner.h"
#include "link/SessionRecorder.h"
#include "DeviceSession.h"
#include "SettingsCommands.h"
#include "orsa/Version.h"

#include <QStringList>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <memory>
#include <system_error>

namespace {

int printVersion() {
  QTextStream(stdout) << "orsa-configurator " << orsa::kVersion << '\n';
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  // Answered before the QApplication exists, so that --help and --version need no display.
  QStringList rawArguments;
  for (int i = 0; i < argc; ++i) {
    rawArguments << QString::fromLocal8Bit(argv[i]);
  }
  const orsa::app::AppOptions early = orsa::app::AppOptions::parseEarly(rawArguments);
  if (early.help) {
    QTextStream(stdout) << orsa::app::AppOptions::helpText();
    return 0;
  }
  if (early.version) {
    return printVersion();
  }

  orsa::app::ConfiguratorApplication app(argc, argv);

  QString error;
  const orsa::app::AppOptions options = orsa::app::AppOptions::parse(app.arguments(), &error);
  if (!error.isEmpty()) {
    QTextStream(stderr) << error << '\n';
    return 2;
  }

  // Made before the windows and gone after them: the operations talk to it to the end.
  std::unique_ptr<orsa::app::DemoBeacon> demo;
  if (options.demo) {
    try {
      demo = std::make_unique<orsa::app::DemoBeacon>();
    } catch (const std::system_error& failure) {
      QTextStream(stderr) << "orsa-configurator: no simulated beacon: " << failure.what() << '\n';
      return 1;
    }
  }

  // Filled once the windows exist, but made before them and gone after them: the window's channel
  // writes to it from its threads to the end.
  std::unique_ptr<orsa::link::SessionRecorder> recorder;
  orsa::app::QtDialogService dialogs;
  std::unique_ptr<orsa::app::ConfiguratorWindows> windows;
  try {
    windows = std::make_unique<orsa::app::ConfiguratorWindows>(dialogs);
  } catch (const std::exception& failure) {
    // Without its windows the program has nothing to go on with.
    app.showError(QString::fromUtf8(failure.what()));
    return 1;
  }
  orsa::app::TForm1& form1 = windows->form1;
  if (options.service) {
    form1.revealServiceEntries();
  }
  if (demo) {
    form1.enterDemoMode(demo->portPath());
  }
  if (!options.recordPath.isEmpty()) {
    orsa::app::DeviceSession& session = form1.session();
    const orsa::link::PortChoice choice = session.host.portChoice();
    std::string failure;
    recorder = orsa::link::SessionRecorder::create(options.recordPath.toStdString(),
                                                   {"orsa-configurator", choice.automatic ? "auto" : choice.manualName},
                                                   failure);
    if (!recorder) {
      QTextStream(stderr) << "orsa-configurator: " << QString::fromStdString(failure) << '\n';
      return 2;
    }
    session.channel.setTraceSink(recorder->sink());
  }

  if (!options.screenshotDir.isEmpty()) {
    orsa::app::ScreenshotRunner shots(form1, options.screenshotDir);
    return shots.run() ? 0 : 1;
  }

  QObject::connect(&form1, &orsa::app::TForm1::closed, &app, &QApplication::quit);
  form1.show();
  if (!options.settingsFile.isEmpty()) {
    // Once the window is up, so that a message about the file has the window behind it.
    QTimer::singleShot(0, &form1, [&form1, file = options.settingsFile] { form1.settingsCommands().openFile(file); });
  }
  if (options.exitWhenShown) {
    QTimer::singleShot(0, &app, &QApplication::quit);
  }
  const int status = orsa::app::ConfiguratorApplication::exec();
  form1.stopOperations();
  return status;
}
