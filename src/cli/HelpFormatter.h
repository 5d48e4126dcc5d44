#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace orsa::cli {

// CLI11's help with the usage lines a person wants to read: "orsactl write [FILE.cfg | FILE.json |
// --defaults] ..." rather than "[OPTIONS] [FILE]", and the commands listed with their usage as the
// README shows them.
class HelpFormatter : public CLI::Formatter {
 public:
  std::string make_usage(const CLI::App* app, std::string name) const override;
  std::string make_subcommands(const CLI::App* app, CLI::AppFormatMode mode) const override;
  std::string make_subcommand(const CLI::App* sub) const override;
  std::string make_option_opts(const CLI::Option* option) const override;
};

}  // namespace orsa::cli
