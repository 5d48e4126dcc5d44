#include <algorithm>
#include <array>
#include <fstream>
#include <limits>

#include "service/ModemText.h"
#include "service/ServiceMessages.h"
#include "service/ServiceThread.h"
#include "settings/Cp1251.h"

namespace orsa::service {

namespace {

constexpr std::uint64_t kChunkSize = 256;
constexpr std::chrono::milliseconds kCommandPause{100};
constexpr int kFreeMemoryTries = 5;
constexpr std::int32_t kWriteTimeoutMs = 2000;
constexpr std::string_view kWritePrefix = "AT+FSWRITE=C:\\";
// The longest tail a write command gets: ",1," + "256" + ",1000" + CR LF.
constexpr std::size_t kLongestWriteTail = 3 + 3 + 5 + 2;

std::string writeCommand(const std::string& name, std::uint64_t chunk) {
  return std::string(kWritePrefix) + name + ",1," + std::to_string(chunk) + ",1000\r\n";
}

std::string shownName(const UploadFile& file) { return modemFileName(file.path); }

// Reads the whole file to be sure it can be, and that it still has the size it was listed with.
bool readsWhole(const UploadFile& file, bool& sizeChanged) {
  sizeChanged = false;
  std::ifstream in(file.path, std::ios::binary);
  if (!in) return false;
  std::array<char, 65536> block;
  std::uint64_t total = 0;
  while (in.read(block.data(), block.size()) || in.gcount() > 0) total += static_cast<std::uint64_t>(in.gcount());
  if (in.bad()) return false;
  sizeChanged = total != file.size;
  return true;
}

bool sameModemName(std::string_view a, std::string_view b) {
  auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return fold(x) == fold(y); });
}

}  // namespace

bool ServiceThread::sendAndPause(const std::string& command) { return sendAt(command) && pause(kCommandPause); }

// Everything that can be known about the files is checked before the modem's old copies are deleted.
bool ServiceThread::checkUploadFiles() {
  modemNames_.clear();
  for (const UploadFile& file : fileList) {
    const auto name = settings::Cp1251::fromUtf8Strict(modemFileName(file.path));
    if (!name.ok() || name.bytes.empty() ||
        std::string_view(kWritePrefix).size() + name.bytes.size() + kLongestWriteTail > kMaxCommandBytes) {
      log(messages::kFileNameUnfit + file.path + messages::kNothingTouched);
      return false;
    }
    bool sizeChanged = false;
    if (!readsWhole(file, sizeChanged)) {
      log(messages::kFileUnreadable + file.path + messages::kNothingTouched);
      return false;
    }
    if (sizeChanged) {
      log(messages::kFileChanged + file.path + messages::kNothingTouched);
      return false;
    }
    // The drive compares names without regard to case, and every write appends: a second file of
    // the same name would be added onto the first.
    if (std::any_of(modemNames_.begin(), modemNames_.end(),
                    [&](const std::string& n) { return sameModemName(n, name.bytes); })) {
      log(messages::kDuplicateName + modemFileName(file.path) + messages::kNothingTouched);
      return false;
    }
    modemNames_.push_back(name.bytes);
  }
  return true;
}

std::optional<std::int32_t> ServiceThread::queryFreeMemory() {
  for (int attempt = 0; attempt < kFreeMemoryTries; ++attempt) {
    if (!sendAndPause("AT+FSMEM\r\n")) return std::nullopt;
    if (const auto free = freeMemoryFromAnswer(answer())) {
      log(messages::kFreeMemoryPrefix + std::to_string(*free) + messages::kFreeMemorySuffix);
      return free;
    }
  }
  return std::nullopt;
}

void ServiceThread::uploadFiles() {
  if (!checkUploadFiles()) return;
  if (!sendAndPause("AT\r\n")) return;
  for (const std::string& name : modemNames_) {
    if (!sendAndPause("AT+FSDEL=C:\\" + name + "\r\n")) return;
  }
  const auto free = queryFreeMemory();
  if (stopRequested()) return;
  if (!free) {
    log(messages::kNoFreeMemoryAnswer);
    return;
  }
  if (totalSize >= static_cast<std::uint64_t>(*free)) {
    log(messages::kNotEnoughMemory);
    return;
  }
  if (!sendAndPause("AT\r\n")) return;
  for (const std::string& name : modemNames_) {
    if (!sendAndPause("AT+FSCREATE=C:\\" + name + "\r\n")) return;
  }

  progressMax = static_cast<std::int32_t>(std::min<std::uint64_t>(totalSize, std::numeric_limits<std::int32_t>::max()));
  progressPosition = 0;
  std::uint64_t written = 0;
  for (std::size_t i = 0; i < fileList.size(); ++i) {
    if (!writeFile(fileList[i], modemNames_[i], written)) return;
  }

  queryFreeMemory();
  if (stopRequested()) return;
  reachAim(messages::kFilesWritten);
}

bool ServiceThread::writeFile(const UploadFile& file, const std::string& name, std::uint64_t& written) {
  log(messages::kWritingFile + shownName(file));
  std::ifstream in(file.path, std::ios::binary);
  if (!in) {
    log(messages::kFileUnreadable + file.path);
    return false;
  }
  // The modem takes 1 to 10240 bytes per write and refuses 0: the file created empty a step before
  // already is the whole copy of an empty file.
  std::uint64_t remaining = file.size;
  std::array<char, 512> chunk{};
  while (remaining > 0) {
    const std::uint64_t size = std::min(remaining, kChunkSize);
    // Read before the command, so a file that fails now leaves no modem waiting for its bytes.
    chunk.fill(0);
    in.read(chunk.data(), static_cast<std::streamsize>(size));
    if (static_cast<std::uint64_t>(in.gcount()) != size) {
      log(messages::kFileUnreadable + file.path);
      return false;
    }
    if (!sendAt(writeCommand(name, size))) return false;
    if (!waitForBytes(3, kWriteTimeoutMs)) {
      if (!stopRequested()) log(messages::kNoPromptAnswer);
      return false;
    }
    if (!answerHolds(answer(), ">")) {
      log(messages::kNoPrompt);
      return false;
    }
    if (!sendAt(std::string_view(chunk.data(), size))) return false;
    if (!waitForBytes(6, kWriteTimeoutMs)) {
      if (!stopRequested()) log(messages::kNoConfirmationAnswer);
      return false;
    }
    if (!answerHolds(answer(), "\r\nOK\r\n")) {
      log(messages::kNoConfirmation);
      return false;
    }
    remaining -= size;
    written += size;
    progressPosition =
        static_cast<std::int32_t>(std::min<std::uint64_t>(written, std::numeric_limits<std::int32_t>::max()));
    if (callbacks_.showProgress) synchronize([this] { callbacks_.showProgress(*this); });
  }
  return true;
}

}  // namespace orsa::service
