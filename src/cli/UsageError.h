#pragma once

#include <stdexcept>

namespace orsa::cli {

// A command line the parser took but the command cannot use (words that contradict each other, a
// MODE it does not know); the tool says why, points to the command's --help and exits with status 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace orsa::cli
