#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <limits>
#include <numeric>

#include "link/Utf8Path.h"
#include "service/ModemText.h"
#include "service/ServiceMessages.h"
#include "service/ServiceThread.h"
#include "settings/Cp1251.h"

namespace orsa::service {

namespace {

using Outcome = ModemReply::Outcome;

constexpr std::uint64_t kChunkSize = 256;
// The least time between two file-system commands, as the beacon has always been given.
constexpr std::chrono::milliseconds kCommandPause{100};
constexpr int kFreeMemoryTries = 5;
constexpr std::chrono::milliseconds kWriteTimeout{2000};
constexpr std::string_view kWritePrefix = "AT+FSWRITE=C:\\";
// The longest tail a write command gets: ",1," + "256" + ",1000" + CR LF.
constexpr std::size_t kLongestWriteTail = 3 + 3 + 5 + 2;

std::string writeCommand(const std::string& name, std::uint64_t chunk) {
  return std::string(kWritePrefix) + name + ",1," + std::to_string(chunk) + ",1000\r\n";
}

// Reads the whole file to be sure it can be, and that it still has the size it was listed with.
bool readsWhole(const UploadFile& file, bool& sizeChanged) {
  sizeChanged = false;
  std::ifstream in(link::utf8Path(file.path), std::ios::binary);
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

// The size in an "AT+FSFLSIZE" answer; empty when the modem has no such file (or said no number).
std::optional<std::int64_t> fileSizeIn(const ModemReply& reply) {
  const auto field = reply.field("+FSFLSIZE: ");
  if (!reply.ok() || !field) return std::nullopt;
  std::int64_t size = 0;
  const auto [end, error] = std::from_chars(field->data(), field->data() + field->size(), size);
  if (error != std::errc{} || end == field->data() || size < 0) return std::nullopt;
  return size;
}

std::string sizeCommand(const std::string& name) { return "AT+FSFLSIZE=C:\\" + name + "\r\n"; }

}  // namespace

// Everything that can be known about the files is checked before the modem's old copies are deleted.
bool ServiceThread::checkUploadFiles() {
  modemNames_.clear();
  for (const UploadFile& file : fileList) {
    const std::string shown = modemFileName(file.path);
    const auto name = settings::Cp1251::fromUtf8Strict(shown);
    if (!name.ok() || !isSafeModemFileName(name.bytes) ||
        std::string_view(kWritePrefix).size() + name.bytes.size() + kLongestWriteTail > kMaxCommandBytes) {
      log(std::string(messages::kFileNameUnfit) + kModemFileNameRule + ", не длиннее " +
          std::to_string(kMaxCommandBytes - kWritePrefix.size() - kLongestWriteTail) + " байт): «" + shown + "»" +
          messages::kNothingTouched);
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
      log(messages::kDuplicateName + shown + messages::kNothingTouched);
      return false;
    }
    modemNames_.push_back(name.bytes);
  }
  return true;
}

bool ServiceThread::commandSucceeds(const std::string& command, std::string_view failure) {
  const auto sent = now();
  const ModemReply reply = exchange(command, kCommandTimeout);
  if (!reply.ok()) {
    logFailure(failure, reply);
    return false;
  }
  const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(now() - sent);
  return spent >= kCommandPause || pause(kCommandPause - spent);
}

bool ServiceThread::modemAnswersAt() { return commandSucceeds("AT\r\n", messages::kUploadModemSilent); }

std::optional<std::int32_t> ServiceThread::queryFreeMemory(ModemReply& reply) {
  for (int attempt = 0; attempt < kFreeMemoryTries; ++attempt) {
    const auto sent = now();
    reply = exchange("AT+FSMEM\r\n", kCommandTimeout);
    if (reply.outcome == Outcome::Stopped || reply.outcome == Outcome::LineLost) return std::nullopt;
    if (const auto free = reply.ok() ? freeMemoryFromAnswer(reply.received) : std::nullopt) {
      log(messages::kFreeMemoryPrefix + std::to_string(*free) + messages::kFreeMemorySuffix);
      const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(now() - sent);
      if (spent < kCommandPause && !pause(kCommandPause - spent)) return std::nullopt;
      return free;
    }
  }
  return std::nullopt;
}

// The old copies are deleted only once the new files are sure to fit in the space they free.
bool ServiceThread::fitsOnModem(const std::vector<std::optional<std::int64_t>>& oldSizes) {
  ModemReply reply;
  const auto free = queryFreeMemory(reply);
  if (!free) {
    logFailure(messages::kNoFreeMemoryAnswer, reply);
    return false;
  }
  const std::uint64_t replaced = std::accumulate(
      oldSizes.begin(), oldSizes.end(), std::uint64_t{0},
      [](std::uint64_t sum, const auto& size) { return sum + static_cast<std::uint64_t>(size.value_or(0)); });
  const std::uint64_t available = static_cast<std::uint64_t>(*free) + replaced;
  if (totalSize >= available) {
    log(std::string(messages::kNotEnoughMemory) + messages::kUploadNeeds + std::to_string(totalSize) +
        messages::kUploadAvailable + std::to_string(available) + messages::kNothingTouched);
    return false;
  }
  return true;
}

void ServiceThread::uploadFiles() {
  if (!checkUploadFiles()) return;
  if (!modemAnswersAt()) return;

  std::vector<std::optional<std::int64_t>> oldSizes;
  for (const std::string& name : modemNames_) {
    const ModemReply reply = exchange(sizeCommand(name), kCommandTimeout);
    // ERROR is the answer for a file the drive does not have; no answer at all is a failure.
    if (!reply.answered()) return logFailure(messages::kUploadModemSilent, reply);
    oldSizes.push_back(fileSizeIn(reply));
  }
  if (!fitsOnModem(oldSizes)) return;

  for (std::size_t i = 0; i < modemNames_.size(); ++i) {
    const std::string shown = settings::Cp1251::toUtf8(modemNames_[i]);
    const auto sent = now();
    const ModemReply reply = exchange("AT+FSDEL=C:\\" + modemNames_[i] + "\r\n", kCommandTimeout);
    // A file that is not there cannot be deleted; that is no error.
    if (!reply.ok() && (oldSizes[i] || !reply.answered())) return logFailure(messages::kDeleteFailed + shown, reply);
    const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(now() - sent);
    if (spent < kCommandPause && !pause(kCommandPause - spent)) return;
  }
  if (!modemAnswersAt()) return;
  for (const std::string& name : modemNames_) {
    if (!commandSucceeds("AT+FSCREATE=C:\\" + name + "\r\n", messages::kCreateFailed + settings::Cp1251::toUtf8(name)))
      return;
  }

  progressMax = static_cast<std::int32_t>(std::min<std::uint64_t>(totalSize, std::numeric_limits<std::int32_t>::max()));
  progressPosition = 0;
  std::uint64_t written = 0;
  for (std::size_t i = 0; i < fileList.size(); ++i) {
    if (!writeFile(fileList[i], modemNames_[i], written)) return;
  }

  ModemReply reply;
  queryFreeMemory(reply);
  if (stopRequested()) return;
  reachAim(messages::kFilesWritten);
}

bool ServiceThread::writeFile(const UploadFile& file, const std::string& name, std::uint64_t& written) {
  const std::string shown = modemFileName(file.path);
  log(messages::kWritingFile + shown);
  std::ifstream in(link::utf8Path(file.path), std::ios::binary);
  if (!in) {
    log(messages::kFileUnreadable + file.path);
    return false;
  }
  // The modem takes 1 to 10240 bytes per write and refuses 0: the file created empty a step before
  // already is the whole copy of an empty file.
  std::uint64_t done = 0;
  std::array<char, 512> chunk{};
  while (done < file.size) {
    const std::uint64_t size = std::min(file.size - done, kChunkSize);
    // Read before the command, so a file that fails now leaves no modem waiting for its bytes.
    chunk.fill(0);
    in.read(chunk.data(), static_cast<std::streamsize>(size));
    if (static_cast<std::uint64_t>(in.gcount()) != size) {
      log(messages::kFileUnreadable + file.path);
      return false;
    }
    if (!writeChunk(name, std::string_view(chunk.data(), size), shown, done, file.size)) return false;
    done += size;
    written += size;
    progressPosition =
        static_cast<std::int32_t>(std::min<std::uint64_t>(written, std::numeric_limits<std::int32_t>::max()));
    if (callbacks_.showProgress) synchronize([this] { callbacks_.showProgress(*this); });
    if (stopRequested()) {
      reportCutShort(ModemReply{ModemReply::Outcome::Stopped, {}, {}, {}}, shown, done, file.size);
      return false;
    }
  }

  // Only the modem's own count of the file's bytes says the copy is whole.
  const ModemReply reply = exchange(sizeCommand(name), kCommandTimeout);
  const auto size = fileSizeIn(reply);
  if (!size) {
    if (reply.outcome == Outcome::LineLost || reply.outcome == Outcome::Stopped) {
      reportCutShort(reply, shown, done, file.size);
    } else {
      logFailure(messages::kSizeNotConfirmed + shown, reply);
    }
    return false;
  }
  if (static_cast<std::uint64_t>(*size) != file.size) {
    log(messages::kSizeMismatch + shown + messages::kLeftOnModem + std::to_string(*size) + " из " +
        std::to_string(file.size) + messages::kBytes);
    return false;
  }
  return true;
}

bool ServiceThread::writeChunk(const std::string& name, std::string_view chunk, std::string_view shownName,
                               std::uint64_t done, std::uint64_t size) {
  const std::string command = writeCommand(name, chunk.size());
  drainStaleAnswer();
  if (stopRequested()) {
    reportCutShort(ModemReply{Outcome::Stopped, {}, {}, {}}, shownName, done, size);
    return false;
  }
  // Once the command is out, even a stop that came with it waits for its prompt and the chunk: a
  // modem left waiting for file bytes would take the next command for them.
  sendCommand(link::CommandType::ModemData, 0, static_cast<std::uint32_t>(command.size()), command.data());
  const ModemReply prompt = readReply(command, kWriteTimeout, true, true);
  if (prompt.outcome != Outcome::Prompt) {
    if (prompt.outcome == Outcome::LineLost) {
      reportCutShort(prompt, shownName, done, size);
    } else if (prompt.answered()) {
      logFailure(messages::kNoPrompt, prompt);
    } else {
      leavePrompt();
      logFailure(messages::kNoPromptAnswer, prompt);
    }
    return false;
  }
  sendClosingFrame(link::CommandType::ModemData, 0, static_cast<std::uint32_t>(chunk.size()), chunk.data());
  const ModemReply confirmation = readReply(chunk, kWriteTimeout, false, true);
  if (confirmation.ok()) return true;
  if (confirmation.outcome == Outcome::LineLost) {
    reportCutShort(confirmation, shownName, done, size);
  } else if (confirmation.answered()) {
    logFailure(messages::kNoConfirmation, confirmation);
  } else {
    logFailure(messages::kNoConfirmationAnswer, confirmation);
  }
  return false;
}

void ServiceThread::reportCutShort(const ModemReply& reply, std::string_view shownName, std::uint64_t done,
                                   std::uint64_t size) {
  const char* cause = reply.outcome == Outcome::LineLost ? link::kNotConnectedMessage : messages::kStopped;
  log(std::string(cause) + messages::kLeftOnModem + std::to_string(done) + " из " + std::to_string(size) +
      " байт файла " + std::string(shownName));
}

void ServiceThread::listModemFiles() {
  modemFiles.clear();
  modemFreeBytes.reset();
  const ModemReply listing = exchange("AT+FSLS=C:\\\r\n", kCommandTimeout);
  if (!listing.ok()) return logFailure(messages::kListFailed, listing);
  for (const std::string& name : listing.lines) {
    if (name.ends_with('\\')) continue;  // a folder
    const ModemReply reply = exchange(sizeCommand(name), kCommandTimeout);
    if (reply.outcome == Outcome::Stopped || reply.outcome == Outcome::LineLost) {
      return logFailure(messages::kListFailed, reply);
    }
    const auto size = fileSizeIn(reply);
    modemFiles.push_back({name, size});
    log("C:\\" + settings::Cp1251::toUtf8(name) + ": " +
        (size ? std::to_string(*size) + messages::kBytes : describeModemReply(reply)));
  }
  if (modemFiles.empty()) log(messages::kDriveEmpty);
  ModemReply reply;
  modemFreeBytes = queryFreeMemory(reply);
  if (!modemFreeBytes) return logFailure(messages::kListFailed, reply);
  reachedAim_ = true;
  if (callbacks_.showModemFiles) synchronize([this] { callbacks_.showModemFiles(*this); });
}

void ServiceThread::removeModemFile() {
  const std::string shown = settings::Cp1251::toUtf8(fileName);
  if (!isSafeModemFileName(fileName)) {
    log(std::string(messages::kFileNameUnfit) + kModemFileNameRule + "): «" + shown + "»" + messages::kNothingSent);
    return;
  }
  const ModemReply reply = exchange("AT+FSDEL=C:\\" + fileName + "\r\n", kCommandTimeout);
  if (reply.ok()) {
    reachAim(messages::kFileRemoved + shown);
  } else {
    logFailure(messages::kDeleteFailed + shown, reply);
  }
}

}  // namespace orsa::service
