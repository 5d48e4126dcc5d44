// The GNSS module's NMEA 0183 stream, decoded here by our own small parser: Debian packages no C/C++ NMEA
// parsing library, and the few sentences the GPS tab needs do not justify carrying a foreign one.
#include "firmware/NmeaDecoder.h"

#include <array>
#include <charconv>
#include <cmath>

namespace orsa::firmware {

namespace {

// GSV carries the most fields: 4 header fields and 4 per satellite, at most 4 satellites a sentence; 32 leaves
// room for the extra fields of newer NMEA revisions.
constexpr std::size_t kMaxFields = 32;

class Fields {
 public:
  explicit Fields(std::string_view text) {
    while (count_ < kMaxFields) {
      const std::size_t comma = text.find(',');
      fields_[count_++] = text.substr(0, comma);
      if (comma == std::string_view::npos) break;
      text.remove_prefix(comma + 1);
    }
  }
  // A field the sentence does not have reads as empty, as the receiver leaves unknown values.
  std::string_view operator[](std::size_t i) const { return i < count_ ? fields_[i] : std::string_view{}; }

 private:
  std::array<std::string_view, kMaxFields> fields_{};
  std::size_t count_ = 0;
};

std::optional<double> parseDouble(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::optional<int> parseInt(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<int> hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return std::nullopt;
}

// "ddmm.mmmm" (or "dddmm.mmmm") with its hemisphere letter, as signed decimal degrees.
std::optional<double> parseCoordinate(std::string_view value, std::string_view hemisphere, double maxDegrees,
                                      char positive, char negative) {
  const auto raw = parseDouble(value);
  if (!raw || *raw < 0 || hemisphere.size() != 1) return std::nullopt;
  const double degrees = std::floor(*raw / 100);
  const double minutes = *raw - degrees * 100;
  if (minutes >= 60) return std::nullopt;
  const double decimal = degrees + minutes / 60;
  if (decimal > maxDegrees) return std::nullopt;
  if (hemisphere[0] == positive) return decimal;
  if (hemisphere[0] == negative) return -decimal;
  return std::nullopt;
}

// "hhmmss" or "hhmmss.sss" as "hh:mm:ss".
std::optional<std::string> parseTime(std::string_view text) {
  if (text.size() < 6) return std::nullopt;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (!digit && !(i == 6 && text[i] == '.')) return std::nullopt;
  }
  const auto pair = [&](std::size_t at) { return (text[at] - '0') * 10 + (text[at + 1] - '0'); };
  if (pair(0) > 23 || pair(2) > 59 || pair(4) > 60) return std::nullopt;  // 60: a leap second
  std::string time;
  time.append(text.substr(0, 2)).append(":").append(text.substr(2, 2)).append(":").append(text.substr(4, 2));
  return time;
}

enum class PrnSystem { Gps, Glonass, Other };

// Satellite numbers as NMEA gives them: GPS 1-32, GLONASS 65-96; SBAS and the rest do not count.
PrnSystem systemOfPrn(int prn) {
  if (prn >= 1 && prn <= 32) return PrnSystem::Gps;
  if (prn >= 65 && prn <= 96) return PrnSystem::Glonass;
  return PrnSystem::Other;
}

std::string formatFixed(double value, int decimals) {
  std::array<char, 32> text{};
  // to_chars, not printf: the window program runs under the user's locale, which may want a decimal comma.
  const auto result = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, decimals);
  if (result.ec != std::errc{}) return "?";
  return std::string(text.data(), result.ptr);
}

// As few decimals as the value needs, at least one, at most two: "0.98", "1.0", "50.0".
std::string formatDop(double value) {
  std::string text = formatFixed(value, 2);
  if (text.size() >= 2 && text.back() == '0' && text[text.size() - 2] != '.') text.pop_back();
  return text;
}

constexpr const char* kUnknown = "—";

}  // namespace

void NmeaDecoder::feed(std::string_view bytes) {
  for (const char c : bytes) {
    if (c == '$') {
      // A '$' cannot be inside a sentence, so whatever was pending lost its end on the way; start afresh.
      pending_.assign(1, c);
      inSentence_ = true;
      continue;
    }
    if (!inSentence_) continue;
    if (c == '\r' || c == '\n') {
      take(pending_);
      pending_.clear();
      inSentence_ = false;
      continue;
    }
    // Sentences are printable ASCII; anything else (a zero byte, line noise) or a run past any real sentence's
    // length means this is not one. The checksum alone would not do: a zero byte leaves the XOR unchanged.
    const bool printable = c >= 0x20 && c <= 0x7e;
    if (!printable || pending_.size() >= kMaxPending) {
      pending_.clear();
      inSentence_ = false;
      continue;
    }
    pending_.push_back(c);
  }
}

void NmeaDecoder::take(std::string_view sentence) {
  sentence.remove_prefix(1);  // the '$'
  const std::size_t star = sentence.find('*');
  if (star == std::string_view::npos || sentence.size() != star + 3) {
    ++status_.badChecksums;
    return;
  }
  const std::string_view body = sentence.substr(0, star);
  const auto high = hexDigit(sentence[star + 1]);
  const auto low = hexDigit(sentence[star + 2]);
  int sum = 0;
  for (const char c : body) sum ^= static_cast<unsigned char>(c);
  if (!high || !low || *high * 16 + *low != sum) {
    ++status_.badChecksums;
    return;
  }

  const std::size_t comma = body.find(',');
  const std::string_view address = body.substr(0, comma);
  if (address.empty()) return;
  ++status_.sentences;

  // Proprietary sentences ("$P...") carry no talker and are not ours to read.
  const bool standard = address.size() == 5 && address[0] != 'P';
  const std::string_view type = standard ? address.substr(2) : std::string_view{};
  const std::string_view talker = standard ? address.substr(0, 2) : std::string_view{};
  if (type != "GSA") endGsaGroup();
  if (!standard) return;

  if (type == "GGA") {
    takeGga(body);
  } else if (type == "RMC") {
    takeRmc(body);
  } else if (type == "GSA") {
    takeGsa(talker, body);
  } else if (type == "GSV") {
    takeGsv(talker, body);
  }
}

void NmeaDecoder::takeGga(std::string_view body) {
  const Fields f(body);
  status_.utcTime = parseTime(f[1]);
  const auto quality = parseInt(f[6]);
  status_.latitude.reset();
  status_.longitude.reset();
  if (!quality || *quality == 0) {
    // The receiver often repeats its last position while it has no fix; that position is not where it is now.
    status_.fix = GnssStatus::Fix::None;
  } else {
    const auto latitude = parseCoordinate(f[2], f[3], 90, 'N', 'S');
    const auto longitude = parseCoordinate(f[4], f[5], 180, 'E', 'W');
    if (latitude && longitude) {
      status_.latitude = latitude;
      status_.longitude = longitude;
    }
  }
  status_.hdop = parseDouble(f[8]);
  if (status_.hdop && *status_.hdop < 0) status_.hdop.reset();
}

void NmeaDecoder::takeRmc(std::string_view body) {
  const Fields f(body);
  status_.utcTime = parseTime(f[1]);
  status_.latitude.reset();
  status_.longitude.reset();
  if (f[2] != "A") {
    status_.fix = GnssStatus::Fix::None;
    return;
  }
  const auto latitude = parseCoordinate(f[3], f[4], 90, 'N', 'S');
  const auto longitude = parseCoordinate(f[5], f[6], 180, 'E', 'W');
  if (latitude && longitude) {
    status_.latitude = latitude;
    status_.longitude = longitude;
  }
}

void NmeaDecoder::takeGsa(std::string_view talker, std::string_view body) {
  const Fields f(body);
  const auto mode = parseInt(f[2]);
  if (mode == 1) status_.fix = GnssStatus::Fix::None;
  if (mode == 2) status_.fix = GnssStatus::Fix::TwoD;
  if (mode == 3) status_.fix = GnssStatus::Fix::ThreeD;
  // Only taken when given: with one GSA per system, some receivers leave the DOPs empty in all but the first.
  if (const auto hdop = parseDouble(f[16]); hdop && *hdop >= 0) status_.hdop = hdop;

  if (!gsaRun_.open) {
    gsaRun_ = GsaRun{};
    gsaRun_.open = true;
  }
  // The system ID field came with NMEA 4.11; older receivers tell the system by talker or by satellite number.
  const auto systemId = parseInt(f[18]);
  const bool glonassOnly = talker == "GL" || systemId == 2;
  const bool otherSystem = systemId && *systemId != 1 && *systemId != 2;
  if (talker == "GP" || systemId == 1) gsaRun_.gpsTold = true;
  if (glonassOnly) gsaRun_.glonassTold = true;
  if (!otherSystem && (talker == "GP" || talker == "GL" || talker == "GN")) {
    for (std::size_t i = 3; i <= 14; ++i) {
      const auto prn = parseInt(f[i]);
      if (!prn) continue;
      const PrnSystem system = glonassOnly ? PrnSystem::Glonass : systemOfPrn(*prn);
      if (system == PrnSystem::Gps) {
        ++gsaRun_.gps;
        gsaRun_.gpsTold = true;
      } else if (system == PrnSystem::Glonass) {
        ++gsaRun_.glonass;
        gsaRun_.glonassTold = true;
      }
    }
  }
  if (gsaRun_.gpsTold) status_.gps.used = gsaRun_.gps;
  if (gsaRun_.glonassTold) status_.glonass.used = gsaRun_.glonass;
}

void NmeaDecoder::endGsaGroup() {
  if (!gsaRun_.open) return;
  if (!gsaRun_.gpsTold) status_.gps.used = 0;
  if (!gsaRun_.glonassTold) status_.glonass.used = 0;
  gsaRun_.open = false;
}

void NmeaDecoder::takeGsv(std::string_view talker, std::string_view body) {
  const Fields f(body);
  const auto inView = parseInt(f[3]);
  if (!inView || *inView < 0) return;
  if (talker == "GP") status_.gps.seen = *inView;
  if (talker == "GL") status_.glonass.seen = *inView;
}

std::string statusLine(const GnssStatus& status) {
  std::string line = "Фикс: ";
  switch (status.fix) {
    case GnssStatus::Fix::None:
      line += "нет";
      break;
    case GnssStatus::Fix::TwoD:
      line += "2D";
      break;
    case GnssStatus::Fix::ThreeD:
      line += "3D";
      break;
  }
  const auto satellites = [](const GnssStatus::Satellites& s) {
    return std::to_string(s.used) + "/" + std::to_string(s.seen);
  };
  line += " | GPS " + satellites(status.gps);
  line += " | ГЛОНАСС " + satellites(status.glonass);
  line += " | HDOP ";
  line += status.hdop ? formatDop(*status.hdop) : kUnknown;
  line += " | ";
  if (status.latitude && status.longitude) {
    line += formatFixed(std::fabs(*status.latitude), 6) + (*status.latitude < 0 ? "° S " : "° N ");
    line += formatFixed(std::fabs(*status.longitude), 6) + (*status.longitude < 0 ? "° W" : "° E");
  } else {
    line += std::string("координаты ") + kUnknown;
  }
  line += " | UTC ";
  line += status.utcTime ? *status.utcTime : kUnknown;
  line += " | ошибок КС: " + std::to_string(status.badChecksums);
  return line;
}

}  // namespace orsa::firmware
