#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orsa::firmware {

// What the module's NMEA output says about its fix, gathered from GGA, RMC, GSA and GSV of any talker.
struct GnssStatus {
  enum class Fix { None, TwoD, ThreeD };
  struct Satellites {
    int used = 0;  // in the fix (GSA)
    int seen = 0;  // in view (GSV)
  };

  Fix fix = Fix::None;
  Satellites gps;
  Satellites glonass;
  std::optional<double> hdop;
  std::optional<double> latitude;      // degrees, north positive
  std::optional<double> longitude;     // degrees, east positive
  std::optional<std::string> utcTime;  // "hh:mm:ss"
  std::size_t sentences = 0;           // well-formed sentences taken
  std::size_t badChecksums = 0;        // sentences refused for their checksum
};

// Decodes a byte stream of NMEA 0183 sentences as it arrives.
class NmeaDecoder {
 public:
  // A sentence is at most 82 characters; a partial one longer than this is line noise and is dropped.
  static constexpr std::size_t kMaxPending = 128;

  // Bytes as they came; a sentence split across calls is joined.
  void feed(std::string_view bytes);
  const GnssStatus& status() const { return status_; }

 private:
  void take(std::string_view sentence);
  void takeGga(std::string_view fields);
  void takeRmc(std::string_view fields);
  void takeGsa(std::string_view talker, std::string_view fields);
  void takeGsv(std::string_view talker, std::string_view fields);
  void endGsaGroup();

  // The satellites used in the fix come in a run of GSA sentences, one or more per system; the run is summed
  // here and a system's count replaced as soon as the run speaks of it, so a reader never sees a half-counted
  // epoch, and a system the run no longer mentions drops to zero when the run ends.
  struct GsaRun {
    bool open = false;
    bool gpsTold = false;
    bool glonassTold = false;
    int gps = 0;
    int glonass = 0;
  };

  GnssStatus status_;
  std::string pending_;  // the sentence being received, from its '$'
  bool inSentence_ = false;
  GsaRun gsaRun_;
};

// The status in one line for the technician.
std::string statusLine(const GnssStatus& status);

}  // namespace orsa::firmware
