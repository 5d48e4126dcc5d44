#include "firmware/GPSUpdateThread.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>

#include "firmware/FirmwareMessages.h"

namespace orsa::firmware {

namespace {

using namespace std::chrono_literals;

using namespace messages::gnss;

constexpr std::string_view kEnterBootRom = "$PMTK180*3B\r\n";
constexpr std::string_view kModuleHighSpeed = "$PMTK251,115200*1F\r\n";
constexpr int kEnterBootRomRepeats = 5;
constexpr int kHighSpeedRepeats = 3;
constexpr auto kPowerPause = 50ms;
constexpr auto kTextPause = 200ms;
constexpr auto kLoaderCheckPause = 1000ms;
constexpr auto kLoaderCommandPause = 200ms;

constexpr std::uint8_t kSync = 0xA0;
constexpr std::array<std::pair<std::uint8_t, const char*>, 4> kHandshake{
    {{0x0A, kStage0A}, {0x50, kStage50}, {0x05, kStage05}, {0xA1, kStageA1}}};
constexpr std::uint8_t kLoaderCheck = 0xA4;
constexpr std::uint8_t kJump = 0xA8;
constexpr std::uint8_t kRange = 0xD3;
constexpr std::uint8_t kRangeKind = 0x01;
constexpr std::uint8_t kPacketSizeCommand = 0xD5;
constexpr std::uint8_t kEndProgramming = 0xD9;
// After the echoed address the boot ROM sends this much more before the loader runs.
constexpr std::uint32_t kJumpReply = 24;
constexpr std::uint32_t kLoaderReply = 2;

std::array<std::uint8_t, 4> bigEndian(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
          static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

const auto kAddress = bigEndian(GPSUpdateThread::kLoaderAddress);
const auto kLength = bigEndian(GPSUpdateThread::kLoaderWords);

}  // namespace

void swapWordBytes(std::span<std::uint8_t> bytes) {
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) std::swap(bytes[i], bytes[i + 1]);
}

std::uint16_t packetChecksum(std::span<const std::uint8_t> data) {
  std::uint16_t sum = 0;
  for (const std::uint8_t byte : data) sum = static_cast<std::uint16_t>(sum + byte);
  return sum;
}

GPSUpdateThread::GPSUpdateThread(link::DeviceLink link, Callbacks callbacks)
    : Worker(link, "прошивка GPS модуля"), callbacks_(std::move(callbacks)) {}

void GPSUpdateThread::log(const char* line) {
  messageText = line;
  if (callbacks_.appendLog) synchronize([this] { callbacks_.appendLog(*this); });
}

void GPSUpdateThread::fail(const char* text) {
  log(text);
  if (callbacks_.enable) synchronize([this] { callbacks_.enable(*this); });
}

void GPSUpdateThread::progress(std::uint32_t max, std::uint32_t position) {
  progressMax = static_cast<std::int32_t>(max);
  progressPosition = static_cast<std::int32_t>(position);
  if (callbacks_.showProgress) synchronize([this] { callbacks_.showProgress(*this); });
}

bool GPSUpdateThread::toModule(std::span<const std::uint8_t> bytes) {
  return sendCommand(link::CommandType::GnssData, 0, static_cast<std::uint32_t>(bytes.size()), bytes.data());
}

bool GPSUpdateThread::toModule(std::string_view text) {
  return toModule(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool GPSUpdateThread::awaited(std::uint32_t count, std::int32_t timeoutMs, const char* failure) {
  if (waitForBytes(count, timeoutMs)) return true;
  if (!stopRequested()) fail(failure);  // a stop is no failure of the module's
  return false;
}

bool GPSUpdateThread::exchange(std::span<const std::uint8_t> bytes, std::uint32_t count, const char* failure) {
  return toModule(bytes) && awaited(count, kModuleTimeoutMs, failure);
}

bool GPSUpdateThread::beaconCommand(link::CommandType type, std::uint32_t parameter, const char* failure) {
  return sendCommand(type, parameter) && awaited(1, kBeaconTimeoutMs, failure);
}

void GPSUpdateThread::run() {
  closeChannel();
  if (!pause(quietBeforeConnect)) return;
  if (!connectDevice()) {
    resultCode = link::kResultFailure;
    messageText = link::kNotConnectedMessage;
    if (callbacks_.showResult) synchronize([this] { callbacks_.showResult(*this); });
    closeChannel();
    if (callbacks_.enable) synchronize([this] { callbacks_.enable(*this); });
    return;
  }
  std::vector<std::uint8_t> loader;
  std::vector<std::uint8_t> firmware;
  if (!prepare(loader, firmware) || !enterBootRom() || !handshake() || !writeLoader(loader) || !startLoader() ||
      !writeFirmware(firmware)) {
    return;
  }
  finishProgramming();
}

bool GPSUpdateThread::prepare(std::vector<std::uint8_t>& loader, std::vector<std::uint8_t>& firmware) {
  // Both files are read whole before the beacon hears anything: a file that cannot be read, or
  // changes later, never leaves the module half-programmed.
  // A folder opens as a stream on Linux and reads as nothing: only files are taken.
  const auto isFile = [](const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
  };
  std::ifstream loaderFile(loaderPath, std::ios::binary);
  if (!isFile(loaderPath) || !loaderFile) {
    fail(kLoaderFileError);
    return false;
  }
  loader.assign(kLoaderBytes, 0);  // a shorter loader goes out padded with zeros
  loaderFile.read(reinterpret_cast<char*>(loader.data()), kLoaderBytes);
  if (loaderFile.bad()) {
    fail(kLoaderFileError);
    return false;
  }

  std::ifstream firmwareFile(firmwarePath, std::ios::binary | std::ios::ate);
  const auto end = isFile(firmwarePath) && firmwareFile ? static_cast<std::streamoff>(firmwareFile.tellg()) : -1;
  if (end < 0) {
    fail(kFirmwareFileError);
    return false;
  }
  if (end == 0) {
    fail(kFirmwareEmpty);
    return false;
  }
  if (static_cast<std::uint64_t>(end) > kMaxFirmwareBytes) {
    fail(kFirmwareTooLarge);
    return false;
  }
  firmware.resize(static_cast<std::size_t>(end));
  firmwareFile.seekg(0);
  firmwareFile.read(reinterpret_cast<char*>(firmware.data()), end);
  if (firmwareFile.gcount() != end) {
    fail(kFirmwareFileError);
    return false;
  }

  if (!beaconCommand(link::CommandType::GnssOff, 0, kNotStopped) || !pause(kPowerPause)) return false;
  return beaconCommand(link::CommandType::GnssOn, 0, kNotStarted) && pause(kPowerPause);
}

bool GPSUpdateThread::enterBootRom() {
  log(kEnteringBootRom);
  for (int i = 0; i < kEnterBootRomRepeats; ++i) {
    if (!toModule(kEnterBootRom) || !pause(kTextPause)) return false;
  }
  for (int i = 0; i < kHighSpeedRepeats; ++i) {
    if (!toModule(kModuleHighSpeed) || !pause(kTextPause)) return false;
  }
  log(kSwitchingSpeed);
  return beaconCommand(link::CommandType::SetGnssBaud, kHighSpeed, kSpeedError);
}

bool GPSUpdateThread::handshake() {
  log(kPreparingModule);
  const std::array<std::uint8_t, 1> sync{kSync};
  bool answered = false;
  for (int i = 0; i < kHandshakeTries && !answered; ++i) {
    if (!toModule(sync)) return false;
    answered = waitForBytes(1, kHandshakeTimeoutMs);
  }
  if (!answered) {
    if (!stopRequested()) fail(kNoAnswer);
    return false;
  }
  for (const auto& [byte, failure] : kHandshake) {
    const std::array<std::uint8_t, 1> step{byte};
    if (!exchange(step, 1, failure)) return false;
  }
  return exchange(kAddress, 4, kAddressError) && exchange(kLength, 4, kLengthError);
}

bool GPSUpdateThread::writeLoader(std::span<const std::uint8_t> loader) {
  log(kWritingLoader);
  for (std::uint32_t offset = 0; offset < kLoaderBytes; offset += kLoaderChunk) {
    std::array<std::uint8_t, kLoaderChunk> chunk{};
    const std::uint32_t length = std::min(kLoaderChunk, kLoaderBytes - offset);
    std::copy_n(loader.begin() + offset, length, chunk.begin());
    swapWordBytes(chunk);
    if (!exchange(std::span(chunk).first(length), length, kLoaderWriteError)) return false;
    progress(kLoaderBytes, offset);
  }
  const std::array<std::uint8_t, 1> check{kLoaderCheck};
  if (!exchange(check, 1, kStageA4) || !pause(kLoaderCheckPause)) return false;
  // The length is echoed and followed by the boot ROM's checksum of the loader.
  return exchange(kAddress, 4, kChecksumAddressError) && exchange(kLength, 4 + 2, kLengthError);
}

bool GPSUpdateThread::startLoader() {
  log(kStartingLoader);
  const std::array<std::uint8_t, 1> jump{kJump};
  return exchange(jump, 1, kControlError) && exchange(kAddress, kJumpReply, kControlAddressError);
}

bool GPSUpdateThread::writeFirmware(std::span<const std::uint8_t> firmware) {
  const auto length = static_cast<std::uint32_t>(firmware.size());
  const std::array<std::uint8_t, 1> range{kRange};
  const std::array<std::uint8_t, 1> rangeKind{kRangeKind};
  const auto first = bigEndian(0);
  const auto last = bigEndian(length - 1);
  const std::array<std::uint8_t, 1> packetSize{kPacketSizeCommand};
  const auto size = bigEndian(kPacketSize);
  // The loader answers these two steps, but an old loader that does not still takes the packets.
  if (!toModule(range) || !pause(kLoaderCommandPause) || !toModule(rangeKind) || !pause(kLoaderCommandPause) ||
      !toModule(first) || !pause(kLoaderCommandPause) || !toModule(last)) {
    return false;
  }
  waitForBytes(kLoaderReply, kModuleTimeoutMs);
  if (!toModule(packetSize) || !pause(kLoaderCommandPause) || !toModule(size) || !pause(kLoaderCommandPause)) {
    return false;
  }
  waitForBytes(kLoaderReply, kModuleTimeoutMs);
  if (stopRequested()) return false;

  log(kWritingFirmware);
  std::vector<std::uint8_t> packet;
  packet.reserve(kPacketSize + 2);
  for (std::uint32_t offset = 0; offset < length; offset += kPacketSize) {
    const std::uint32_t dataLength = std::min(kPacketSize, length - offset);
    const auto data = firmware.subspan(offset, dataLength);
    const std::uint16_t sum = packetChecksum(data);
    packet.assign(data.begin(), data.end());
    packet.push_back(static_cast<std::uint8_t>(sum >> 8));
    packet.push_back(static_cast<std::uint8_t>(sum));
    if (!exchange(packet, 1, kPacketTimeout)) return false;
    progress(length, offset);
  }
  return true;
}

void GPSUpdateThread::finishProgramming() {
  const std::array<std::uint8_t, 1> end{kEndProgramming};
  if (!toModule(end) || !pause(kLoaderCommandPause) || !toModule(end) || !pause(kLoaderCommandPause)) return;
  // Nobody answers this: the module has left the loader, and the beacon's line goes back to the
  // module's own speed.
  if (!sendCommand(link::CommandType::SetGnssBaud, kNormalSpeed)) return;
  log(kDone);
  succeeded_ = true;
  progress(static_cast<std::uint32_t>(progressMax), 0);
  if (callbacks_.enable) synchronize([this] { callbacks_.enable(*this); });
}

}  // namespace orsa::firmware
