#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/Json.h"
#include "link/DeviceConnection.h"
#include "link/PortList.h"

namespace orsa::cli {

int runPorts(CliContext& context, Arguments& arguments) {
  const bool json = arguments.flag("--json");
  if (!arguments.positionals().empty()) throw UsageError("ports takes no arguments");
  const auto ports = link::listOpenablePorts(context.portMap(), link::portOpens);
  const auto automatic = link::automaticPort(context.portMap());
  if (json) {
    context.out << "[";
    for (std::size_t i = 0; i < ports.size(); ++i) {
      context.out << (i ? ", " : "") << "{\"port\": " << jsonQuote(ports[i])
                  << ", \"automatic\": " << (automatic == ports[i] ? "true" : "false") << "}";
    }
    context.out << "]\n";
    return kExitSuccess;
  }
  if (ports.empty()) {
    context.out << "no serial port opens\n";
  }
  for (const auto& port : ports) {
    context.out << (automatic == port ? "* " : "  ") << port << '\n';
  }
  if (!automatic) {
    context.out << "(no automatic choice: it needs exactly one USB CDC-ACM device)\n";
  }
  return kExitSuccess;
}

}  // namespace orsa::cli
