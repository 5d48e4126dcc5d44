#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/Worker.h"
#include "service/ModemInfo.h"
#include "service/ModemReply.h"
#include "service/UploadFolder.h"

namespace orsa::service {

// One service operation on the beacon's modem or GNSS module, chosen by `mode`: power frames, the
// modem's start, the test SIM entry, the IMEI by SMS, a call and its end, the upload of sound files
// into the modem's drive "C:", the modem's diagnostics and its drive's listing. Every step is
// reported as a log line; only a missing beacon gets a result box. The channel is closed at every
// end.
//
// Each AT command is one exchange: the line goes out and the modem's answer is read to its final
// result code (or its prompt), skipping the echo. A success is logged only when the modem's own
// answer says so; every failure line quotes the answer, or says there was none. A stop ends the
// operation within a second and leaves the modem in command mode.
class ServiceThread final : public link::Worker {
 public:
  enum Mode : std::int32_t {
    kModemOn = 1,
    kModemOff = 2,
    kGnssOn = 3,
    kGnssOff = 4,
    kUploadFiles = 5,
    kCreateTestSimEntry = 6,
    kClearTestSimEntry = 7,
    kSendImeiSms = 8,
    kCall = 9,
    kHangUp = 10,
    kModemInfo = 11,
    kListModemFiles = 12,
    kRemoveModemFile = 13,
  };

  static constexpr std::int32_t kPowerTimeoutMs = 2000;
  // One try of "AT" while the modem starts; ten are made.
  static constexpr std::chrono::milliseconds kStartTryTimeout{500};
  static constexpr int kModemStartTries = 10;
  // A plain command's answer; the network's answer to a message is slower.
  static constexpr std::chrono::milliseconds kCommandTimeout{5000};
  static constexpr std::chrono::milliseconds kSmsTimeout{60000};
  static constexpr std::chrono::milliseconds kSmsPromptPause{1500};
  static constexpr std::uint8_t kCtrlZ = 0x1A;
  static constexpr std::uint8_t kEscape = 0x1B;

  struct Callbacks {
    // One new last line of the service log (UTF-8).
    std::function<void(const std::string& line)> appendLog;
    // Warning box titled "Конфигуратор" with messageText when resultCode is 4 (the beacon is missing).
    std::function<void(const ServiceThread&)> showResult;
    // Upload only: progressPosition of progressMax file bytes confirmed by the modem.
    std::function<void(const ServiceThread&)> showProgress;
    // Operation 12, once the listing is complete: modemFiles and modemFreeBytes.
    std::function<void(const ServiceThread&)> showModemFiles;
  };

  // `replyLock` belongs to the main window and must outlive the worker.
  ServiceThread(link::DeviceLink link, std::mutex& replyLock, Callbacks callbacks);
  ~ServiceThread() override { stopAndJoin(); }

  // Inputs, set before start().
  std::int32_t mode = 0;
  // Operations 8 and 9: the number as typed, in Windows-1251.
  std::string phoneNumber;
  // Operation 5: the files in the order they were listed, and their sizes summed.
  std::vector<UploadFile> fileList;
  std::uint64_t totalSize = 0;
  // Operation 13: the name of the file on drive "C:" to remove, in Windows-1251.
  std::string fileName;

  // Outcomes for the caller to show, read after the operation ended.
  // Operation 11: one item per question, in order.
  std::vector<ModemInfoItem> modemInfo;
  // Operation 12: the files on drive "C:" (names in Windows-1251) and its free bytes.
  struct ModemFile {
    std::string name;
    std::optional<std::int64_t> size;
  };
  std::vector<ModemFile> modemFiles;
  std::optional<std::int32_t> modemFreeBytes;

  // Whether the operation got as far as it meant to (the modem answered, the files are written, the
  // frame went out); what a script's exit status reports. False after a stop or a missing beacon.
  bool reachedAim() const { return reachedAim_; }

 protected:
  void run() override;

 private:
  void runMode();
  void startModem();
  void powerFrame(link::CommandType type, std::string_view started, std::string_view failed);
  void writeTestSimEntry(std::string_view command, std::string_view created, std::string_view failed);
  void sendImeiSms();
  std::optional<std::string> askImei();
  void call();
  void hangUp();
  void askModemInfo();
  void listModemFiles();
  void removeModemFile();
  void uploadFiles();

  // Upload steps; false when the upload has ended (its log line written, or stopped).
  bool checkUploadFiles();
  bool modemAnswersAt();
  std::optional<std::int64_t> fileSizeOnModem(const std::string& name);
  // Up to five tries of AT+FSMEM; `reply` is the last answer.
  std::optional<std::int32_t> queryFreeMemory(ModemReply& reply);
  bool fitsOnModem(const std::vector<std::optional<std::int64_t>>& oldSizes);
  bool commandSucceeds(const std::string& command, std::string_view failure);
  bool writeFile(const UploadFile& file, const std::string& name, std::uint64_t& written);
  bool writeChunk(const std::string& name, std::string_view chunk, std::string_view shownName, std::uint64_t done,
                  std::uint64_t size);
  void reportCutShort(const ModemReply& reply, std::string_view shownName, std::uint64_t done, std::uint64_t size);

  // One exchange with the modem: `data` goes out in a ModemData frame, and its answer is read until
  // it is final (see ModemReply) or `timeout` has passed. Bytes left over from an earlier exchange
  // that timed out are drained first, so they are never taken for this answer.
  ModemReply exchange(std::string_view data, std::chrono::milliseconds timeout, bool promptDue = false);
  ModemReply readReply(std::string_view data, std::chrono::milliseconds timeout, bool promptDue, bool closing);
  void drainStaleAnswer();
  // Sends a frame; false only when the operation is being stopped.
  bool send(link::CommandType type, std::string_view data = {});
  // After a stop: ESC takes the modem out of a message prompt that will never get its text.
  void leavePrompt();
  // A refused input is named with its rule and nothing is sent.
  std::optional<std::string> phoneNumberOrRefuse();
  bool phoneCommandFits(std::size_t fixedBytes, const std::string& number);
  void log(std::string_view line);
  void reachAim(std::string_view line);
  // The line for an exchange that did not end as hoped: `failure`, then what the modem said.
  void logFailure(std::string_view failure, const ModemReply& reply);

  std::mutex& replyLock_;
  Callbacks callbacks_;
  bool reachedAim_ = false;
  // The listed files' names on drive "C:", in Windows-1251.
  std::vector<std::string> modemNames_;
  bool staleAnswerLikely_ = false;
  bool stopReported_ = false;
};

}  // namespace orsa::service
