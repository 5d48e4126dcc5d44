#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <system_error>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/NmeaPty.h"
#include "cli/NumberOption.h"
#include "cli/StopRequest.h"
#include "cli/UsageError.h"
#include "firmware/NmeaDecoder.h"
#include "firmware/ShowNMEAThread.h"
#include "link/SystemReason.h"

namespace orsa::cli {

namespace {

// A module that is on sends a sentence every second; three seconds of nothing is a module that is
// off, asleep in its boot ROM, or talking at another speed.
constexpr auto kSilenceLimit = std::chrono::seconds(3);
// No sentence is this long: what never ends in CR LF is noise, not the start of one.
constexpr std::size_t kLongestPartial = 4096;

// The stream as it came, on one line: control bytes and the backslash escaped, the rest untouched.
std::string escaped(std::string_view bytes) {
  std::string text;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\r') {
      text += "\\r";
    } else if (c == '\n') {
      text += "\\n";
    } else if (c == '\\') {
      text += "\\\\";
    } else if (byte < 0x20 || byte == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02x", byte);
      text += escape;
    } else {
      text += c;
    }
  }
  return text;
}

// One epoch for a script: every value the status line shows, null where the receiver gave none.
nlohmann::json epochJson(const firmware::GnssStatus& status) {
  using Json = nlohmann::json;
  using Fix = firmware::GnssStatus::Fix;
  using Correction = firmware::GnssStatus::Correction;
  const auto optional = [](const auto& value) { return value ? Json(*value) : Json(); };
  static const std::map<Fix, const char*> fixes = {{Fix::None, "none"}, {Fix::TwoD, "2d"}, {Fix::ThreeD, "3d"}};
  static const std::map<Correction, Json> corrections = {{Correction::None, Json()},
                                                         {Correction::Differential, "dgps"},
                                                         {Correction::Rtk, "rtk"},
                                                         {Correction::Estimated, "estimated"}};
  Json satellites = Json::array();
  for (const firmware::SatelliteView& s : status.satellites) {
    satellites.push_back({{"system", firmware::systemName(s.system)},
                          {"prn", s.prn},
                          {"elevation", optional(s.elevation)},
                          {"azimuth", optional(s.azimuth)},
                          {"snr", optional(s.snr)},
                          {"used", s.used}});
  }
  return {{"utc", optional(status.utcTime)},
          {"fix", fixes.at(status.fix)},
          {"correction", corrections.at(status.correction)},
          {"latitude", optional(status.latitude)},
          {"longitude", optional(status.longitude)},
          {"altitude_m", optional(status.altitude)},
          {"speed_kmh", optional(status.speed)},
          {"course", optional(status.course)},
          {"hdop", optional(status.hdop)},
          {"gps", {{"used", status.gps.used}, {"seen", status.gps.seen}}},
          {"glonass", {{"used", status.glonass.used}, {"seen", status.glonass.seen}}},
          {"satellites", std::move(satellites)},
          {"bad_checksums", status.badChecksums}};
}

}  // namespace

CommandRun defineNmea(CLI::App& app) {
  struct Options {
    std::uint32_t seconds = 0;
    bool decode = false;
    bool json = false;
    std::string ptyPath;
    std::string logPath;
  };
  auto options = std::make_shared<Options>();
  CLI::Option* seconds = app.add_option("--seconds", options->seconds, "stop after N seconds instead of at Ctrl-C")
                             ->transform(numberUpTo(365 * 24 * 3600))
                             ->option_text("N");
  app.add_flag("--decode", options->decode,
               "print the receiver's status instead of the stream, one line per epoch (each second) once the epoch "
               "is whole");
  app.add_flag("--json", options->json, "with --decode: one JSON object per epoch, satellites included");
  CLI::Option* ptyOption =
      app.add_option("--pty", options->ptyPath, "serve the stream on a pseudo-terminal linked at PATH (for gpsd)")
          ->option_text("PATH");
  CLI::Option* logOption =
      app.add_option("--log", options->logPath,
                     "keep the raw stream in FILE, one line per block received: milliseconds since the start, then "
                     "the bytes as they came (CR, LF, other control bytes and \\ escaped)")
          ->option_text("FILE");
  app.footer(
      "Only whole sentences are printed: one still arriving when the time is up is left out. With no sentence "
      "for 3 s the module is taken for silent (off, or in its boot ROM: see gnss-recover) and the command fails.\n\n"
      "Examples:\n"
      "  orsactl nmea --seconds 60 --log fix.log\n"
      "      a minute of the stream on standard output and, with its times, in fix.log\n"
      "  orsactl nmea --decode --json --seconds 10\n"
      "      ten epochs as JSON lines: fix, position, height, speed, satellites");
  return [options, seconds, ptyOption, logOption](CliContext& context) -> int {
    std::optional<std::chrono::seconds> limit;
    if (seconds->count() > 0) limit = std::chrono::seconds(options->seconds);
    const bool decode = options->decode;
    const bool json = options->json;
    if (json && !decode) throw UsageError("--json goes with --decode only");

    // Appended and flushed block by block rather than saved whole at the end: the log is most
    // wanted when the run ends badly (a crash, a kill, the cable pulled), and then it holds
    // everything up to the last block.
    std::ofstream log;
    if (logOption->count() > 0) {
      log.open(options->logPath, std::ios::binary | std::ios::trunc);
      if (!log) {
        context.err << "orsactl: --log " << options->logPath << ": " << link::systemReason(errno) << '\n';
        return kExitFailed;
      }
    }

    std::unique_ptr<NmeaPty> pty;
    if (ptyOption->count() > 0) {
      try {
        pty = std::make_unique<NmeaPty>(options->ptyPath);
      } catch (const std::system_error& error) {
        context.err << "orsactl: --pty " << options->ptyPath << ": " << link::systemReason(error.code()) << '\n';
        return kExitFailed;
      }
      context.err << "NMEA поток: " << options->ptyPath << " -> " << pty->devicePath() << '\n';
    }

    StopRequest stopRequest;  // before the relay's threads exist, so they inherit the blocked signals
    firmware::NmeaDecoder decoder;
    decoder.setEpochHandler([&](const firmware::GnssStatus& status) {
      if (json) {
        context.out << epochJson(status).dump() << std::endl;
      } else {
        context.out << firmware::statusLine(status) << std::endl;
      }
    });
    bool notConnected = false;
    bool sentenceSeen = false;
    bool silent = false;
    auto lastSentenceAt = std::chrono::steady_clock::now();
    bool logFailed = false;
    std::string partial;  // the sentence still arriving
    bool sentenceStarted = false;
    const auto start = std::chrono::steady_clock::now();
    firmware::ShowNMEAThread::Callbacks callbacks;
    // Every drain runs on the relay's thread, one after another; the main thread looks at what they
    // leave only after the join.
    callbacks.drain = [&](std::string_view stream) {
      if (silent) return;
      const auto now = std::chrono::steady_clock::now();
      const auto elapsed = now - start;
      if (log.is_open() && !stream.empty() && !logFailed) {
        log << std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() << ' ' << escaped(stream) << '\n'
            << std::flush;
        logFailed = !log;
      }
      if (pty) pty->write(stream);
      partial += stream;
      // The relay may join the module in the middle of a sentence: its tail is no whole sentence.
      if (!sentenceStarted) {
        const std::size_t first = partial.find_first_of("$!");
        sentenceStarted = first != std::string::npos;
        partial.erase(0, sentenceStarted ? first : partial.size());
      }
      const std::size_t end = partial.rfind("\r\n");
      if (end != std::string::npos) {
        sentenceSeen = true;
        lastSentenceAt = now;
        if (!decode && !pty) context.out << std::string_view(partial).substr(0, end + 2) << std::flush;
        partial.erase(0, end + 2);
      }
      if (partial.size() > kLongestPartial) {
        partial.clear();
        sentenceStarted = false;
      }
      if (decode) decoder.feed(stream, now);
      if (now - lastSentenceAt >= kSilenceLimit) {
        silent = true;
        stopRequest.finish();
      }
    };
    callbacks.showResult = [&](const firmware::ShowNMEAThread&) { notConnected = true; };
    firmware::ShowNMEAThread relay(context.deviceLink(), callbacks);
    // Until Ctrl-C, the time limit, the module's silence, or the relay ending by itself (the beacon
    // went away).
    relay.setFinishedHandler([&stopRequest] { stopRequest.finish(); });
    if (!relay.start()) return context.failed(relay.refusalMessage());
    stopRequest.wait(limit);
    relay.stopAndJoin();
    if (notConnected) return context.failed(link::kNotConnectedMessage);
    if (logFailed) {
      context.err << "orsactl: --log " << options->logPath << ": запись в файл не удалась\n";
      return kExitFailed;
    }
    // A time limit shorter than the silence limit that brought nothing counts as silence as well.
    if (!sentenceSeen || silent) {
      const auto quiet = std::chrono::steady_clock::now() - (sentenceSeen ? lastSentenceAt : start);
      context.err << "orsactl: nmea: модуль молчит: "
                  << (sentenceSeen ? "нет предложений NMEA уже " : "ни одного предложения NMEA за ")
                  << std::chrono::duration_cast<std::chrono::seconds>(quiet).count()
                  << " с (модуль выключен? service gnss-on; в загрузчике? gnss-recover)\n";
      return kExitFailed;
    }
    return kExitSuccess;
  };
}

}  // namespace orsa::cli
