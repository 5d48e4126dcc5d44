#include "AppOptions.h"

#include <QCommandLineParser>

namespace orsa::app {

AppOptions AppOptions::parse(const QStringList& arguments, QString* error) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Конфигуратор маяков ОРСА"));
  const QCommandLineOption service(QStringLiteral("service"),
                                   QStringLiteral("Show the file, command and engineering entries."));
  const QCommandLineOption demo(QStringLiteral("demo"),
                                QStringLiteral("Work with a simulated beacon inside the program."));
  const QCommandLineOption shots(QStringLiteral("screenshot-dir"),
                                 QStringLiteral("Render every page to PNG files in <dir> and exit."),
                                 QStringLiteral("dir"));
  const QCommandLineOption exitWhenShown(
      QStringLiteral("exit-when-shown"),
      QStringLiteral("Exit as soon as the window is shown (start-up measurements)."));
  const QCommandLineOption record(
      QStringLiteral("record"),
      QStringLiteral("Keep every frame sent and every byte received, with their times, in <file> (JSON lines), "
                     "for orsa-beacon-sim --replay."),
      QStringLiteral("file"));
  parser.addOptions({service, demo, shots, exitWhenShown, record});
  parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();

  AppOptions options;
  if (!parser.parse(arguments)) {
    if (error != nullptr) {
      *error = parser.errorText();
    }
    return options;
  }
  if (parser.isSet(QStringLiteral("help")) && error != nullptr) {
    *error = parser.helpText();
  }
  options.service = parser.isSet(service);
  options.demo = parser.isSet(demo);
  options.screenshotDir = parser.value(shots);
  options.exitWhenShown = parser.isSet(exitWhenShown);
  options.version = parser.isSet(version);
  options.recordPath = parser.value(record);
  return options;
}

}  // namespace orsa::app
