#include "settings/RWSettingsThread.h"

#include <algorithm>
#include <vector>

#include "settings/ExchangeOrder.h"
#include "settings/ReplyDump.h"
#include "settings/SettingsMessages.h"

namespace orsa::settings {

RWSettingsThread::RWSettingsThread(link::DeviceLink link, SettingsRecord& record, std::mutex& replyLock,
                                   Callbacks callbacks)
    : Worker(link, "обмен настройками"), record_(record), replyLock_(replyLock), callbacks_(std::move(callbacks)) {}

void RWSettingsThread::call(const std::function<void(const RWSettingsThread&)>& callback) {
  if (callback) {
    synchronize([&] { callback(*this); });
  }
}

void RWSettingsThread::finish(std::int32_t code, std::string_view text) {
  resultCode = code;
  messageText = std::string(text);
  call(callbacks_.showResult);
}

void RWSettingsThread::reportProgress(std::int32_t max, std::int32_t position, const char* caption) {
  progressMax = max;
  progressPosition = position;
  progressCaption = caption;
  call(callbacks_.showProgressWindow);
  call(callbacks_.showProgress);
}

void RWSettingsThread::run() {
  if (!connectDevice()) {
    finish(link::kResultFailure, messages::kNotConnected);
  } else if (mode == kReadMode) {
    readAll();
  } else if (mode == kWriteMode) {
    writeAll();
  }
  // Every run ends the same way, whatever happened; the reference to this worker is dropped by
  // the window once the thread reports that it has finished.
  call(callbacks_.hideProgressWindow);
  closeChannel();
}

void RWSettingsThread::readAll() {
  record_.clearAll();
  const std::string readingCaption(messages::kReadingCaption);
  for (std::size_t p = 0; p < exchangeOrder.size(); ++p) {
    const ExchangeEntry& entry = exchangeOrder[p];
    sendCommand(link::CommandType::ReadSettingSlot, entry.parameter);
    if (!pause(kReadPause)) {
      return;  // abandoned: the program is closing
    }
    const bool arrived = waitForBytes(kSlotReplySize, kReplyTimeoutMs);
    // One snapshot serves the dump and the copy: after a successful wait the first 32 bytes
    // stay put until the next send, and taking it here keeps the receive lock from ever
    // nesting inside replyLock. The dump takes the buffer's first bytes whether they arrived
    // or not, so a short reply shows what is missing.
    const auto buffer = channel().receiveBufferCopy();
    const std::vector<std::uint8_t> reply(buffer.begin(), buffer.begin() + kSlotReplySize);
    if (callbacks_.replyDump) {
      const std::string line = replyDumpLine(std::span(buffer).first<kReplyDumpBytes>());
      synchronize([&] {
        callbacks_.replyDump(line);
        callbacks_.replyDump(std::string(kReplyDumpSeparator));
      });
    }
    if (!arrived) {
      if (!stopRequested()) {
        finish(link::kResultFailure, messages::kReadFailed);
      }
      return;
    }
    reportProgress(static_cast<std::int32_t>(exchangeOrder.size()), static_cast<std::int32_t>(p),
                   readingCaption.c_str());

    const auto zero = std::find(reply.begin(), reply.end(), std::uint8_t{0});
    const std::string text(reply.begin(), zero);  // setText keeps at most 31 of a full reply
    std::lock_guard lock(replyLock_);
    record_.setText(entry.slot, text);
  }

  call(callbacks_.showRecord);
  call(callbacks_.fillSummary);

  sendCommand(link::CommandType::ReadSettingSlot, kClosingReadParameter);
  waitForBytes(kSlotReplySize, kReplyTimeoutMs);
}

void RWSettingsThread::writeAll() {
  const std::string writingCaption(messages::kWritingCaption);
  slotsWritten_ = 0;
  for (std::size_t p = 0; p < kWrittenSlotCount; ++p) {
    const ExchangeEntry& entry = exchangeOrder[p];
    const SettingsRecord::Slot& cell = record_.bytes(entry.slot);
    sendCommand(link::CommandType::WriteSettingSlot, entry.parameter, static_cast<std::uint32_t>(cell.size()),
                cell.data());
    if (!waitForBytes(1, kReplyTimeoutMs)) {
      if (!stopRequested()) {
        finish(link::kResultFailure, messages::kWriteFailed);
      }
      return;
    }
    slotsWritten_ = static_cast<std::int32_t>(p + 1);
    reportProgress(static_cast<std::int32_t>(kWrittenSlotCount), static_cast<std::int32_t>(p), writingCaption.c_str());
    if (stopBetweenSlots_ && p + 1 < kWrittenSlotCount) {
      stoppedBetweenSlots_ = true;
      call(callbacks_.hideProgressWindow);
      resultCode = link::kResultFailure;
      return;
    }
  }
  call(callbacks_.hideProgressWindow);
  finish(link::kResultSuccess, messages::kWriteDone);
}

}  // namespace orsa::settings
