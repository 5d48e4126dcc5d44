#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/Command.h"

namespace orsa::cli {

// One command on several beacons at once, as a service centre's bench or an assembly line needs:
// every port gets a channel, a gate and a worker of its own and runs in parallel; a terminal shows a
// line per port as they go, and a table of the results (port, IMEI where it was read, result, time)
// ends the run.
struct LineOptions {
  std::vector<std::string> ports;
  bool trace = false;
  bool json = false;          // the table as JSON, for scripts
  bool outputIsJson = false;  // each port's own output is a JSON document to carry in the table
  std::string successText;    // the result of a success; empty: the run's last line of output
};

// 0 when every beacon succeeded, 3 when none could be reached, 1 otherwise.
int runOnEveryPort(const LineOptions& options, const CommandRun& run, std::ostream& out, std::ostream& err,
                   bool interactive);

}  // namespace orsa::cli
