// The GNSS module's NMEA 0183 stream, decoded here by our own small parser: Debian packages no C/C++ NMEA
// parsing library, and gpsd, the reference reader, is a daemon rather than a library. The tests hold this
// decoder to gpsd's reading of the same stream.
#include "firmware/NmeaDecoder.h"

#include <algorithm>
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

// The hhmmss[.sss] of a timed sentence, as sent, when it is a time at all.
std::optional<std::string> rawTime(std::string_view text) {
  if (!parseTime(text)) return std::nullopt;
  return std::string(text);
}

// Sentences of which an epoch holds one: a second one of the same address begins the next epoch.
bool isPositionKind(std::string_view kind) {
  return kind == "GGA" || kind == "RMC" || kind == "GLL" || kind == "VTG" || kind == "GNS" || kind == "ZDA";
}

// The field that holds a sentence's UTC time, for the kinds that carry one.
std::optional<std::size_t> timeField(std::string_view kind) {
  if (kind == "GGA" || kind == "RMC" || kind == "ZDA" || kind == "GNS" || kind == "GST" || kind == "GRS" ||
      kind == "GBS") {
    return 1;
  }
  if (kind == "GLL") return 5;
  return std::nullopt;
}

// The system a talker speaks for alone; GN (combined) and unknown talkers speak for none.
std::optional<GnssSystem> talkerSystem(std::string_view talker) {
  if (talker == "GP") return GnssSystem::Gps;
  if (talker == "GL") return GnssSystem::Glonass;
  if (talker == "GA") return GnssSystem::Galileo;
  if (talker == "GB" || talker == "BD") return GnssSystem::Beidou;
  if (talker == "GQ") return GnssSystem::Qzss;
  return std::nullopt;
}

// Satellite numbers as NMEA gives them: GPS 1-32, SBAS 33-64, GLONASS 65-96, QZSS 193-202.
GnssSystem systemOfPrn(int prn) {
  if (prn >= 1 && prn <= 32) return GnssSystem::Gps;
  if (prn >= 33 && prn <= 64) return GnssSystem::Sbas;
  if (prn >= 65 && prn <= 96) return GnssSystem::Glonass;
  if (prn >= 193 && prn <= 202) return GnssSystem::Qzss;
  return GnssSystem::Other;
}

// A satellite's system by what the sentence tells: its talker, else its number. GPS receivers report
// SBAS satellites under the GP talker.
GnssSystem satelliteSystem(std::optional<GnssSystem> told, int prn) {
  if (told == GnssSystem::Gps || !told) return systemOfPrn(prn);
  return *told;
}

// The GSA system ID of NMEA 4.11.
std::optional<GnssSystem> systemOfId(std::optional<int> id) {
  if (!id) return std::nullopt;
  switch (*id) {
    case 1:
      return GnssSystem::Gps;
    case 2:
      return GnssSystem::Glonass;
    case 3:
      return GnssSystem::Galileo;
    case 4:
      return GnssSystem::Beidou;
    case 5:
      return GnssSystem::Qzss;
    default:
      return GnssSystem::Other;
  }
}

std::optional<int> parseInRange(std::string_view text, int low, int high) {
  const auto value = parseInt(text);
  if (!value || *value < low || *value > high) return std::nullopt;
  return value;
}

std::optional<double> parseNonNegative(std::string_view text) {
  const auto value = parseDouble(text);
  if (!value || *value < 0) return std::nullopt;
  return value;
}

constexpr double kKmhPerKnot = 1.852;

}  // namespace

void NmeaDecoder::feed(std::string_view bytes, Clock::time_point now) {
  if (!firstFedAt_) firstFedAt_ = now;
  for (const char c : bytes) {
    if (c == '$') {
      // A '$' cannot be inside a sentence, so whatever was pending lost its end on the way; start afresh.
      pending_.assign(1, c);
      inSentence_ = true;
      continue;
    }
    if (!inSentence_) continue;
    if (c == '\r' || c == '\n') {
      const std::size_t before = status_.sentences;
      take(pending_);
      if (status_.sentences != before) lastSentenceAt_ = now;
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

std::optional<NmeaDecoder::Clock::duration> NmeaDecoder::silence(Clock::time_point now) const {
  if (lastSentenceAt_) return now - *lastSentenceAt_;
  if (firstFedAt_) return now - *firstFedAt_;
  return std::nullopt;
}

bool NmeaDecoder::fresh(Clock::time_point now) const {
  const auto quiet = silence(now);
  return everPublished_ && quiet && *quiet < kStaleAfter;
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

  const std::string_view address = body.substr(0, body.find(','));
  if (address.empty()) return;
  ++status_.sentences;

  // Proprietary sentences ("$P...") carry no talker, are not ours to read, and come between epochs as
  // answers to commands.
  if (address.size() != 5 || address[0] == 'P') return;
  const std::string_view talker = address.substr(0, 2);
  const std::string_view kind = address.substr(2);
  const Fields fields(body);
  std::optional<std::string> time;
  if (const auto field = timeField(kind)) time = rawTime(fields[*field]);
  beginEpochIfNew(std::string(address), time);

  bool closes = true;  // whether this sentence can be the epoch's last
  if (kind == "GGA") {
    takeGga(body);
    if (talker == "GP") epoch_.gpsTalkerGga = true;
  } else if (kind == "RMC") {
    takeRmc(body);
  } else if (kind == "GLL") {
    takeGll(body);
  } else if (kind == "VTG") {
    takeVtg(body);
  } else if (kind == "GSA") {
    takeGsa(talker, body);
  } else if (kind == "GSV") {
    takeGsv(talker, body);
    const auto count = parseInt(fields[1]);
    closes = count && count == parseInt(fields[2]);
  }
  epoch_.touched = true;
  lastKind_ = closes ? std::string(kind) : std::string();
  if (epochBegunHere_ && closes && kind == closingKind_) publish();
}

void NmeaDecoder::beginEpochIfNew(const std::string& address, const std::optional<std::string>& time) {
  const std::string_view kind = std::string_view(address).substr(2);
  const bool position = isPositionKind(kind);
  const bool timeMoved = time && epoch_.time && *time != *epoch_.time;
  if (timeMoved || (position && epoch_.positionKinds.count(address) > 0)) {
    if (epochBegunHere_ && epoch_.touched) publish();
    // Relearnt at every epoch, so a sentence that came once (an answer to a command) is forgotten.
    closingKind_ = lastKind_;
    epoch_ = Epoch{};
    epochBegunHere_ = true;
  }
  if (time && !epoch_.time) epoch_.time = time;
  if (position) epoch_.positionKinds.insert(address);
}

void NmeaDecoder::takePosition(std::string_view latitude, std::string_view north, std::string_view longitude,
                               std::string_view east) {
  const auto lat = parseCoordinate(latitude, north, 90, 'N', 'S');
  const auto lon = parseCoordinate(longitude, east, 180, 'E', 'W');
  if (lat && lon) {
    epoch_.latitude = lat;
    epoch_.longitude = lon;
  }
}

void NmeaDecoder::takeGga(std::string_view body) {
  const Fields f(body);
  epoch_.ggaQuality = parseInRange(f[6], 0, 9);
  epoch_.ggaSatellites = parseInRange(f[7], 0, 99);
  takePosition(f[2], f[3], f[4], f[5]);
  epoch_.ggaHdop = parseNonNegative(f[8]);
  if (f[10] == "M") {
    if (const auto altitude = parseDouble(f[9])) epoch_.altitude = altitude;
  }
}

void NmeaDecoder::takeRmc(std::string_view body) {
  const Fields f(body);
  epoch_.rmcValid = f[2] == "A";
  takePosition(f[3], f[4], f[5], f[6]);
  if (const auto knots = parseNonNegative(f[7])) epoch_.speed = *knots * kKmhPerKnot;
  if (const auto course = parseNonNegative(f[8]); course && *course < 360) epoch_.course = course;
  if (f[12].size() == 1) epoch_.mode = f[12][0];
}

void NmeaDecoder::takeGll(std::string_view body) {
  const Fields f(body);
  epoch_.gllValid = f[6] == "A";
  takePosition(f[1], f[2], f[3], f[4]);
  if (f[7].size() == 1) epoch_.mode = f[7][0];
}

void NmeaDecoder::takeVtg(std::string_view body) {
  const Fields f(body);
  if (const auto course = parseNonNegative(f[1]); course && *course < 360) epoch_.course = course;
  if (const auto kmh = parseNonNegative(f[7])) epoch_.speed = kmh;
  if (f[9].size() == 1) epoch_.mode = f[9][0];
}

void NmeaDecoder::takeGsa(std::string_view talker, std::string_view body) {
  const Fields f(body);
  epoch_.gsaSeen = true;
  if (const auto mode = parseInRange(f[2], 1, 3); mode && (!epoch_.gsaMode || *mode > *epoch_.gsaMode)) {
    epoch_.gsaMode = mode;
  }
  // Only taken when given: with one GSA per system, some receivers leave the DOPs empty in all but the first.
  if (const auto hdop = parseNonNegative(f[16])) epoch_.gsaHdop = hdop;
  // The system ID field came with NMEA 4.11; older receivers tell the system by talker or by satellite number.
  const std::optional<GnssSystem> told = f[18].empty() ? talkerSystem(talker) : systemOfId(parseInt(f[18]));
  for (std::size_t i = 3; i <= 14; ++i) {
    if (const auto prn = parseInRange(f[i], 1, 999)) epoch_.used.emplace(satelliteSystem(told, *prn), *prn);
  }
}

void NmeaDecoder::takeGsv(std::string_view talker, std::string_view body) {
  const Fields f(body);
  const std::optional<GnssSystem> told = talkerSystem(talker);
  const auto inView = parseInRange(f[3], 0, 999);
  if (!inView) return;
  if (told && parseInt(f[2]) == 1) {
    std::erase_if(epoch_.inView, [&](const auto& entry) { return entry.first == *told; });
    epoch_.inView.emplace_back(*told, *inView);
  }
  for (std::size_t at = 4; at + 3 < kMaxFields; at += 4) {
    const auto prn = parseInRange(f[at], 1, 999);
    if (!prn) continue;
    SatelliteView satellite;
    satellite.system = satelliteSystem(told, *prn);
    satellite.prn = *prn;
    satellite.elevation = parseInRange(f[at + 1], -90, 90);
    satellite.azimuth = parseInRange(f[at + 2], 0, 359);
    satellite.snr = parseInRange(f[at + 3], 0, 99);
    std::erase_if(epoch_.satellites,
                  [&](const SatelliteView& s) { return s.system == satellite.system && s.prn == satellite.prn; });
    epoch_.satellites.push_back(satellite);
  }
}

void NmeaDecoder::publish() {
  const Epoch& e = epoch_;
  GnssStatus next;
  next.sentences = status_.sentences;
  next.badChecksums = status_.badChecksums;
  // GGA's quality is the receiver's own word on its fix; without GGA, RMC's or GLL's status.
  bool valid = false;
  if (e.ggaQuality) {
    valid = *e.ggaQuality > 0;
  } else if (e.rmcValid) {
    valid = *e.rmcValid;
  } else if (e.gllValid) {
    valid = *e.gllValid;
  }
  if (valid) {
    // GSA tells 2D from 3D; without it (or with a GSA still saying "no fix" a moment after the fix came),
    // an altitude means 3D.
    if (e.gsaMode == 3 || ((!e.gsaMode || e.gsaMode == 1) && e.altitude)) {
      next.fix = GnssStatus::Fix::ThreeD;
    } else {
      next.fix = GnssStatus::Fix::TwoD;
    }
    const int quality = e.ggaQuality.value_or(1);
    const char mode = e.mode.value_or('A');
    if (quality == 2 || mode == 'D') {
      next.correction = GnssStatus::Correction::Differential;
    } else if (quality == 4 || quality == 5 || mode == 'R' || mode == 'F') {
      next.correction = GnssStatus::Correction::Rtk;
    } else if (quality == 6 || mode == 'E') {
      next.correction = GnssStatus::Correction::Estimated;
    }
    next.latitude = e.latitude;
    next.longitude = e.longitude;
    if (next.fix == GnssStatus::Fix::ThreeD) next.altitude = e.altitude;
    next.speed = e.speed;
    next.course = e.course;
  }
  next.hdop = e.gsaHdop ? e.gsaHdop : e.ggaHdop;
  next.utcTime = e.time ? parseTime(*e.time) : std::nullopt;

  // The sky: systems this epoch's GSV spoke of are replaced, the others kept, as GSV may come only every
  // few epochs.
  std::set<GnssSystem> told;
  for (const auto& [system, count] : e.inView) told.insert(system);
  for (const SatelliteView& s : e.satellites) told.insert(s.system);
  for (const SatelliteView& s : status_.satellites) {
    if (told.count(s.system) == 0) next.satellites.push_back(s);
  }
  next.satellites.insert(next.satellites.end(), e.satellites.begin(), e.satellites.end());
  for (SatelliteView& s : next.satellites) {
    s.used = valid && (e.gsaSeen ? e.used.count({s.system, s.prn}) > 0 : s.used);
  }
  std::sort(next.satellites.begin(), next.satellites.end(), [](const SatelliteView& a, const SatelliteView& b) {
    return std::pair(a.system, a.prn) < std::pair(b.system, b.prn);
  });
  const auto seen = [&](GnssSystem system, int previous) {
    for (const auto& [s, count] : e.inView) {
      if (s == system) return count;
    }
    return previous;
  };
  next.gps.seen = seen(GnssSystem::Gps, status_.gps.seen);
  next.glonass.seen = seen(GnssSystem::Glonass, status_.glonass.seen);
  if (valid && e.gsaSeen) {
    for (const auto& [system, prn] : e.used) {
      if (system == GnssSystem::Gps) ++next.gps.used;
      if (system == GnssSystem::Glonass) ++next.glonass.used;
    }
  } else if (valid && e.gpsTalkerGga && e.ggaSatellites) {
    next.gps.used = *e.ggaSatellites;  // a GPS-only receiver that sends no GSA
  }

  status_ = std::move(next);
  everPublished_ = true;
  epoch_.touched = false;
  if (onEpoch_) onEpoch_(status_);
}

std::string systemName(GnssSystem system) {
  switch (system) {
    case GnssSystem::Gps:
      return "GPS";
    case GnssSystem::Sbas:
      return "SBAS";
    case GnssSystem::Glonass:
      return "ГЛОНАСС";
    case GnssSystem::Galileo:
      return "Galileo";
    case GnssSystem::Beidou:
      return "BeiDou";
    case GnssSystem::Qzss:
      return "QZSS";
    case GnssSystem::Other:
      break;
  }
  return "другая";
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
  switch (status.correction) {
    case GnssStatus::Correction::None:
      break;
    case GnssStatus::Correction::Differential:
      line += " DGPS";
      break;
    case GnssStatus::Correction::Rtk:
      line += " RTK";
      break;
    case GnssStatus::Correction::Estimated:
      line += " расчётный";
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
  line += " | высота ";
  line += status.altitude ? formatFixed(*status.altitude, 1) + " м" : kUnknown;
  line += " | скорость ";
  line += status.speed ? formatFixed(*status.speed, 1) + " км/ч" : kUnknown;
  if (status.course) line += ", курс " + formatFixed(*status.course, 0) + "°";
  line += " | UTC ";
  line += status.utcTime ? *status.utcTime : kUnknown;
  line += " | ошибок КС: " + std::to_string(status.badChecksums);
  return line;
}

std::string receiverLine(const NmeaDecoder& decoder, NmeaDecoder::Clock::time_point now) {
  const auto quiet = decoder.silence(now);
  if (!quiet) return "нет данных";
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(*quiet).count();
  if (*quiet >= NmeaDecoder::kStaleAfter) return "нет данных: модуль молчит " + std::to_string(seconds) + " с";
  if (!decoder.fresh(now)) return "Ожидание NMEA потока...";
  return statusLine(decoder.status()) + " | данные " + std::to_string(seconds) + " с назад";
}

}  // namespace orsa::firmware
