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
#include "service/UploadFolder.h"

namespace orsa::service {

// One service operation on the beacon's modem or GNSS module, chosen by `mode`: power frames, the
// modem's start, the test SIM entry, the IMEI by SMS, a call and its end, and the upload of sound
// files into the modem's drive "C:". Every step is reported as a log line; only a missing beacon
// gets a result box. The channel is closed at every end.
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
  };

  static constexpr std::int32_t kPowerTimeoutMs = 2000;
  static constexpr std::int32_t kModemReplyTimeoutMs = 500;
  static constexpr int kModemStartTries = 10;
  static constexpr std::int32_t kSmsStepTimeoutMs = 1000000;
  static constexpr std::chrono::milliseconds kSmsPromptPause{1500};
  static constexpr std::uint8_t kCtrlZ = 0x1A;

  struct Callbacks {
    // One new last line of the service log (UTF-8).
    std::function<void(const std::string& line)> appendLog;
    // Warning box titled "Конфигуратор" with messageText when resultCode is 4 (the beacon is missing).
    std::function<void(const ServiceThread&)> showResult;
    // Upload only: progressPosition of progressMax file bytes confirmed by the modem.
    std::function<void(const ServiceThread&)> showProgress;
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
  void call();
  void hangUp();
  void uploadFiles();

  // Upload steps; false when the upload has ended (its log line written, or stopped).
  bool checkUploadFiles();
  bool sendAndPause(const std::string& command);
  std::optional<std::int32_t> queryFreeMemory();
  bool writeFile(const UploadFile& file, const std::string& name, std::uint64_t& written);

  // Sends a frame; false only when the operation is being stopped.
  bool send(link::CommandType type, std::string_view data = {});
  bool sendAt(std::string_view text) { return send(link::CommandType::ModemData, text); }
  std::string answer() const { return channel().receivedText(); }
  // A phone command that would not fit the command buffer is refused with a log line.
  bool phoneCommandFits(std::size_t fixedBytes);
  void log(std::string_view line);
  void reachAim(std::string_view line);

  std::mutex& replyLock_;
  Callbacks callbacks_;
  bool reachedAim_ = false;
  // The listed files' names on drive "C:", in Windows-1251.
  std::vector<std::string> modemNames_;
};

}  // namespace orsa::service
