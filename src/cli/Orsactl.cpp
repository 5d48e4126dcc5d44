#include "cli/Orsactl.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>
#include <utility>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/HelpFormatter.h"
#include "orsa/Version.h"

namespace orsa::cli {

namespace {

constexpr const char* kExitStatusNote =
    "exit status: 0 success, 1 the operation failed, 2 usage error, 3 device not connected";

// "orsactl write: ..." with the way to the usage; a script reads the status, a person the text.
int usageError(std::ostream& err, const CLI::App* command, const std::string& what) {
  const std::string name = command ? "orsactl " + command->get_name() : "orsactl";
  err << name << ": " << what << "\nRun \"" << name << " --help\" for the usage.\n";
  return kExitUsage;
}

}  // namespace

int runOrsactl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               std::unique_ptr<link::SerialPortMap> portMap) {
  CLI::App app("orsactl — command-line configurator for ОРСА Т1/Т2/Т4 beacons", "orsactl");
  app.formatter(std::make_shared<HelpFormatter>());
  app.footer(kExitStatusNote);
  app.set_help_flag("-h,--help", "print this help and exit");  // the commands inherit it
  app.set_version_flag("--version", std::string("orsactl ") + kVersion, "print the version and exit");
  app.require_subcommand(0, 1);
  // The global options are documented before the command; after it they are taken all the same.
  app.fallthrough();

  std::string port;
  bool trace = false;
  CLI::Option* portOption =
      app.add_option("--port", port, "use this serial port (/dev/ttyACM0 or ttyACM0) instead of the automatic choice")
          ->option_text("NAME");
  app.add_flag("--trace", trace, "print every frame sent and every reply received as hex on standard error");

  std::vector<std::pair<CLI::App*, CommandRun>> runs;
  for (const auto& command : commands()) {
    CLI::App* sub = app.add_subcommand(command.name, command.summary);
    sub->footer(kExitStatusNote);
    runs.emplace_back(sub, command.define(*sub));
  }
  // Earlier releases took "orsactl help" followed by anything; it is not listed among the commands.
  CLI::App* help = app.add_subcommand("help", "")->group("")->allow_extras()->fallthrough(false);

  const auto selected = [&]() -> const CLI::App* {
    const auto chosen = app.get_subcommands();
    return chosen.empty() ? nullptr : chosen.front();
  };
  try {
    // CLI11 wants the words last first, as it takes them from the back.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return kExitSuccess;
  } catch (const CLI::CallForVersion& version) {
    out << version.what() << '\n';
    return kExitSuccess;
  } catch (const CLI::ParseError& error) {
    return usageError(err, selected(), error.what());
  }

  const CLI::App* chosen = selected();
  if (chosen == help) {
    out << app.get_formatter()->make_help(&app, "orsactl", CLI::AppFormatMode::Normal);
    return kExitSuccess;
  }
  if (!chosen) return usageError(err, nullptr, "a COMMAND is required");

  GlobalOptions options;
  if (portOption->count() > 0) options.port = port;
  options.trace = trace;
  for (auto& [sub, run] : runs) {
    if (sub != chosen) continue;
    try {
      CliContext context(options, out, err, std::move(portMap));
      return run(context);
    } catch (const UsageError& error) {
      return usageError(err, chosen, error.what());
    }
  }
  return usageError(err, nullptr, "unknown command");
}

}  // namespace orsa::cli
