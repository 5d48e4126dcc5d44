#include "cli/Command.h"

namespace orsa::cli {

std::span<const Command> commands() {
  static const Command table[] = {
      {"ports", "[--json]", "list the serial ports that open; the automatic choice is marked", runPorts},
      {"raw", "TYPE PARAM [HEXDATA] [--expect N] [--timeout MS]",
       "send one command frame and print the reply as hex and as text", runRaw},
      {"firmware", "FILE.fmw", "replace the beacon's firmware (\".fmw\" is appended unless the name holds it)",
       runFirmware},
  };
  return table;
}

}  // namespace orsa::cli
