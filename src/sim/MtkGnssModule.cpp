#include "sim/MtkGnssModule.h"

#include <charconv>
#include <string_view>

namespace orsa::sim {

namespace {

// True for "$BODY*HH" whose checksum (XOR of BODY) is right.
bool validSentence(std::string_view line, std::string_view& body) {
  const auto star = line.rfind('*');
  if (line.size() < 4 || line.front() != '$' || star == std::string_view::npos || star + 3 != line.size()) {
    return false;
  }
  body = line.substr(1, star - 1);
  unsigned sent = 0;
  const auto [end, ec] = std::from_chars(line.data() + star + 1, line.data() + line.size(), sent, 16);
  if (ec != std::errc{} || end != line.data() + line.size()) {
    return false;
  }
  unsigned sum = 0;
  for (const char c : body) {
    sum ^= static_cast<unsigned char>(c);
  }
  return sum == sent;
}

}  // namespace

MtkGnssModule::MtkGnssModule(NmeaCapture capture) : capture_(std::move(capture)) {}

void MtkGnssModule::setCapture(NmeaCapture capture) {
  capture_ = std::move(capture);
  nextEpoch_ = 0;
}

MtkGnssModule::Mode MtkGnssModule::mode() const {
  if (!powered_) {
    return Mode::Off;
  }
  if (nmeaMode_) {
    return Mode::Nmea;
  }
  switch (flash_.phase()) {
    case MtkFlashProtocol::Phase::BootRom:
      return Mode::BootRom;
    case MtkFlashProtocol::Phase::Loader:
      return Mode::Loader;
    case MtkFlashProtocol::Phase::Done:
      return Mode::Done;
  }
  return Mode::Done;
}

void MtkGnssModule::onPowerOn(Clock::time_point now) {
  powered_ = true;
  nmeaMode_ = true;
  nextEpoch_ = 0;
  nextEpochAt_ = now + epochPeriod;
  line_.clear();
  lineTooLong_ = false;
  flash_.restart();
}

void MtkGnssModule::onPowerOff() { powered_ = false; }

std::vector<std::uint8_t> MtkGnssModule::onData(std::span<const std::uint8_t> data) {
  if (!powered_) {
    return {};
  }
  std::vector<std::uint8_t> answer;
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (!nmeaMode_) {
      if (lineRate_ == flashBaud) {
        answer = flash_.onBytes(data.subspan(i));
      }
      break;
    }
    takeNmeaByte(data[i]);
  }
  return answer;
}

void MtkGnssModule::takeNmeaByte(std::uint8_t byte) {
  if (byte != '\n') {
    if (line_.size() >= maxCommandLine) {
      lineTooLong_ = true;
    } else {
      line_.push_back(static_cast<char>(byte));
    }
    return;
  }
  std::string_view line = line_;
  if (!line.empty() && line.back() == '\r') {
    line.remove_suffix(1);
  }
  std::string_view body;
  if (!lineTooLong_ && validSentence(line, body) && body == "PMTK180") {
    nmeaMode_ = false;  // into the boot ROM: the stream stops
  }
  line_.clear();
  lineTooLong_ = false;
}

std::optional<GnssModel::Clock::time_point> MtkGnssModule::nextBurstAt() const {
  if (!powered_ || !nmeaMode_ || capture_.empty()) {
    return std::nullopt;
  }
  return nextEpochAt_;
}

std::vector<std::uint8_t> MtkGnssModule::takeBurst(Clock::time_point now) {
  const auto due = nextBurstAt();
  if (!due || now < *due) {
    return {};
  }
  // Seconds the module could not use (the beacon was held up) are skipped, not caught up on.
  while (nextEpochAt_ <= now) {
    nextEpochAt_ += epochPeriod;
  }
  const auto& epochs = capture_.epochs();
  nextEpoch_ %= epochs.size();
  return epochs[nextEpoch_++];
}

}  // namespace orsa::sim
