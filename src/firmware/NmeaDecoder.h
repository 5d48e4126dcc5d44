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
  // Bytes as they came; a sentence split across calls is joined.
  void feed(std::string_view bytes);
  const GnssStatus& status() const { return status_; }

 private:
  GnssStatus status_;
};

// The status in one line for the technician.
std::string statusLine(const GnssStatus& status);

}  // namespace orsa::firmware
