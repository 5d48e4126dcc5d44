#include "sim/SimOptions.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <utility>

namespace orsa::sim {

namespace {

template <typename T>
std::optional<T> number(std::string_view text, T min = 0, T max = std::numeric_limits<T>::max()) {
  T value{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size() || text.empty() || value < min || value > max) {
    return std::nullopt;
  }
  return value;
}

std::vector<std::string_view> splitColons(std::string_view text) {
  std::vector<std::string_view> parts;
  while (true) {
    const auto colon = text.find(':');
    parts.push_back(text.substr(0, colon));
    if (colon == std::string_view::npos) {
      return parts;
    }
    text.remove_prefix(colon + 1);
  }
}

struct FaultArgs {
  std::uint8_t type;
  unsigned nth;
  std::size_t extra;  // the third field, when there is one
};

// "TYPE:N" or "TYPE:N:X"; TYPE 0-255, N 0 (every frame) or more.
std::optional<FaultArgs> faultArgs(std::string_view text, bool withExtra) {
  const auto parts = splitColons(text);
  if (parts.size() != (withExtra ? 3U : 2U)) {
    return std::nullopt;
  }
  const auto type = number<unsigned>(parts[0], 0, 255);
  const auto nth = number<unsigned>(parts[1]);
  const auto extra = withExtra ? number<std::size_t>(parts[2]) : std::optional<std::size_t>(0);
  if (!type || !nth || !extra) {
    return std::nullopt;
  }
  return FaultArgs{static_cast<std::uint8_t>(*type), *nth, *extra};
}

constexpr std::pair<std::string_view, GnssStage> kGnssStages[] = {
    {"sync", GnssStage::Sync},
    {"0a", GnssStage::Handshake0A},
    {"50", GnssStage::Handshake50},
    {"05", GnssStage::Handshake05},
    {"write", GnssStage::WriteCommand},
    {"address", GnssStage::WriteAddress},
    {"length", GnssStage::WriteLength},
    {"loader", GnssStage::WriteData},
    {"checksum-command", GnssStage::ChecksumCommand},
    {"checksum", GnssStage::ChecksumStep},
    {"jump", GnssStage::JumpCommand},
    {"jump-address", GnssStage::JumpAddress},
    {"range", GnssStage::Range},
    {"packet-size", GnssStage::PacketSize},
    {"packet-ack", GnssStage::PacketAck},
};

std::optional<GnssStage> gnssStage(std::string_view name) {
  for (const auto& [text, stage] : kGnssStages) {
    if (text == name) {
      return stage;
    }
  }
  return std::nullopt;
}

}  // namespace

SimOptionsResult parseSimOptions(const std::vector<std::string_view>& args) {
  SimOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view name = args[i];
    std::optional<std::string_view> inlineValue;
    if (const auto eq = name.find('='); name.starts_with("--") && eq != std::string_view::npos) {
      inlineValue = name.substr(eq + 1);
      name = name.substr(0, eq);
    }
    const auto fail = [&](const std::string& why) { return SimOptionsResult{std::nullopt, why}; };
    const bool takesValue = name == "--link" || name == "--throttle" || name == "--drop" || name == "--delay" ||
                            name == "--short" || name == "--garbage" || name == "--flood" || name == "--hangup-after" ||
                            name == "--modem-drive-size" || name == "--modem-lacks" || name == "--nmea" ||
                            name == "--replay" || name == "--gnss-silent-from" || name == "--gnss-sync-from" ||
                            name == "--gnss-unacked-packet" || name == "--gnss-reject-packet" ||
                            name == "--gnss-reject-packet-always";
    if (!takesValue) {
      if (inlineValue) {
        return fail("option " + std::string(name) + " takes no value");
      }
      if (name == "--trace") {
        options.trace = true;
      } else if (name == "--help" || name == "-h") {
        options.help = true;
      } else if (name == "--version") {
        options.version = true;
      } else if (name == "--modem-stays-off") {
        options.faults.modemStaysOff();
      } else if (name == "--modem-no-prompt") {
        options.faults.modemGivesNoPrompt();
      } else if (name == "--modem-no-write-ok") {
        options.faults.modemGivesNoWriteConfirmation();
      } else if (name == "--modem-no-sim") {
        options.faults.modemWithoutSim();
      } else if (name == "--modem-no-network") {
        options.faults.modemWithoutNetwork();
      } else if (name == "--modem-refuses-sms") {
        options.faults.modemRefusesSms();
      } else if (name == "--modem-call-busy") {
        options.faults.modemFindsCallBusy();
      } else {
        return fail("unknown option " + std::string(name));
      }
      continue;
    }
    std::string_view value;
    if (inlineValue) {
      value = *inlineValue;
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      return fail("option " + std::string(name) + " needs a value");
    }
    const auto bad = [&](const char* form) {
      return fail("option " + std::string(name) + " expects " + form + ", got \"" + std::string(value) + "\"");
    };
    if (name == "--link") {
      if (value.empty()) {
        return bad("a path");
      }
      options.linkPath = value;
    } else if (name == "--nmea") {
      if (value.empty()) {
        return bad("a path");
      }
      options.nmeaPath = value;
    } else if (name == "--replay") {
      if (value.empty()) {
        return bad("a path");
      }
      options.replayPath = value;
    } else if (name == "--gnss-silent-from") {
      const auto stage = gnssStage(value);
      if (!stage) {
        return bad("a stage name (see --help)");
      }
      options.faults.gnssSilentFrom(*stage);
    } else if (name == "--gnss-sync-from" || name == "--gnss-unacked-packet" || name == "--gnss-reject-packet" ||
               name == "--gnss-reject-packet-always") {
      const auto nth = number<unsigned>(value, 1);
      if (!nth) {
        return bad("a count above 0");
      }
      if (name == "--gnss-sync-from") {
        options.faults.gnssAnswersSyncFrom(*nth);
      } else if (name == "--gnss-unacked-packet") {
        options.faults.gnssLeavesPacketUnacknowledged(*nth);
      } else {
        options.faults.gnssRejectsPacket(*nth, name == "--gnss-reject-packet-always");
      }
    } else if (name == "--throttle") {
      const auto baud = number<unsigned>(value, 1);
      if (!baud) {
        return bad("a baud rate above 0");
      }
      options.faults.throttle(*baud);
    } else if (name == "--hangup-after") {
      const auto frames = number<std::size_t>(value, 1);
      if (!frames) {
        return bad("a frame count above 0");
      }
      options.faults.hangUpAfter(*frames);
    } else if (name == "--modem-drive-size") {
      const auto bytes = number<std::size_t>(value);
      if (!bytes) {
        return bad("a size in bytes");
      }
      options.faults.modemDriveSize(*bytes);
    } else if (name == "--modem-lacks") {
      std::vector<std::string_view> commands;
      for (std::string_view rest = value;;) {
        const auto comma = rest.find(',');
        commands.push_back(rest.substr(0, comma));
        if (comma == std::string_view::npos) {
          break;
        }
        rest.remove_prefix(comma + 1);
      }
      if (!std::all_of(commands.begin(), commands.end(), isModemCommandName)) {
        return bad("command names such as +CBC,+CCID,I");
      }
      for (const auto command : commands) {
        options.faults.modemLacks(command);
      }
    } else if (name == "--drop" || name == "--garbage") {
      const auto f = faultArgs(value, false);
      if (!f) {
        return bad("TYPE:N");
      }
      if (name == "--drop") {
        options.faults.dropReply(f->type, f->nth);
      } else {
        options.faults.garbageReply(f->type, f->nth);
      }
    } else {
      const auto f = faultArgs(value, true);
      if (name == "--delay") {
        if (!f || f->extra > std::numeric_limits<unsigned>::max()) {
          return bad("TYPE:N:MS");
        }
        options.faults.delayReply(f->type, f->nth, std::chrono::milliseconds(f->extra));
      } else if (name == "--short") {
        if (!f) {
          return bad("TYPE:N:BYTES");
        }
        options.faults.shortReply(f->type, f->nth, f->extra);
      } else {
        if (!f) {
          return bad("TYPE:N:BYTES");
        }
        options.faults.flood(f->type, f->nth, f->extra);
      }
    }
  }
  // A replay answers only as the recording did; the model's faults and capture have no part in it.
  if (!options.replayPath.empty() && (!options.faults.empty() || !options.nmeaPath.empty() || options.trace)) {
    return {std::nullopt, "--replay takes no fault, --nmea or --trace options"};
  }
  return {std::move(options), {}};
}

std::string simUsage() {
  return "Usage: orsa-beacon-sim [options]\n"
         "Serves a simulated ORSA beacon on a pseudo-terminal. The first line of output is the port\n"
         "path to open; the simulator runs until SIGINT or SIGTERM.\n"
         "\n"
         "Options:\n"
         "  --link PATH            also make a symbolic link PATH to the port (removed at exit)\n"
         "  --throttle BAUD        run the line at BAUD in both directions (10 bits per byte)\n"
         "  --drop TYPE:N          do not answer the Nth frame of TYPE\n"
         "  --delay TYPE:N:MS      answer the Nth frame of TYPE MS milliseconds late\n"
         "  --short TYPE:N:BYTES   send only the first BYTES bytes of the answer\n"
         "  --garbage TYPE:N       answer with garbage of the same length\n"
         "  --flood TYPE:N:BYTES   send BYTES unsolicited bytes instead of the answer\n"
         "  --hangup-after N       close the port once the Nth frame arrived, without answering it\n"
         "  --modem-stays-off      acknowledge ModemOn but leave the GSM modem off (it answers nothing)\n"
         "  --modem-no-prompt      the modem never prompts for file bytes (AT+FSWRITE) or SMS text (AT+CMGS)\n"
         "  --modem-no-write-ok    the modem stores written file bytes but never confirms them with OK\n"
         "  --modem-drive-size BYTES\n"
         "                         the modem's drive C: holds BYTES bytes (0: a full drive)\n"
         "  --modem-no-sim         the modem has no SIM card: AT+CPIN?, AT+CCID and AT+CPBW get\n"
         "                         +CME ERROR: 10, AT+CMGS +CMS ERROR: 310, ATD NO CARRIER; it is not\n"
         "                         registered (+CREG: 0,0)\n"
         "  --modem-no-network     the modem finds no network: +CREG: 0,2, +COPS: 0, +CSQ: 99,99, ATD\n"
         "                         gets NO CARRIER and a text message +CMS ERROR: 331 after its Ctrl-Z\n"
         "  --modem-refuses-sms    AT+CMGS gets +CMS ERROR: 500 instead of the prompt\n"
         "  --modem-call-busy      ATD gets BUSY\n"
         "  --modem-lacks CMD[,CMD...]\n"
         "                         the modem does not have these commands and answers them with ERROR;\n"
         "                         a command is named as it follows AT: +CBC, +CCID, I\n"
         "  --nmea FILE            the GNSS module streams this capture (lines starting with # are\n"
         "                         skipped) instead of its built-in one\n"
         "  --gnss-silent-from STAGE\n"
         "                         the GNSS module hangs at this step of a flash run: sync, 0a, 50, 05,\n"
         "                         write, address, length, loader, checksum-command, checksum, jump,\n"
         "                         jump-address, range, packet-size, packet-ack\n"
         "  --gnss-sync-from N     the boot ROM answers only the Nth A0 and later ones\n"
         "  --gnss-unacked-packet N\n"
         "                         the loader keeps the Nth firmware packet but does not acknowledge it\n"
         "  --gnss-reject-packet N the loader answers the Nth firmware packet 0xEE the first time\n"
         "  --gnss-reject-packet-always N\n"
         "                         the loader answers the Nth firmware packet 0xEE every time\n"
         "  --trace                print each frame received to standard error, in hex\n"
         "  --replay FILE          answer as the session recorded by orsactl --record or\n"
         "                         orsa-configurator --record did: after each block the program sends,\n"
         "                         the bytes received after it, at their recorded delays. A block the\n"
         "                         recording does not have next gets no answer and a warning on\n"
         "                         standard error; the replay waits on for the block it expects\n"
         "  --help                 show this text\n"
         "  --version              show the version\n"
         "\n"
         "TYPE is the frame type (1-11); N counts frames of that type from 1, and 0 means every one.\n"
         "Options may be repeated.\n";
}

}  // namespace orsa::sim
