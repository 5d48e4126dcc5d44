#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/PortConsole.h"

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

// One beacon's run: what it printed, how it ended, the IMEI its settings gave and how long it took.
struct PortRun {
  std::string port;
  PortConsole out;
  PortConsole err;
  int status = kExitFailed;
  std::string imei;
  double seconds = 0;
  bool done = false;  // under the line's lock while the runs go on
};

// Runs `run` on every port of `options` at once and returns when all have ended; a terminal shows a
// line per port as they go.
std::vector<std::unique_ptr<PortRun>> runPorts(const LineOptions& options, const CommandRun& run, std::ostream& err,
                                               bool interactive);
// What the table says of a run: the success text, or the last line of its error.
std::string resultOf(const PortRun& run, const LineOptions& options);

// 0 when every beacon succeeded, 130 when Ctrl-C stopped them, 3 when none could be reached, 1 otherwise.
int runOnEveryPort(const LineOptions& options, const CommandRun& run, std::ostream& out, std::ostream& err,
                   bool interactive);

}  // namespace orsa::cli
