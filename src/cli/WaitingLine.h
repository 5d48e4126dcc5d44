#pragma once

#include <iosfwd>
#include <string>

#include "cli/ProductionLine.h"
#include "link/PortWatcher.h"

namespace orsa::cli {

// A production line that needs no keyboard: each beacon plugged in gets the command, then a line with
// its result and a beep; the line waits for it to be pulled out and the next to come, until Ctrl-C.
struct WaitOptions {
  std::string operation;  // the command's name, for the log
  LineOptions line;       // how each beacon is run (its port is filled in as it comes)
  std::string logPath;    // the CSV log; empty for none
};

// When Ctrl-C (or the watcher's end) stops the line: 0 when every beacon succeeded (also when none
// came), 1 when at least one failed or the log could not be kept, 130 when Ctrl-C cut a beacon's work
// short. The count of beacons and failures ends the output.
int runWaitingLine(const WaitOptions& options, const CommandRun& run, link::PortWatcher& watcher, std::ostream& out,
                   std::ostream& err, bool interactive);

}  // namespace orsa::cli
