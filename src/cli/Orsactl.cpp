#include "cli/Orsactl.h"

#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"

namespace orsa::cli {

namespace {

void printHelp(std::ostream& out) {
  out << "orsactl — command-line configurator for ОРСА Т1/Т2/Т4 beacons\n\n"
         "usage: orsactl [--port NAME] [--trace] COMMAND [ARGS]\n\n"
         "  --port NAME  use this serial port (/dev/ttyACM0 or ttyACM0) instead of the automatic choice\n"
         "  --trace      print every frame sent and every reply received as hex on standard error\n\n"
         "commands:\n";
  for (const auto& command : commands()) {
    out << "  " << command.name << ' ' << command.usage << "\n      " << command.summary << '\n';
  }
  out << "\nexit status: 0 success, 1 the operation failed, 2 usage error, 3 device not connected\n";
}

}  // namespace

int runOrsactl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               std::unique_ptr<link::SerialPortMap> portMap) {
  GlobalOptions options;
  std::size_t at = 0;
  for (; at < args.size(); ++at) {
    if (args[at] == "--trace") {
      options.trace = true;
    } else if (args[at] == "--port" && at + 1 < args.size()) {
      options.port = args[++at];
    } else if (args[at].rfind("--port=", 0) == 0) {
      options.port = args[at].substr(7);
    } else if (args[at] == "--help" || args[at] == "-h" || args[at] == "help") {
      printHelp(out);
      return kExitSuccess;
    } else {
      break;
    }
  }
  if (at >= args.size()) {
    printHelp(err);
    return kExitUsage;
  }
  const Command* command = nullptr;
  for (const auto& candidate : commands()) {
    if (args[at] == candidate.name) command = &candidate;
  }
  if (!command) {
    err << "orsactl: unknown command \"" << args[at] << "\" (see orsactl --help)\n";
    return kExitUsage;
  }
  Arguments arguments(std::vector<std::string>(args.begin() + static_cast<std::ptrdiff_t>(at) + 1, args.end()));
  try {
    CliContext context(options, out, err, std::move(portMap));
    return command->run(context, arguments);
  } catch (const UsageError& error) {
    err << "orsactl " << command->name << ": " << error.what() << "\nusage: orsactl " << command->name << ' '
        << command->usage << '\n';
    return kExitUsage;
  }
}

}  // namespace orsa::cli
