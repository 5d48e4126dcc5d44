#include "firmware/MCUpdateThread.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <vector>

#include "firmware/FirmwareMessages.h"

namespace orsa::firmware {

namespace {

using namespace messages::update;

// Largest payload whose last address still fits the 32-bit parameter.
constexpr std::uint64_t kMaxPayload = std::numeric_limits<std::uint32_t>::max() - MCUpdateThread::kFlashBase;

}  // namespace

MCUpdateThread::MCUpdateThread(link::DeviceLink link, Callbacks callbacks)
    : Worker(link, "обновление прошивки"), callbacks_(std::move(callbacks)) {}

std::string firmwareFileName(const std::string& chosen) {
  if (chosen.find(".fmw") != std::string::npos) return chosen;
  return chosen + ".fmw";
}

std::optional<std::uint32_t> firmwarePayloadLength(std::uint64_t fileLength) {
  if (fileLength < MCUpdateThread::kHeaderSize || fileLength - MCUpdateThread::kHeaderSize > kMaxPayload) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(fileLength - MCUpdateThread::kHeaderSize);
}

void MCUpdateThread::finish(std::int32_t code, const char* text) {
  resultCode = code;
  messageText = text;
  if (callbacks_.showResult) synchronize([this] { callbacks_.showResult(*this); });
}

void MCUpdateThread::run() {
  if (!connectDevice()) {
    finish(link::kResultFailure, link::kNotConnectedMessage);
    closeChannel();
    return;
  }

  std::ifstream file(firmwarePath, std::ios::binary);
  std::uint64_t fileLength = 0;
  if (file) {
    file.seekg(0, std::ios::end);
    auto end = file.tellg();
    fileLength = end < 0 ? 0 : static_cast<std::uint64_t>(end);
  }
  // A file without a whole header has no payload at all: nothing of it may reach the beacon.
  const std::optional<std::uint32_t> payloadLength = firmwarePayloadLength(fileLength);
  if (!file || !payloadLength) {
    finish(link::kResultFailure, kFileError);
    return;
  }

  if (!sendCommand(link::CommandType::EraseFirmware, 0)) return;  // stopped: the beacon is untouched
  if (!waitForBytes(1, kReplyTimeoutMs)) {
    finish(link::kResultFailure, kEraseError);
    return;
  }

  progressMax =
      static_cast<std::int32_t>(std::min<std::uint64_t>(*payloadLength, std::numeric_limits<std::int32_t>::max()));
  std::uint32_t remaining = *payloadLength;
  std::uint32_t offset = 0;
  std::vector<char> block(kBlockSize);
  // The block step runs at least once: an empty payload still sends one empty block.
  do {
    const std::uint32_t length = std::min(remaining, kBlockSize);
    file.seekg(static_cast<std::streamoff>(kHeaderSize + offset));
    file.read(block.data(), length);
    if (static_cast<std::uint32_t>(file.gcount()) != length) {
      // The file changed under us; sending what was not read would flash garbage.
      finish(link::kResultFailure, kFileChangedError);
      return;
    }
    sendCommand(link::CommandType::WriteFirmwareBlock, kFlashBase + offset, length, block.data());
    if (!waitForBytes(1, kReplyTimeoutMs)) {
      finish(link::kResultFailure, kWriteError);
      return;
    }
    remaining -= length;
    offset += length;
    progressPosition =
        static_cast<std::int32_t>(std::min<std::uint64_t>(offset, std::numeric_limits<std::int32_t>::max()));
    if (callbacks_.showProgress) synchronize([this] { callbacks_.showProgress(*this); });
  } while (remaining != 0);

  finish(link::kResultSuccess, kSuccess);
}

}  // namespace orsa::firmware
