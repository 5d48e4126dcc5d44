#include "cli/Orsactl.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <memory>
#include <ostream>
#include <utility>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/HelpFormatter.h"
#include "cli/ProductionLine.h"
#include "cli/Terminal.h"
#include "link/DeviceConnection.h"
#include "link/SerialPortMap.h"
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

// read, write or firmware on several beacons at once; the ports are checked before any is opened.
int runProductionLine(const CLI::App& command, const CommandRun& run, std::vector<std::string> ports, bool all,
                      bool trace, bool json, std::ostream& out, std::ostream& err,
                      std::unique_ptr<link::SerialPortMap> portMap) {
  const std::string name = command.get_name();
  if (name != "read" && name != "write" && name != "firmware") {
    return usageError(err, &command, "only read, write and firmware run on several ports (--port given twice, --all)");
  }
  if (const CLI::Option* save = command.get_option_no_throw("--save"); save && save->count() > 0) {
    return usageError(err, &command, "--save keeps one beacon's settings: give a single --port");
  }
  if (all) {
    if (!portMap) portMap = link::makeSystemSerialPortMap();
    for (const auto& port : link::candidatePorts(*portMap)) {
      if (std::find(ports.begin(), ports.end(), port) == ports.end()) ports.push_back(port);
    }
    if (ports.empty()) {
      err << link::kNotConnectedMessage << ": нет ни одного устройства USB CDC-ACM\n";
      return kExitNotConnected;
    }
  }
  LineOptions options;
  options.ports = std::move(ports);
  options.trace = trace;
  const CLI::Option* jsonOutput = command.get_option_no_throw("--json");
  options.outputIsJson = jsonOutput && jsonOutput->count() > 0;
  options.json = json || options.outputIsJson;
  if (name == "read") options.successText = "Настройки прочитаны";
  return runOnEveryPort(options, run, out, err, &err == &std::cerr && standardErrorIsTerminal());
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

  std::vector<std::string> ports;
  bool all = false;
  bool trace = false;
  bool jsonTable = false;
  app.add_option("--port", ports,
                 "use this serial port (/dev/ttyACM0 or ttyACM0) instead of the automatic choice; given several "
                 "times, read, write and firmware run on every one of them at once")
      ->option_text("NAME")
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  app.add_flag("--all", all, "read, write or firmware on every USB CDC-ACM device at once");
  app.add_flag("--trace", trace, "print every frame sent and every reply received as hex on standard error");
  app.add_flag("--json", jsonTable, "with several ports: the table of results as JSON");
  std::string recordPath;
  app.add_option("--record", recordPath,
                 "keep every frame sent and every byte received, with their times, in FILE (JSON lines), for "
                 "orsa-beacon-sim --replay")
      ->option_text("FILE");

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
  if (!ports.empty()) options.port = ports.front();
  options.trace = trace;
  for (auto& [sub, run] : runs) {
    if (sub != chosen) continue;
    if (all || ports.size() > 1) {
      if (!recordPath.empty())
        return usageError(err, chosen, "--record keeps one beacon's session: give a single --port");
      return runProductionLine(*chosen, run, ports, all, trace, jsonTable, out, err, std::move(portMap));
    }
    if (jsonTable && !chosen->get_option_no_throw("--json")) {
      return usageError(err, chosen, "--json before the command is for several ports (--port given twice, or --all)");
    }
    // Made before the context and gone after it: the channel's threads write to it to the end.
    std::unique_ptr<link::SessionRecorder> recorder;
    if (!recordPath.empty()) {
      std::string error;
      recorder = link::SessionRecorder::create(recordPath, {"orsactl", options.port.value_or("auto")}, error);
      if (!recorder) return usageError(err, chosen, error);
      options.recorder = recorder.get();
    }
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
