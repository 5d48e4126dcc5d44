#include "cli/Command.h"

namespace orsa::cli {

std::span<const Command> commands() {
  static const Command table[] = {
      {"ports", "[--json]", "list the serial ports that open; the automatic choice is marked", runPorts},
      {"raw", "TYPE PARAM [HEXDATA] [--expect N] [--timeout MS]",
       "send one command frame and print the reply as hex and as text", runRaw},
      {"read", "[--json] [--save FILE.cfg]", "read the beacon's settings; --save also keeps them (JSON for FILE.json)",
       runRead},
      {"write", "[FILE.cfg | FILE.json | --defaults] [--set NAME=VALUE ...] [--yes]",
       "read the beacon, put the file or the --set values on top (--defaults: the factory settings instead), check "
       "them as the window does and write them; --yes answers its questions with Yes",
       runWrite},
      {"show", "FILE.cfg [--json]", "decode a settings file (or a JSON settings file)", runShow},
      {"defaults", "[--json] [--save FILE]", "the factory settings; --save writes FILE.cfg, or JSON for FILE.json",
       runDefaults},
      {"firmware", "FILE.fmw", "replace the beacon's firmware (\".fmw\" is appended unless the name holds it)",
       runFirmware},
      {"command-file", "MODE [OUT]",
       "write the 3-byte server command file (MODE: search, test, daily or 1-3) to OUT, command.cfg by default; "
       "\".cfg\" is appended unless the name holds it",
       runCommandFile},
  };
  return table;
}

}  // namespace orsa::cli
