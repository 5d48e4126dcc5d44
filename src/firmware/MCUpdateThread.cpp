#include "firmware/MCUpdateThread.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <vector>

#include "firmware/FirmwareFile.h"
#include "firmware/FirmwareMessages.h"
#include "link/Utf8Path.h"

namespace orsa::firmware {

namespace {

using namespace messages::update;

// Largest payload whose last address still fits the 32-bit parameter.
constexpr std::uint64_t kMaxPayload = std::numeric_limits<std::uint32_t>::max() - MCUpdateThread::kFlashBase;

}  // namespace

MCUpdateThread::MCUpdateThread(link::DeviceLink link, Callbacks callbacks)
    : Worker(link, "обновление прошивки"), callbacks_(std::move(callbacks)) {}

std::string firmwareFileName(const std::string& chosen) {
  std::error_code error;
  if (std::filesystem::exists(link::utf8Path(chosen), error)) {
    return chosen;
  }
  if (chosen.find(".fmw") != std::string::npos) return chosen;
  return chosen + ".fmw";
}

FirmwareFile readFirmwareImage(const std::filesystem::path& path) {
  FirmwareFile file = readFirmwareFile(path, kMaxFirmwareFileBytes);
  constexpr auto kHeaderSize = MCUpdateThread::kHeaderSize, kMaxImage = MCUpdateThread::kMaxImage;
  if (file.ok() && file.bytes.size() < kHeaderSize) file.problem = "файл короче своего заголовка (15 байт)";
  if (file.ok() && file.bytes.size() - kHeaderSize > kMaxImage) {
    file.problem = "образ прошивки " + std::to_string(file.bytes.size() - kHeaderSize) + " байт не помещается в " +
                   std::to_string(kMaxImage) + " байт перед областью настроек";
  }
  if (!file.ok()) file.problem = std::string(kFileError) + ": " + link::pathText(path) + ": " + file.problem;
  return file;
}

std::optional<std::uint32_t> firmwarePayloadLength(std::uint64_t fileLength) {
  if (fileLength < MCUpdateThread::kHeaderSize || fileLength - MCUpdateThread::kHeaderSize > kMaxPayload) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(fileLength - MCUpdateThread::kHeaderSize);
}

void MCUpdateThread::finish(std::int32_t code, const std::string& text) {
  resultCode = code;
  messageText = text;
  // A stop asked for by the user still gets its box: the beacon is left half-written.
  if (callbacks_.showResult) report([this] { callbacks_.showResult(*this); });
}

void MCUpdateThread::finishCutShort(std::uint32_t written, std::uint32_t total) {
  const std::string held = "записано " + std::to_string(written) + " из " + std::to_string(total) +
                           " байт. Прошивка записана не полностью, повторите обновление";
  if (channel().lineLost()) {
    finish(link::kResultFailure, std::string(kWriteError) + ": маяк отключён, " + held);
  } else if (stopRequested()) {
    finish(link::kResultFailure, std::string(messages::update::kInterrupted) + held);
  } else {
    finish(link::kResultFailure, std::string(kWriteError) + ": маяк не подтвердил запись, " + held);
  }
}

void MCUpdateThread::run() {
  if (!connectDevice()) {
    finish(link::kResultFailure, link::kNotConnectedMessage);
    closeChannel();
    return;
  }

  // Read whole and checked before the erase, so nothing of a file that cannot be flashed whole
  // reaches the beacon.
  const FirmwareFile file = readFirmwareImage(firmwarePath);
  if (!file.ok()) {
    finish(link::kResultFailure, file.problem);
    return;
  }
  const auto payloadLength = static_cast<std::uint32_t>(file.bytes.size() - kHeaderSize);

  if (!sendCommand(link::CommandType::EraseFirmware, 0)) return;  // stopped: the beacon is untouched
  if (!waitForBytes(1, kReplyTimeoutMs)) {
    if (stopRequested() && !channel().lineLost()) {
      // The erase is under way and cannot be called back: let it end, then say what it left.
      waitForClosingAnswer(1, kReplyTimeoutMs);
      finish(link::kResultFailure,
             std::string(messages::update::kInterrupted) + "память прошивки очищена, повторите обновление");
      return;
    }
    finish(link::kResultFailure,
           channel().lineLost() ? std::string(kEraseError) + ": маяк отключён" : std::string(kEraseError));
    return;
  }

  progressMax =
      static_cast<std::int32_t>(std::min<std::uint64_t>(payloadLength, std::numeric_limits<std::int32_t>::max()));
  std::uint32_t offset = 0;
  // The block step runs at least once: an empty payload still sends one empty block.
  do {
    const std::uint32_t length = std::min(payloadLength - offset, kBlockSize);
    if (!sendCommand(link::CommandType::WriteFirmwareBlock, kFlashBase + offset, length,
                     file.bytes.data() + kHeaderSize + offset)) {
      return finishCutShort(offset, payloadLength);
    }
    // A stop lets the block already sent be acknowledged, so the count said is what the beacon holds.
    const bool acknowledged = waitForBytes(1, kReplyTimeoutMs) ||
                              (stopRequested() && !channel().lineLost() && waitForClosingAnswer(1, kReplyTimeoutMs));
    if (!acknowledged) return finishCutShort(offset, payloadLength);
    offset += length;
    progressPosition =
        static_cast<std::int32_t>(std::min<std::uint64_t>(offset, std::numeric_limits<std::int32_t>::max()));
    if (callbacks_.showProgress) synchronize([this] { callbacks_.showProgress(*this); });
    if (stopRequested() && offset < payloadLength) return finishCutShort(offset, payloadLength);
  } while (offset < payloadLength);

  succeeded_ = true;
  finish(link::kResultSuccess, kSuccess);
}

}  // namespace orsa::firmware
