#include "sim/NmeaCapture.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>

namespace orsa::sim {

namespace {

// The time field of a sentence that marks an epoch ("$GNRMC,123519.00,..." → "123519.00").
std::optional<std::string_view> epochTime(std::string_view line) {
  if (line.size() < 7 || line[0] != '$') {
    return std::nullopt;
  }
  const auto comma = line.find(',');
  if (comma == std::string_view::npos || comma < 4) {
    return std::nullopt;
  }
  const std::string_view kind = line.substr(comma - 3, 3);
  if (kind != "GGA" && kind != "RMC" && kind != "ZDA") {
    return std::nullopt;
  }
  const std::string_view rest = line.substr(comma + 1);
  return rest.substr(0, rest.find_first_of(",*"));
}

}  // namespace

NmeaCapture NmeaCapture::fromText(std::string_view text) {
  NmeaCapture capture;
  std::optional<std::string> time;  // of the epoch being built
  Epoch epoch;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
      line.remove_suffix(1);
    }
    if (line.empty() || line.front() == '#') {
      continue;
    }
    if (const auto lineTime = epochTime(line)) {
      if (time && *time != *lineTime) {
        capture.epochs_.push_back(std::move(epoch));
        epoch.clear();
      }
      time = std::string(*lineTime);
    }
    epoch.insert(epoch.end(), line.begin(), line.end());
    epoch.push_back('\r');
    epoch.push_back('\n');
  }
  if (!epoch.empty()) {
    capture.epochs_.push_back(std::move(epoch));
  }
  return capture;
}

NmeaCapture NmeaCapture::fromFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    throw std::runtime_error("cannot read the NMEA capture " + path);
  }
  std::string text;
  text.resize(maxFileSize + 1);
  file.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (file.bad()) {
    throw std::runtime_error("cannot read the NMEA capture " + path);
  }
  text.resize(static_cast<std::size_t>(file.gcount()));
  if (text.size() > maxFileSize) {
    throw std::runtime_error("the NMEA capture " + path + " is larger than 4 MiB");
  }
  NmeaCapture capture = fromText(text);
  if (capture.empty()) {
    throw std::runtime_error("the NMEA capture " + path + " holds no sentence");
  }
  return capture;
}

NmeaCapture NmeaCapture::builtIn() { return fromText(builtInNmeaText()); }

}  // namespace orsa::sim
