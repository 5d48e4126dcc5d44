#pragma once

namespace orsa::cli {

// The tool's exit status, for scripts and production lines.
enum ExitCode : int {
  kExitSuccess = 0,
  kExitFailed = 1,        // the operation failed; its message is on standard error
  kExitUsage = 2,         // the command line was wrong
  kExitNotConnected = 3,  // "Устройство не подключено"
  // Ctrl-C stopped a service, upload or modem operation: 128 + SIGINT, as shells report a program
  // that Ctrl-C ended.
  kExitStopped = 130,
};

}  // namespace orsa::cli
