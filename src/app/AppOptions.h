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
  QString recordPath;          // keep the session with the beacon in this file; empty: no recording

  // Unknown arguments are left to Qt; `error` tells about a bad one of ours.
  static AppOptions parse(const QStringList& arguments, QString* error);
};

}  // namespace orsa::app
