#pragma once

#include <string>

namespace orsa::testing {

// What one run of orsactl in the test's process gave: its exit status and both of its outputs.
struct ToolRun {
  int status;
  std::string out;
  std::string err;
};

}  // namespace orsa::testing
