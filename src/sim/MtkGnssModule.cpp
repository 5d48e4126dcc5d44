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

constexpr std::string_view hexDigits = "0123456789ABCDEF";

std::string withChecksum(std::string_view body) {
  unsigned sum = 0;
  for (const char c : body) sum ^= static_cast<unsigned char>(c);
  return "$" + std::string(body) + "*" + hexDigits[(sum >> 4U) & 0xFU] + hexDigits[sum & 0xFU] + "\r\n";
}

// The CRC-32 of zip and Ethernet, so a test can work out the release from the image with any tool.
std::uint32_t crc32(std::span<const std::uint8_t> bytes) {
  std::uint32_t crc = 0xFFFFFFFFU;
  for (const std::uint8_t byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc >> 1U) ^ (0xEDB88320U & (0U - (crc & 1U)));
    }
  }
  return ~crc;
}

std::string flashedRelease(std::span<const std::uint8_t> image) {
  const std::uint32_t crc = crc32(image);
  std::string text = "AXN_FLASHED_";
  for (int shift = 28; shift >= 0; shift -= 4) text.push_back(hexDigits[(crc >> shift) & 0xFU]);
  return text;
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
  // After a run that ended with D9 the module starts the image it was given.
  if (flash_.phase() == MtkFlashProtocol::Phase::Done && flash_.imageComplete()) {
    release_ = flashedRelease(flash_.firmware());
  }
  powered_ = true;
  nmeaMode_ = true;
  uartRate_ = nmeaBaud;
  highSpeedHeard_ = 0;
  nextEpoch_ = 0;
  nextEpochAt_ = now + epochPeriod;
  line_.clear();
  lineSpoilt_ = false;
  flash_.restart();
}

void MtkGnssModule::onPowerOff() { powered_ = false; }

std::vector<std::uint8_t> MtkGnssModule::onData(std::span<const std::uint8_t> data) {
  return onDataAt(data, Clock::now());
}

std::vector<std::uint8_t> MtkGnssModule::onDataAt(std::span<const std::uint8_t> data, Clock::time_point now) {
  if (!powered_) {
    return {};
  }
  std::vector<std::uint8_t> answer;
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (lineRate_ != uartRate_) {
      lineSpoilt_ = true;  // the rest is noise too: only text can change the UART's rate
      break;
    }
    if (!nmeaMode_ && uartRate_ == flashBaud) {
      const auto out = flash_.onBytes(data.subspan(i), now);
      answer.insert(answer.end(), out.begin(), out.end());
      break;
    }
    takeTextByte(data[i], answer);
  }
  return answer;
}

void MtkGnssModule::takeTextByte(std::uint8_t byte, std::vector<std::uint8_t>& answer) {
  if (byte != '\n') {
    if (line_.size() >= maxCommandLine) {
      lineSpoilt_ = true;
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
  if (!lineSpoilt_ && validSentence(line, body)) {
    if (body == "PMTK180") {
      nmeaMode_ = false;  // into the boot ROM: the stream stops
    } else if (body == "PMTK251,115200" && ++highSpeedHeard_ >= highSpeedRequests) {
      uartRate_ = flashBaud;
    } else if (body == "PMTK605" && nmeaMode_) {
      const std::string reply = withChecksum("PMTK705," + release_ + ",0004,MT3339,1.0");
      answer.insert(answer.end(), reply.begin(), reply.end());
    }
  }
  line_.clear();
  lineSpoilt_ = false;
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
