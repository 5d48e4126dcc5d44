#pragma once

#include <QString>
#include <QStringList>

namespace orsa::app {

// What the command line asks of this run.
struct AppOptions {
  bool service = false;        // show the hidden file, command and engineering entries
  bool demo = false;           // talk to an in-process simulated beacon
  QString screenshotDir;       // render the windows to PNG files there, then exit
  bool exitWhenShown = false;  // leave at the first turn of the event loop, for start-up timing
  bool version = false;        // print the program's version and leave
  bool help = false;           // print the help text and leave
  QString recordPath;          // keep the session with the beacon in this file; empty: no recording
  QString settingsFile;        // a settings file to open into the pages once the window is up

  // Qt's own options (-platform and the like) are taken out by the application object first;
  // `error` tells about anything else this program does not know.
  static AppOptions parse(const QStringList& arguments, QString* error);
  // Looks only for --help and --version, so that both are answered before anything needs a
  // display. Arguments after "--" are file names.
  static AppOptions parseEarly(const QStringList& arguments);
  // What --help prints: every option, the file argument, the keys of the window and where
  // config.ini lives. All in Russian, as the window is.
  static QString helpText();
};

}  // namespace orsa::app
