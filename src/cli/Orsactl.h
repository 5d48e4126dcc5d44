#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "link/PortWatcher.h"
#include "link/SerialPortMap.h"

namespace orsa::cli {

// The whole tool behind main(): parses the global options, runs one command, returns the exit status.
// `portMap` and `watcher` stand in for the system's where a test gives them.
int runOrsactl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               std::unique_ptr<link::SerialPortMap> portMap = nullptr,
               std::unique_ptr<link::PortWatcher> watcher = nullptr);

}  // namespace orsa::cli
