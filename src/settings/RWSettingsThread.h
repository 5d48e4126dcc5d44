#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "link/Worker.h"
#include "settings/SettingsRecord.h"

namespace orsa::settings {

// Reads the beacon's 29 slots into the record, or writes the first 25 back, one slot per frame.
// Every window change happens in a callback run through the host on the window thread; the worker
// waits for each one to finish.
class RWSettingsThread final : public link::Worker {
 public:
  static constexpr std::int32_t kReadMode = 1;
  static constexpr std::int32_t kWriteMode = 2;
  static constexpr std::int32_t kReplyTimeoutMs = 4000;
  static constexpr std::chrono::milliseconds kReadPause{100};
  static constexpr std::uint32_t kSlotReplySize = 32;
  // Asked once more after a complete read, as the exchange always has ended; the answer is not
  // used and its absence is no failure.
  static constexpr std::uint32_t kClosingReadParameter = 0x080802C0;

  struct Callbacks {
    // Message box titled "Конфигуратор" with messageText: information icon for result code 3,
    // warning icon for 4, nothing for any other code.
    std::function<void(const RWSettingsThread&)> showResult;
    // Progress window captioned progressCaption, shown (not modal).
    std::function<void(const RWSettingsThread&)> showProgressWindow;
    // Progress bar maximum progressMax, position progressPosition.
    std::function<void(const RWSettingsThread&)> showProgress;
    std::function<void(const RWSettingsThread&)> hideProgressWindow;
    // ShowRecord and the summary, from record(); run only after a complete read.
    std::function<void(const RWSettingsThread&)> showRecord;
    std::function<void(const RWSettingsThread&)> fillSummary;
    // Appends one line (UTF-8) to the reply log window.
    std::function<void(const std::string& line)> replyDump;
  };

  // `record` and `replyLock` belong to the main window and must outlive the worker.
  RWSettingsThread(link::DeviceLink link, SettingsRecord& record, std::mutex& replyLock, Callbacks callbacks);
  ~RWSettingsThread() override { stopAndJoin(); }

  // kReadMode or kWriteMode, set before start().
  std::int32_t mode = 0;
  std::string progressCaption;

  const SettingsRecord& record() const { return record_; }

  // Asks a write to end once the slot on the wire has been acknowledged, so that no slot is left
  // half-known; a read simply stops. Safe from any thread. The write then ends as a failure with
  // slotsWritten telling how far it got.
  void requestStopBetweenSlots() { stopBetweenSlots_ = true; }
  bool stoppedBetweenSlots() const { return stoppedBetweenSlots_; }
  // Slots the beacon acknowledged in this write.
  std::int32_t slotsWritten() const { return slotsWritten_; }

 protected:
  void run() override;

 private:
  void readAll();
  void writeAll();
  void reportProgress(std::int32_t max, std::int32_t position, const char* caption);
  void finish(std::int32_t code, std::string_view text);
  void call(const std::function<void(const RWSettingsThread&)>& callback);

  SettingsRecord& record_;
  std::mutex& replyLock_;
  Callbacks callbacks_;
  std::atomic<bool> stopBetweenSlots_{false};
  std::atomic<bool> stoppedBetweenSlots_{false};
  std::atomic<std::int32_t> slotsWritten_{0};
};

}  // namespace orsa::settings
