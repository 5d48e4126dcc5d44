#include "cli/Orsactl.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/HelpFormatter.h"
#include "cli/HelpWrap.h"
#include "cli/ProductionLine.h"
#include "cli/Suggest.h"
#include "cli/Terminal.h"
#include "cli/InputError.h"
#include "cli/WaitingLine.h"
#include "link/DeviceConnection.h"
#include "link/PortWatcher.h"
#include "link/SerialPortMap.h"
#include "orsa/Version.h"

namespace orsa::cli {

namespace {

constexpr const char* kExitStatusNote =
    "exit status: 0 success, 1 the operation failed (for nmea also: the module stayed silent; for diff and write "
    "--verify: slots differ), 2 usage error (for diff also: a file it cannot read), 3 "
    "device not connected, 130 a read, write, service, upload, modem, firmware or gnss-flash operation stopped by "
    "Ctrl-C";

// The manual page is made from this help, so its examples section is this one.
constexpr const char* kExamples =
    "Examples:\n"
    "  orsactl read --save beacon.cfg\n"
    "      the beacon's settings, kept in a file\n"
    "  orsactl write beacon.cfg --dry-run\n"
    "      what writing the file would change, slot by slot; nothing is sent\n"
    "  orsactl write --set TimeZone=+3 --verify\n"
    "      write, then read the beacon back and list any slot it did not store\n"
    "  orsactl diff beacon beacon.cfg\n"
    "      the slots the beacon and the file hold differently (status 1 when any)\n"
    "  orsactl --json --all write settings.json --yes\n"
    "      every beacon plugged in, the results as JSON\n"
    "  orsactl service modem-on\n"
    "      start the modem, as the service window does before its other operations\n"
    "  orsactl service info\n"
    "      the modem's model, firmware, IMEI, SIM, ICCID, signal, registration, operator and supply\n"
    "  orsactl service info --json\n"
    "      the same as one JSON object (see below)\n"
    "  orsactl upload sounds/\n"
    "      the folder's *.AMR files into the modem's drive C:\n"
    "  orsactl modem ls\n"
    "      the files on the modem's drive C: with their sizes, and its free space\n"
    "  orsactl modem ls --json\n"
    "      {\"files\": [{\"name\": \"ALARM.AMR\", \"size\": 700}], \"free\": 75588}\n"
    "  orsactl modem rm ALARM.AMR\n"
    "      remove a file from the modem's drive C:\n"
    "  orsactl firmware T4_2.17 --backup before.cfg\n"
    "      keep the settings in before.cfg, then write T4_2.17.fmw into the beacon; Ctrl-C stops it after the "
    "block on its way (status 130), asking first at a terminal\n"
    "  orsactl --wait --log results.csv write beacon.cfg\n"
    "      write beacon.cfg into each beacon plugged in, one after another, a CSV row for each, until Ctrl-C\n"
    "  orsactl nmea --seconds 10 --log fix.log\n"
    "      ten seconds of whole NMEA sentences, the raw stream with its receive times in fix.log\n"
    "  orsactl gnss-flash --loader loader.bin --firmware AXN_3.8.bin\n"
    "      replace the GNSS module's firmware; files of unusual sizes need --force\n"
    "  orsactl gnss-recover\n"
    "      bring a GNSS module left in its boot ROM back to NMEA at 9600 baud\n"
    "\n"
    "JSON output:\n"
    "  service info --json prints one object with every key, in this order: model, firmware, imei, sim, iccid,\n"
    "  signal, signal_dbm, registration, operator, supply, supply_mv, unanswered. Each item holds the modem's\n"
    "  answer in words (\"-77 дБм (CSQ 18)\"), or null where the modem has no such command; an item the modem\n"
    "  left unanswered holds the words saying so and its key is listed in the array \"unanswered\". signal_dbm\n"
    "  (dBm) and supply_mv (millivolts) are numbers, null when unknown. modem ls --json prints {\"files\":\n"
    "  [{\"name\": ..., \"size\": N}, ...], \"free\": N}, names in UTF-8 and null for a size the modem did not\n"
    "  tell. Either is printed only when the operation succeeded; the log goes to standard error.\n";

// "orsactl: write: ..." on every line, then the way to the usage; a script reads the status, a person
// the text.
int usageError(std::ostream& err, const CLI::App* command, const std::string& what) {
  const std::string prefix = command ? "orsactl: " + command->get_name() + ": " : "orsactl: ";
  std::size_t start = 0;
  while (start <= what.size()) {
    const std::size_t end = std::min(what.find('\n', start), what.size());
    err << prefix << std::string_view(what).substr(start, end - start) << '\n';
    start = end + 1;
  }
  const std::string name = command ? "orsactl " + command->get_name() : "orsactl";
  err << "orsactl: run \"" << name << " --help\" for the usage\n";
  return kExitUsage;
}

// The help at the width of the terminal it is read on.
std::string wrapped(const std::string& help) { return wrapHelp(help, helpColumns()); }

// read, write or firmware on several beacons at once; the ports are checked before any is opened.
int runProductionLine(const CLI::App& command, const CommandRun& run, std::vector<std::string> ports, bool all,
                      bool trace, bool json, std::ostream& out, std::ostream& err,
                      std::unique_ptr<link::SerialPortMap> portMap) {
  const std::string name = command.get_name();
  if (name != "read" && name != "write" && name != "firmware") {
    return usageError(err, &command, "only read, write and firmware run on several ports (--port given twice, --all)");
  }
  for (const char* file : {"--save", "--backup"}) {
    if (const CLI::Option* option = command.get_option_no_throw(file); option && option->count() > 0) {
      return usageError(err, &command, std::string(file) + " keeps one beacon's settings: give a single --port");
    }
  }
  if (all) {
    if (!portMap) portMap = link::makeSystemSerialPortMap();
    for (const auto& port : link::candidatePorts(*portMap)) {
      if (std::find(ports.begin(), ports.end(), port) == ports.end()) ports.push_back(port);
    }
    if (ports.empty()) {
      err << "orsactl: " << link::kNotConnectedMessage << ": нет ни одного устройства USB CDC-ACM\n";
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

// read, write or firmware on each beacon plugged in, one after another, until Ctrl-C.
int runWaitLine(const CLI::App& command, const CommandRun& run, const std::string& logPath, bool trace,
                std::ostream& out, std::ostream& err, std::unique_ptr<link::SerialPortMap> portMap,
                std::unique_ptr<link::PortWatcher> watcher) {
  const std::string name = command.get_name();
  if (name != "read" && name != "write" && name != "firmware") {
    return usageError(err, &command, "only read, write and firmware wait for beacons (--wait)");
  }
  if (const CLI::Option* save = command.get_option_no_throw("--save"); save && save->count() > 0) {
    return usageError(err, &command, "--save keeps one beacon's settings: leave out --wait");
  }
  if (!watcher) {
    std::string error;
    watcher = link::makeSystemPortWatcher(portMap ? std::move(portMap) : link::makeSystemSerialPortMap(), error);
    if (!watcher) {
      err << "orsactl: " << error << '\n';
      return kExitFailed;
    }
  }
  WaitOptions options;
  options.operation = name;
  options.logPath = logPath;
  options.line.trace = trace;
  if (name == "read") options.line.successText = "Настройки прочитаны";
  return runWaitingLine(options, run, *watcher, out, err, &err == &std::cerr && standardErrorIsTerminal());
}

CLI::App* subcommandNamed(CLI::App& app, const std::string& name) {
  const auto found = app.get_subcommands([&name](CLI::App* sub) { return sub->get_name() == name; });
  return found.empty() ? nullptr : found.front();
}

int unknownCommand(std::ostream& err, const std::string& word) {
  std::vector<std::string> names;
  for (const auto& command : commands()) names.emplace_back(command.name);
  const auto meant = closestName(word, names);
  return usageError(err, nullptr, "unknown command \"" + word + "\"" + (meant ? "; did you mean " + *meant + "?" : ""));
}

// Where the command stands: the first word that is neither a global option nor the value of one.
std::optional<std::size_t> commandIndex(const std::vector<std::string>& args) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (word == "--port" || word == "--record" || word == "--log") {
      ++i;
      continue;
    }
    if (!word.empty() && word[0] == '-') continue;
    return i;
  }
  return std::nullopt;
}

std::optional<std::string> commandWord(const std::vector<std::string>& args) {
  const auto index = commandIndex(args);
  return index ? std::optional<std::string>(args[*index]) : std::nullopt;
}

// A --json before a command that has a --json of its own is that command's: "orsactl --json read" is
// "orsactl read --json", whether one port is used or several.
std::vector<std::string> jsonGivenToTheCommand(std::vector<std::string> args, CLI::App& app) {
  const auto index = commandIndex(args);
  if (!index) return args;
  const CLI::App* command = subcommandNamed(app, args[*index]);
  if (!command || !command->get_option_no_throw("--json")) return args;
  const auto global = std::find(args.begin(), args.begin() + static_cast<std::ptrdiff_t>(*index), "--json");
  if (global == args.begin() + static_cast<std::ptrdiff_t>(*index)) return args;
  args.erase(global);
  args.emplace_back("--json");
  return args;
}

}  // namespace

int runOrsactl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               std::unique_ptr<link::SerialPortMap> portMap, std::unique_ptr<link::PortWatcher> watcher) {
  CLI::App app("orsactl — command-line configurator for ОРСА Т1/Т2/Т4 beacons", "orsactl");
  app.formatter(std::make_shared<HelpFormatter>());
  app.footer(std::string(kExamples) + '\n' + kExitStatusNote);
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
  app.add_flag("--json", jsonTable,
               "results as JSON: a command's own --json (read, diff, settings, ...); for write and firmware the "
               "table of results, one row a port, with one port as with several");
  bool wait = false;
  app.add_flag("--wait", wait,
               "read, write or firmware on each beacon plugged in, one after another, until Ctrl-C: a line and a "
               "beep for each; then exit 0 when all succeeded, 1 when one failed, 130 when Ctrl-C cut one short");
  std::string logPath;
  app.add_option("--log", logPath,
                 "with --wait: append a CSV row for each beacon to FILE (time, port, usb_serial, imei, operation, "
                 "status, result, seconds), with a header when the file is new")
      ->option_text("FILE");
  std::string recordPath;
  app.add_option("--record", recordPath,
                 "keep every frame sent and every byte received, with their times, in FILE (JSON lines), for "
                 "orsa-beacon-sim --replay")
      ->option_text("FILE");

  std::vector<std::pair<CLI::App*, CommandRun>> runs;
  for (const auto& command : commands()) {
    CLI::App* sub = app.add_subcommand(command.name, command.summary);
    CommandRun run = command.define(*sub);
    // A command's own notes and examples come before the exit status.
    sub->footer(sub->get_footer().empty() ? std::string(kExitStatusNote)
                                          : sub->get_footer() + "\n\n" + kExitStatusNote);
    runs.emplace_back(sub, std::move(run));
  }
  // Earlier releases took "orsactl help" followed by anything; it is not listed among the commands.
  CLI::App* help = app.add_subcommand("help", "")->group("")->allow_extras()->fallthrough(false);

  const auto selected = [&]() -> const CLI::App* {
    const auto chosen = app.get_subcommands();
    return chosen.empty() ? nullptr : chosen.front();
  };
  try {
    // CLI11 wants the words last first, as it takes them from the back.
    const std::vector<std::string> words = jsonGivenToTheCommand(args, app);
    std::vector<std::string> reversed(words.rbegin(), words.rend());
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    out << wrapped(app.help());
    return kExitSuccess;
  } catch (const CLI::CallForVersion& version) {
    out << version.what() << '\n';
    return kExitSuccess;
  } catch (const CLI::ParseError& error) {
    if (!selected()) {
      if (const auto word = commandWord(args); word && !subcommandNamed(app, *word)) return unknownCommand(err, *word);
    }
    return usageError(err, selected(), error.what());
  } catch (const UsageError& error) {  // what a command found in its words once they were parsed
    return usageError(err, selected(), error.what());
  } catch (const InputError& error) {
    err << "orsactl: " << error.what() << '\n';
    return kExitFailed;
  }

  const CLI::App* chosen = selected();
  if (chosen == help) {
    // "help COMMAND" is "COMMAND --help".
    const auto asked = help->remaining();
    if (!asked.empty()) {
      if (const CLI::App* command = subcommandNamed(app, asked.front()); command && command != help) {
        out << wrapped(command->help("orsactl"));
        return kExitSuccess;
      }
      return unknownCommand(err, asked.front());
    }
    out << wrapped(app.get_formatter()->make_help(&app, "orsactl", CLI::AppFormatMode::Normal));
    return kExitSuccess;
  }
  if (!chosen) {
    if (const auto word = commandWord(args)) return unknownCommand(err, *word);
    return usageError(err, nullptr, "a COMMAND is required");
  }

  GlobalOptions options;
  if (!ports.empty()) options.port = ports.front();
  options.trace = trace;
  options.json = jsonTable;
  for (auto& [sub, run] : runs) {
    if (sub != chosen) continue;
    if (wait) {
      if (!ports.empty() || all)
        return usageError(err, chosen, "--wait takes each beacon plugged in: leave out --port and --all");
      if (!recordPath.empty()) return usageError(err, chosen, "--record keeps one beacon's session: leave out --wait");
      return runWaitLine(*chosen, run, logPath, trace, out, err, std::move(portMap), std::move(watcher));
    }
    if (!logPath.empty()) return usageError(err, chosen, "--log keeps the rows of --wait: give --wait too");
    // A dry run's result is the list of changes, which it gives as JSON itself.
    const CLI::Option* dryRun = chosen->get_option_no_throw("--dry-run");
    const bool tabled =
        (chosen->get_name() == "write" && !(dryRun && dryRun->count() > 0)) || chosen->get_name() == "firmware";
    if (all || ports.size() > 1 || (jsonTable && tabled)) {
      if (!recordPath.empty()) {
        return usageError(err, chosen,
                          all || ports.size() > 1
                              ? "--record keeps one beacon's session: give a single --port"
                              : "--record keeps no session of a table of results: leave out --json");
      }
      // One beacon's result as JSON is the table's one row, so a script reads one form.
      if (ports.empty() && !all) {
        if (!portMap) portMap = link::makeSystemSerialPortMap();
        if (const auto port = link::automaticPort(*portMap)) ports.push_back(*port);
      }
      if (!ports.empty() || all) {
        return runProductionLine(*chosen, run, ports, all, trace, jsonTable, out, err, std::move(portMap));
      }
    }
    const bool resultsTabled = chosen->get_name() == "write" || chosen->get_name() == "firmware";
    if (jsonTable && !chosen->get_option_no_throw("--json") && !resultsTabled) {
      return usageError(err, chosen, chosen->get_name() + " has no JSON output");
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
