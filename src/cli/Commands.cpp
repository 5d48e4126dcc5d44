#include "cli/Command.h"

namespace orsa::cli {

std::span<const Command> commands() {
  static const Command table[] = {
      {"ports", "[--json]", "list the serial ports that open; the automatic choice is marked", definePorts},
      {"raw", "TYPE PARAM [HEXDATA] [--expect N] [--timeout MS]",
       "send one command frame and print the reply as hex and as text", defineRaw},
      {"read", "[--json] [--save FILE.cfg]", "read the beacon's settings; --save also keeps them (JSON for FILE.json)",
       defineRead},
      {"write", "[FILE.cfg | FILE.json | --defaults] [--set NAME=VALUE ...] [--yes]",
       "read the beacon, put the file or the --set values on top (--defaults: the factory settings instead), check "
       "them as the window does and write them; --yes answers its questions with Yes",
       defineWrite},
      {"show", "FILE.cfg [--json]", "decode a settings file (or a JSON settings file)", defineShow},
      {"defaults", "[--json] [--save FILE]", "the factory settings; --save writes FILE.cfg, or JSON for FILE.json",
       defineDefaults},
      {"firmware", "FILE.fmw", "replace the beacon's firmware (\".fmw\" is appended unless the name holds it)",
       defineFirmware},
      {"command-file", "MODE [OUT]",
       "write the 3-byte server command file (MODE: search, test, daily or 1-3) to OUT, command.cfg by default; "
       "\".cfg\" is appended unless the name holds it",
       defineCommandFile},
      {"service",
       "modem-on | modem-off | gnss-on | gnss-off | sim-entry create|clear | imei-sms PHONE | call PHONE | hangup",
       "drive the beacon's modem and GNSS module as the service window does (run modem-on first); its log goes to "
       "standard output",
       defineService},
      {"upload", "DIR|FILE...",
       "copy the *.AMR files of DIR (any letter case) and the FILEs into the modem's drive C:, replacing files of the "
       "same name",
       defineUpload},
      {"nmea", "[--seconds N] [--decode] [--pty PATH]",
       "relay the GNSS module's NMEA stream to standard output until Ctrl-C or for N seconds (start the module "
       "first: service gnss-on); --decode prints the receiver's status once a second instead; --pty serves the "
       "stream on a pseudo-terminal linked at PATH for gpsd and other GPS programs",
       defineNmea},
      {"gnss-flash", "--loader FILE --firmware FILE",
       "replace the GNSS module's firmware through its boot ROM: the loader goes first, then the firmware",
       defineGnssFlash},
  };
  return table;
}

}  // namespace orsa::cli
