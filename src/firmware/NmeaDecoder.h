#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orsa::firmware {

enum class GnssSystem { Gps, Sbas, Glonass, Galileo, Beidou, Qzss, Other };

// One satellite as the receiver's GSV sentences describe it; what the receiver leaves out is empty.
struct SatelliteView {
  GnssSystem system = GnssSystem::Other;
  int prn = 0;
  std::optional<int> elevation;  // degrees above the horizon
  std::optional<int> azimuth;    // degrees from north
  std::optional<int> snr;        // dB-Hz; empty while the satellite is not tracked
  bool used = false;             // in the fix (GSA)

  bool operator==(const SatelliteView&) const = default;
};

// What one whole epoch of the module's NMEA output says about its fix, from GGA, RMC, GLL, VTG, GSA and GSV
// of any talker.
struct GnssStatus {
  enum class Fix { None, TwoD, ThreeD };
  // How the fix was made (GGA quality, RMC mode).
  enum class Correction { None, Differential, Rtk, Estimated };
  struct Satellites {
    int used = 0;  // in the fix (GSA)
    int seen = 0;  // in view (GSV)
    bool operator==(const Satellites&) const = default;
  };

  Fix fix = Fix::None;
  Correction correction = Correction::None;
  Satellites gps;
  Satellites glonass;
  std::optional<double> hdop;
  std::optional<double> latitude;         // degrees, north positive
  std::optional<double> longitude;        // degrees, east positive
  std::optional<double> altitude;         // metres above mean sea level
  std::optional<double> speed;            // km/h over ground
  std::optional<double> course;           // degrees from true north
  std::optional<std::string> utcTime;     // "hh:mm:ss"
  std::vector<SatelliteView> satellites;  // by system, then number
  std::size_t sentences = 0;              // well-formed sentences taken
  std::size_t badChecksums = 0;           // sentences refused for their checksum

  bool operator==(const GnssStatus&) const = default;
};

// Decodes a byte stream of NMEA 0183 sentences as it arrives, one whole epoch at a time. A receiver sends
// an epoch as a burst of sentences once a second; a view built from part of one would mix two seconds (or
// show "GPS 0/11" before the epoch's GSA came), so the status changes only when an epoch is whole: when
// the next one begins, or as soon as the sentence that ended the last one comes again.
class NmeaDecoder {
 public:
  using Clock = std::chrono::steady_clock;
  using EpochHandler = std::function<void(const GnssStatus&)>;

  // A sentence is at most 82 characters; a partial one longer than this is line noise and is dropped.
  static constexpr std::size_t kMaxPending = 128;
  // A module that is on sends an epoch every second: this long without a sentence means its status is
  // no longer known.
  static constexpr std::chrono::seconds kStaleAfter{3};

  // Bytes as they came at `now`; a sentence split across calls is joined.
  void feed(std::string_view bytes, Clock::time_point now = Clock::now());
  // The last whole epoch; the sentence counters are always current.
  const GnssStatus& status() const { return status_; }
  // Called with each epoch as it becomes whole.
  void setEpochHandler(EpochHandler handler) { onEpoch_ = std::move(handler); }

  // Since the last whole sentence, or since the first bytes were fed while none has come; empty before
  // anything was fed.
  std::optional<Clock::duration> silence(Clock::time_point now) const;
  // Whether status() still tells how the receiver is: an epoch has been whole and the module has not been
  // silent for kStaleAfter since.
  bool fresh(Clock::time_point now) const;

 private:
  // The sentences of the epoch being received, until it is whole.
  struct Epoch {
    std::optional<std::string> time;      // the raw hhmmss[.sss] all its timed sentences share
    std::set<std::string> positionKinds;  // the position sentences it holds, by address: a second one starts an epoch
    std::optional<int> ggaQuality;
    std::optional<int> ggaSatellites;
    std::optional<bool> rmcValid;
    std::optional<bool> gllValid;
    std::optional<char> mode;  // RMC's, GLL's or VTG's mode indicator
    std::optional<double> latitude;
    std::optional<double> longitude;
    std::optional<double> altitude;
    std::optional<double> speed;
    std::optional<double> course;
    std::optional<double> ggaHdop;
    std::optional<double> gsaHdop;
    std::optional<int> gsaMode;
    bool gsaSeen = false;
    std::set<std::pair<GnssSystem, int>> used;
    // Satellites in view by system, from this epoch's GSV groups; a system without one keeps the last.
    std::vector<std::pair<GnssSystem, int>> inView;
    std::vector<SatelliteView> satellites;
    bool gpsTalkerGga = false;
    bool touched = false;  // has taken a sentence since it was last published
  };

  void take(std::string_view sentence);
  // Begins a new epoch if `address` with `time` cannot belong to the one being received.
  void beginEpochIfNew(const std::string& address, const std::optional<std::string>& time);
  void publish();
  void takeGga(std::string_view body);
  void takeRmc(std::string_view body);
  void takeGll(std::string_view body);
  void takeVtg(std::string_view body);
  void takeGsa(std::string_view talker, std::string_view body);
  void takeGsv(std::string_view talker, std::string_view body);
  void takePosition(std::string_view latitude, std::string_view north, std::string_view longitude,
                    std::string_view east);

  GnssStatus status_;
  Epoch epoch_;
  // The epoch being received began at a boundary this decoder saw, so it is not the tail of one that began
  // before the decoder listened.
  bool epochBegunHere_ = false;
  bool everPublished_ = false;
  // The kind of the sentence that ended the last epoch ("ZDA", "RMC"...): once known, an epoch is whole
  // when it comes, without waiting a second for the next epoch's first sentence.
  std::string lastKind_;
  std::string closingKind_;
  std::string pending_;  // the sentence being received, from its '$'
  bool inSentence_ = false;
  std::optional<Clock::time_point> firstFedAt_;
  std::optional<Clock::time_point> lastSentenceAt_;
  EpochHandler onEpoch_;
};

// The status in one line for the technician.
std::string statusLine(const GnssStatus& status);
// The line the receiver view shows at `now`: the status line while fresh, otherwise why there is none.
std::string receiverLine(const NmeaDecoder& decoder, NmeaDecoder::Clock::time_point now);
// "GPS", "ГЛОНАСС", "Galileo"...
std::string systemName(GnssSystem system);

}  // namespace orsa::firmware
