#pragma once

#include <stdexcept>

namespace orsa::cli {

// A file the user named cannot be used (a settings file that does not open, a firmware image too
// large): found while the command line is taken apart, before any beacon is opened, so a line of
// beacons hears of it once instead of failing each beacon with it. The tool prints it after
// "orsactl: " and exits with status 1.
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace orsa::cli
