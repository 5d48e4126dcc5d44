#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace orsa::cli {

// A command line error; the tool prints it with the command's usage and exits with status 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The words after the command name: options ("--name" or "--name VALUE") and positional words.
class Arguments {
 public:
  explicit Arguments(std::vector<std::string> words) : words_(std::move(words)) {}

  // Removes "--name" and says whether it was there.
  bool flag(const std::string& name);
  // Removes "--name VALUE" (or "--name=VALUE") and returns VALUE; every occurrence with `all`.
  std::optional<std::string> option(const std::string& name);
  std::vector<std::string> options(const std::string& name);
  // What is left once the options were taken; an unknown "--" word is a usage error.
  std::vector<std::string> positionals() const;

 private:
  std::vector<std::string> words_;
};

// "12", "0x0C" -> 12; anything else, or a value above `max`, is a usage error naming `what`.
std::uint64_t parseNumber(const std::string& text, const std::string& what, std::uint64_t max);

}  // namespace orsa::cli
