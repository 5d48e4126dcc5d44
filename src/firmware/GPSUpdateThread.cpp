#include "firmware/GPSUpdateThread.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <cstdio>

#include "firmware/FirmwareFile.h"
#include "firmware/FirmwareMessages.h"
#include "link/Utf8Path.h"

namespace orsa::firmware {

namespace {

using namespace std::chrono_literals;

using namespace messages::gnss;

constexpr std::string_view kEnterBootRom = "$PMTK180*3B\r\n";
constexpr std::string_view kModuleHighSpeed = "$PMTK251,115200*1F\r\n";
constexpr int kEnterBootRomRepeats = 5;
constexpr int kHighSpeedRepeats = 3;
constexpr auto kPowerPause = 50ms;
// Far longer than a byte takes at 9600 baud, and than the beacon takes to answer a frame.
constexpr auto kQuietGap = 200ms;
constexpr auto kTextPause = 200ms;
constexpr auto kLoaderCheckPause = 1000ms;
constexpr auto kLoaderCommandPause = 200ms;

constexpr std::string_view kReleaseQuery = "$PMTK605*31\r\n";
constexpr int kReleaseTries = 4;
constexpr std::int32_t kReleaseWaitMs = 500;

// Each handshake byte and the boot ROM's answer to it.
constexpr std::uint8_t kSync = 0xA0;
constexpr std::uint8_t kSyncAnswer = 0x5F;
struct HandshakeStep {
  std::uint8_t sent;
  std::uint8_t answer;
  const char* failure;
};
constexpr std::array<HandshakeStep, 4> kHandshake{
    {{0x0A, 0xF5, kStage0A}, {0x50, 0xAF, kStage50}, {0x05, 0xFA, kStage05}, {0xA1, 0xA1, kStageA1}}};
constexpr std::uint8_t kLoaderCheck = 0xA4;
constexpr std::uint8_t kJump = 0xA8;
constexpr std::uint8_t kRange = 0xD3;
constexpr std::uint8_t kRangeKind = 0x01;
constexpr std::uint8_t kPacketSizeCommand = 0xD5;
constexpr std::uint8_t kEndProgramming = 0xD9;
// After the echoed address the boot ROM sends this much more before the loader runs.
constexpr std::uint32_t kJumpReply = 24;
constexpr std::uint32_t kLoaderReply = 2;
constexpr std::uint8_t kAccepted = 0x5A;
// A loader this size is what the module's maker ships; another may be the firmware given in its place.
constexpr std::uint64_t kUsualLoaderBytes = GPSUpdateThread::kLoaderBytes;

std::string hex(std::span<const std::uint8_t> bytes) {
  std::string text;
  for (const std::uint8_t byte : bytes) {
    std::array<char, 4> one{};
    std::snprintf(one.data(), one.size(), "%02X", byte);
    text += (text.empty() ? "" : " ") + std::string(one.data());
  }
  return text.empty() ? "ничего" : text;
}

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

std::uint16_t loaderChecksum(std::span<const std::uint8_t> sentLoader) {
  std::uint16_t sum = 0;
  for (std::size_t i = 0; i + 1 < sentLoader.size(); i += 2) {
    sum = static_cast<std::uint16_t>(sum ^ ((sentLoader[i] << 8) | sentLoader[i + 1]));
  }
  return sum;
}

std::string unusualFlashFiles(std::uint64_t loaderSize, std::uint64_t firmwareSize) {
  std::string text;
  if (loaderSize != kUsualLoaderBytes) {
    text = "загрузчик " + std::to_string(loaderSize) + " байт, а обычный — " + std::to_string(kUsualLoaderBytes);
  }
  if (firmwareSize < loaderSize) {
    text += std::string(text.empty() ? "" : "; ") + "прошивка (" + std::to_string(firmwareSize) +
            " байт) меньше загрузчика";
  }
  if (!text.empty()) text = "Проверьте файлы, не перепутаны ли они: " + text;
  return text;
}

std::string releaseFromAnswer(std::string_view text) {
  constexpr std::string_view kAnswer = "$PMTK705,";
  for (auto at = text.find(kAnswer); at != std::string_view::npos; at = text.find(kAnswer, at + 1)) {
    const auto star = text.find('*', at);
    if (star == std::string_view::npos || star + 3 > text.size()) return {};
    std::uint8_t sum = 0;
    for (std::size_t i = at + 1; i < star; ++i) sum = static_cast<std::uint8_t>(sum ^ text[i]);
    std::array<char, 3> expected{};
    std::snprintf(expected.data(), expected.size(), "%02X", sum);
    if (text.substr(star + 1, 2) != std::string_view(expected.data(), 2)) continue;
    const std::string_view fields = text.substr(at + kAnswer.size(), star - at - kAnswer.size());
    return std::string(fields.substr(0, fields.find(',')));
  }
  return {};
}

void GPSUpdateThread::log(const std::string& line) {
  messageText = line;
  // What a stop left the module in is worth saying even though the run is being stopped.
  if (callbacks_.appendLog) report([this] { callbacks_.appendLog(*this); });
}

void GPSUpdateThread::fail(std::string text) {
  if (failure_.empty()) failure_ = std::move(text);
}

void GPSUpdateThread::progress(std::uint32_t max, std::uint32_t position) {
  progressMax = static_cast<std::int32_t>(max);
  progressPosition = static_cast<std::int32_t>(position);
  if (callbacks_.showProgress) synchronize([this] { callbacks_.showProgress(*this); });
}

bool GPSUpdateThread::toModule(std::span<const std::uint8_t> bytes) {
  if (sendCommand(link::CommandType::GnssData, 0, static_cast<std::uint32_t>(bytes.size()), bytes.data())) return true;
  if (!stopRequested()) fail(channel().lineLost() ? kLineLost : kSendError);
  return false;
}

bool GPSUpdateThread::toModule(std::string_view text) {
  return toModule(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool GPSUpdateThread::awaited(std::uint32_t count, std::int32_t timeoutMs, const char* failure) {
  if (waitForBytes(count, timeoutMs)) return true;
  // A stop is no failure of the module's, and an unplugged beacon is not the module's silence.
  if (!stopRequested()) fail(channel().lineLost() ? kLineLost : failure);
  return false;
}

bool GPSUpdateThread::exchange(std::span<const std::uint8_t> bytes, std::uint32_t count, const char* failure) {
  return toModule(bytes) && awaited(count, kModuleTimeoutMs, failure);
}

bool GPSUpdateThread::exchange(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> expected,
                               const char* failure) {
  if (!exchange(bytes, static_cast<std::uint32_t>(expected.size()), failure)) return false;
  const std::vector<std::uint8_t> answer = channel().receivedBytes(expected.size());
  if (std::equal(expected.begin(), expected.end(), answer.begin(), answer.end())) return true;
  fail(std::string(failure) + ": модуль ответил " + hex(answer) + " вместо " + hex(expected));
  return false;
}

bool GPSUpdateThread::beaconCommand(link::CommandType type, std::uint32_t parameter, const char* failure) {
  if (!sendCommand(type, parameter)) {
    if (!stopRequested()) fail(channel().lineLost() ? kLineLost : kSendError);
    return false;
  }
  return awaited(1, kBeaconTimeoutMs, failure);
}

void GPSUpdateThread::run() {
  closeChannel();
  const bool connected = pause(quietBeforeConnect) && connectDevice();
  if (!connected && !stopRequested()) {
    resultCode = link::kResultFailure;
    messageText = link::kNotConnectedMessage;
    if (callbacks_.showResult) synchronize([this] { callbacks_.showResult(*this); });
  } else if (connected && recoverOnly) {
    log(recover() ? kRecovered : kNotRecovered);
  } else if (connected && !flash()) {
    std::string last = stopRequested() && failure_.empty() ? messages::gnss::kInterrupted : failure_;
    if (leftNormalMode_ && !channel().lineLost()) last += recover() ? kAndRecovered : kAndNotRecovered;
    log(last);
  }
  closeChannel();
  if (callbacks_.enable) report([this] { callbacks_.enable(*this); });
}

bool GPSUpdateThread::flash() {
  std::vector<std::uint8_t> loader;
  std::vector<std::uint8_t> firmware;
  if (!readFiles(loader, firmware) || !restartModule()) return false;
  releaseBefore_ = askRelease();
  if (stopRequested()) return false;
  log(releaseBefore_.empty() ? std::string(kNoRelease) : kReleaseBefore + releaseBefore_);
  if (!enterBootRom() || !handshake() || !writeLoader(loader) || !startLoader() || !writeFirmware(firmware) ||
      !finishProgramming()) {
    return false;
  }
  // The module runs its new firmware only after a restart; until then it answers nothing.
  leftNormalMode_ = false;
  if (!restartModule()) return false;
  releaseAfter_ = askRelease();
  log(releaseAfter_.empty() ? std::string(kNoRelease) : kReleaseAfter + releaseAfter_);
  succeeded_ = true;
  progress(static_cast<std::uint32_t>(progressMax), 0);
  log(std::string(kDone) + kConfirmedPrefix + std::to_string(confirmedBytes_) + kConfirmedSuffix);
  return true;
}

bool GPSUpdateThread::readFiles(std::vector<std::uint8_t>& loader, std::vector<std::uint8_t>& firmware) {
  // Both files are read whole before the beacon hears anything: a file that cannot be read, or
  // changes later, never leaves the module half-programmed.
  FirmwareFile loaderFile = readFirmwareFile(loaderPath, kMaxFirmwareFileBytes);
  if (loaderFile.ok() && loaderFile.bytes.empty()) loaderFile.problem = "файл пуст";
  if (!loaderFile.ok()) {
    fail(std::string(kLoaderFileError) + ": " + link::pathText(loaderPath) + ": " + loaderFile.problem);
    return false;
  }
  FirmwareFile firmwareFile = readFirmwareFile(firmwarePath, kMaxFirmwareFileBytes);
  // An empty image would make the loader's range end at FF FF FF FF and leave the module erased.
  if (firmwareFile.ok() && firmwareFile.bytes.empty()) firmwareFile.problem = "файл пуст";
  if (!firmwareFile.ok()) {
    fail(std::string(kFirmwareFileError) + ": " + link::pathText(firmwarePath) + ": " + firmwareFile.problem);
    return false;
  }
  const std::string unusual = unusualFlashFiles(loaderFile.bytes.size(), firmwareFile.bytes.size());
  if (!unusual.empty() && !unusualFilesConfirmed) {
    fail(unusual + kNotConfirmed);
    return false;
  }
  log(kLoaderFile + describeFirmwareFile(loaderPath, loaderFile.bytes));
  log(kFirmwareFile + describeFirmwareFile(firmwarePath, firmwareFile.bytes));
  // Exactly this much goes out: a shorter loader padded with zeros, a longer one cut.
  loader.assign(kLoaderBytes, 0);
  std::copy_n(loaderFile.bytes.begin(), std::min<std::size_t>(kLoaderBytes, loaderFile.bytes.size()), loader.begin());
  firmware = std::move(firmwareFile.bytes);
  return true;
}

bool GPSUpdateThread::moduleOffAndQuiet(bool closing) {
  // Once the module is off, what still arrives is the end of what it was sending and answers the
  // beacon owed to earlier frames; any of those bytes would pass for the answer to GnssOn.
  return lineFellQuiet(kQuietGap, std::chrono::milliseconds(kBeaconTimeoutMs), closing);
}

bool GPSUpdateThread::restartModule() {
  if (!beaconCommand(link::CommandType::GnssOff, 0, kNotStopped)) return false;
  if (!moduleOffAndQuiet(false)) {
    if (!stopRequested()) fail(channel().lineLost() ? kLineLost : kNotStopped);
    return false;
  }
  return beaconCommand(link::CommandType::GnssOn, 0, kNotStarted) && pause(kPowerPause);
}

std::string GPSUpdateThread::askRelease() {
  // A module just powered needs a moment before it listens; the question is asked again meanwhile.
  for (int attempt = 0; attempt < kReleaseTries; ++attempt) {
    if (!toModule(kReleaseQuery)) return {};
    const auto deadline = now() + std::chrono::milliseconds(kReleaseWaitMs);
    for (;;) {
      const std::vector<std::uint8_t> received = channel().receivedBytes();
      std::string release =
          releaseFromAnswer(std::string_view(reinterpret_cast<const char*>(received.data()), received.size()));
      if (!release.empty()) return release;
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now());
      if (left.count() <= 0 || stopRequested() || channel().lineLost()) break;
      waitForBytes(static_cast<std::uint32_t>(received.size() + 1), static_cast<std::int32_t>(left.count()));
    }
    if (stopRequested() || channel().lineLost()) return {};
  }
  return {};
}

bool GPSUpdateThread::enterBootRom() {
  log(kEnteringBootRom);
  leftNormalMode_ = true;
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
    // Only the boot ROM's own answer counts: a byte left over from the module's NMEA is no answer.
    answered = waitForBytes(1, kHandshakeTimeoutMs) && channel().receivedBytes(1) == std::vector{kSyncAnswer};
    if (stopRequested() || channel().lineLost()) break;
  }
  if (!answered) {
    if (!stopRequested()) fail(channel().lineLost() ? kLineLost : kNoAnswer);
    return false;
  }
  for (const HandshakeStep& step : kHandshake) {
    const std::array<std::uint8_t, 1> sent{step.sent};
    const std::array<std::uint8_t, 1> answer{step.answer};
    if (!exchange(sent, answer, step.failure)) return false;
  }
  return exchange(kAddress, kAddress, kAddressError) && exchange(kLength, kLength, kLengthError);
}

bool GPSUpdateThread::writeLoader(std::span<const std::uint8_t> loader) {
  log(kWritingLoader);
  std::vector<std::uint8_t> sent(loader.begin(), loader.end());
  swapWordBytes(sent);
  for (std::uint32_t offset = 0; offset < kLoaderBytes; offset += kLoaderChunk) {
    const std::uint32_t length = std::min(kLoaderChunk, kLoaderBytes - offset);
    const auto chunk = std::span<const std::uint8_t>(sent).subspan(offset, length);
    // The boot ROM echoes every byte it wrote: a different echo is a byte it did not take.
    if (!exchange(chunk, chunk, kLoaderWriteError)) return false;
    progress(kLoaderBytes, offset);
  }
  const std::array<std::uint8_t, 1> check{kLoaderCheck};
  if (!exchange(check, check, kStageA4) || !pause(kLoaderCheckPause)) return false;
  if (!exchange(kAddress, kAddress, kChecksumAddressError)) return false;
  // The length is echoed and followed by the boot ROM's checksum of the loader it holds.
  const std::uint16_t sum = loaderChecksum(sent);
  const std::array<std::uint8_t, 6> lengthAndSum{kLength[0],
                                                 kLength[1],
                                                 kLength[2],
                                                 kLength[3],
                                                 static_cast<std::uint8_t>(sum >> 8),
                                                 static_cast<std::uint8_t>(sum)};
  return exchange(kLength, lengthAndSum, kLoaderChecksumError);
}

bool GPSUpdateThread::startLoader() {
  log(kStartingLoader);
  const std::array<std::uint8_t, 1> jump{kJump};
  if (!exchange(jump, jump, kControlError) || !exchange(kAddress, kJumpReply, kControlAddressError)) return false;
  const std::vector<std::uint8_t> echo = channel().receivedBytes(kAddress.size());
  if (std::equal(kAddress.begin(), kAddress.end(), echo.begin(), echo.end())) return true;
  fail(std::string(kControlAddressError) + ": модуль ответил " + hex(echo) + " вместо " + hex(kAddress));
  return false;
}

bool GPSUpdateThread::loaderSetting(std::uint8_t command, std::initializer_list<std::span<const std::uint8_t>> parts,
                                    const char* failure) {
  // The loader reads a setting part by part, each after a pause.
  const std::array<std::uint8_t, 1> first{command};
  if (!toModule(first)) return false;
  for (const auto part : parts) {
    if (!pause(kLoaderCommandPause) || !toModule(part)) return false;
  }
  // An old loader may say nothing here and still take the packets; one that answers must agree.
  if (!waitForBytes(kLoaderReply, kModuleTimeoutMs)) {
    if (channel().lineLost()) fail(kLineLost);
    return !stopRequested() && !channel().lineLost();
  }
  const std::vector<std::uint8_t> reply = channel().receivedBytes(kLoaderReply);
  const std::array<std::uint8_t, 2> expected{command, kAccepted};
  if (std::equal(expected.begin(), expected.end(), reply.begin(), reply.end())) return true;
  fail(std::string(failure) + ": загрузчик ответил " + hex(reply) + " вместо " + hex(expected));
  return false;
}

bool GPSUpdateThread::writeFirmware(std::span<const std::uint8_t> firmware) {
  const auto length = static_cast<std::uint32_t>(firmware.size());
  const std::array<std::uint8_t, 1> rangeKind{kRangeKind};
  const auto first = bigEndian(0);
  const auto last = bigEndian(length - 1);
  if (!loaderSetting(kRange, {rangeKind, first, last}, kRangeError) ||
      !loaderSetting(kPacketSizeCommand, {bigEndian(kPacketSize)}, kPacketSizeError) || !pause(kLoaderCommandPause)) {
    return false;
  }

  log(kWritingFirmware);
  std::vector<std::uint8_t> packet;
  packet.reserve(kPacketSize + 2);
  const std::uint32_t packets = (length + kPacketSize - 1) / kPacketSize;
  for (std::uint32_t offset = 0; offset < length; offset += kPacketSize) {
    const std::uint32_t dataLength = std::min(kPacketSize, length - offset);
    const auto data = firmware.subspan(offset, dataLength);
    const std::uint16_t sum = packetChecksum(data);
    packet.assign(data.begin(), data.end());
    packet.push_back(static_cast<std::uint8_t>(sum >> 8));
    packet.push_back(static_cast<std::uint8_t>(sum));
    if (!sendPacket(packet, offset / kPacketSize + 1, packets)) return false;
    confirmedBytes_ += dataLength;
    progress(length, offset);
  }
  return true;
}

bool GPSUpdateThread::sendPacket(std::span<const std::uint8_t> packet, std::uint32_t number, std::uint32_t count) {
  const std::string which = "пакет " + std::to_string(number) + " из " + std::to_string(count);
  std::uint8_t answer = 0;
  for (int attempt = 0; attempt < kPacketTries; ++attempt) {
    if (!toModule(packet)) return false;
    // Silence is not retried: a lost acknowledgement cannot be told from a lost packet, and a packet
    // the loader did take, sent again, would be written as the next one.
    if (!awaited(1, kModuleTimeoutMs, kPacketTimeout)) {
      if (failure_ == kPacketTimeout) failure_ += ": " + which + " без ответа";
      return false;
    }
    answer = channel().receivedBytes(1).at(0);
    if (answer == kAccepted) return true;
  }
  fail(std::string(kPacketRejected) + which + " отвергнут " + std::to_string(kPacketTries) + " раза (ответ " +
       hex(std::span(&answer, 1)) + ")");
  return false;
}

bool GPSUpdateThread::finishProgramming() {
  const std::array<std::uint8_t, 1> end{kEndProgramming};
  if (!toModule(end) || !pause(kLoaderCommandPause) || !toModule(end) || !pause(kLoaderCommandPause)) return false;
  // The module has left its loader; the beacon's line goes back to the module's own speed, and the
  // beacon must say it did.
  return beaconCommand(link::CommandType::SetGnssBaud, kNormalSpeed, kNormalSpeedError);
}

bool GPSUpdateThread::recover() {
  // Sent even when the run is being stopped: a module left in its boot ROM at 115200 is of no use.
  const auto command = [this](link::CommandType type, std::uint32_t parameter) {
    return !channel().lineLost() && sendClosingFrame(type, parameter, 0, nullptr) &&
           waitForClosingAnswer(1, kBeaconTimeoutMs);
  };
  return command(link::CommandType::SetGnssBaud, kNormalSpeed) && command(link::CommandType::GnssOff, 0) &&
         moduleOffAndQuiet(true) && command(link::CommandType::GnssOn, 0);
}

}  // namespace orsa::firmware
