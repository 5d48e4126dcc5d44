#pragma once

#include "sim/FaultPlan.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orsa::sim {

// The command line of orsa-beacon-sim.
struct SimOptions {
  FaultPlan faults;
  std::string linkPath;    // empty: no symbolic link
  std::string nmeaPath;    // the GNSS module's capture; empty: the built-in one
  std::string replayPath;  // answer as this recorded session did instead of as the model would; empty: the model
  bool trace = false;
  bool help = false;
  bool version = false;
};

struct SimOptionsResult {
  std::optional<SimOptions> options;  // empty when the command line is wrong
  std::string error;                  // why, when it is wrong
};

// Parses the arguments after the program name. Options take their value as the next argument or
// after "=" (--throttle 9600, --throttle=9600).
SimOptionsResult parseSimOptions(const std::vector<std::string_view>& args);

std::string simUsage();

}  // namespace orsa::sim
