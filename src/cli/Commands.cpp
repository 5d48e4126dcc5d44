#include "cli/Command.h"

namespace orsa::cli {

std::span<const Command> commands() {
  static const Command table[] = {
      {"ports", "[--json]",
       "list the serial ports that open, each with its USB vendor:product, serial number and product string; the "
       "automatic choice is marked",
       definePorts},
      {"raw", "TYPE PARAM [HEXDATA] [--expect N] [--timeout MS]",
       "send one command frame and print the reply as hex and as text", defineRaw},
      {"read", "[--json] [--save FILE.cfg]", "read the beacon's settings; --save also keeps them (JSON for FILE.json)",
       defineRead},
      {"write", "[FILE.cfg | FILE.json | --defaults] [--set NAME=VALUE ...] [--yes] [--verify | --dry-run]",
       "read the beacon, put the file or the --set values on top (--defaults: the factory settings instead), check "
       "them as the window does and write them; --yes answers its questions with Yes",
       defineWrite},
      {"show", "FILE.cfg [--json]", "decode a settings file (or a JSON settings file)", defineShow},
      {"defaults", "[--json] [--save FILE]", "the factory settings; --save writes FILE.cfg, or JSON for FILE.json",
       defineDefaults},
      {"settings", "[--json]",
       "every setting write takes: its name, the window's caption, the values allowed and the factory value",
       defineSettings},
      {"diff", "A B [--json]",
       "compare the settings of two sources (beacon, a port, FILE.cfg, FILE.json) and list the slots that differ; "
       "status 1 when any do",
       defineDiff},
      {"firmware", "FILE.fmw [--backup FILE.cfg]",
       "replace the beacon's firmware (\".fmw\" is appended unless the name holds it); --backup first keeps the "
       "beacon's settings in a file",
       defineFirmware},
      {"command-file", "MODE [OUT]",
       "write the 3-byte server command file (MODE: search, test, daily or 1-3) to OUT, command.cfg by default; "
       "\".cfg\" is appended unless the name holds it",
       defineCommandFile},
      {"service",
       "modem-on | modem-off | gnss-on | gnss-off | sim-entry create|clear | imei-sms PHONE | call PHONE | hangup | "
       "info [--json]",
       "drive the beacon's modem and GNSS module as the service window does (run modem-on first); its log goes to "
       "standard output; info asks the modem's diagnostics (model, IMEI, SIM, signal, network, supply)",
       defineService},
      {"upload", "DIR|FILE...",
       "copy the *.AMR files of DIR (any letter case) and the FILEs into the modem's drive C:, replacing files of the "
       "same name",
       defineUpload},
      {"modem", "ls [--json] | rm NAME",
       "list the files on the modem's drive C: with their sizes and the free space, or remove one", defineModem},
      {"nmea", "[--seconds N] [--decode [--json]] [--pty PATH] [--log FILE]",
       "relay the GNSS module's NMEA stream to standard output, whole sentences only, until Ctrl-C or for N "
       "seconds (start the module first: service gnss-on); a module silent for 3 s fails the command; --decode "
       "prints the receiver's status instead, one line per whole epoch (--json: one JSON object); --pty serves the "
       "stream on a pseudo-terminal linked at "
       "PATH for gpsd and other GPS programs; --log keeps the raw stream with its receive times in FILE",
       defineNmea},
      {"gnss-flash", "--loader FILE --firmware FILE [--force]",
       "replace the GNSS module's firmware through its boot ROM: the loader goes first, then the firmware; files of "
       "unusual sizes need --force",
       defineGnssFlash},
      {"gnss-recover", "",
       "bring the GNSS module back to its normal mode (9600 baud, power restarted) after a flash cut short",
       defineGnssRecover},
  };
  return table;
}

}  // namespace orsa::cli
