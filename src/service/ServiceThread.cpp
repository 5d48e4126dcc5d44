#include "service/ServiceThread.h"

#include <optional>
#include <string>

#include "service/ModemText.h"
#include "service/ServiceMessages.h"

namespace orsa::service {

using link::CommandType;

ServiceThread::ServiceThread(link::DeviceLink link, std::mutex& replyLock, Callbacks callbacks)
    : Worker(link, "сервисная операция"), replyLock_(replyLock), callbacks_(std::move(callbacks)) {}

void ServiceThread::run() {
  if (!connectDevice()) {
    resultCode = link::kResultFailure;
    messageText = link::kNotConnectedMessage;
    if (callbacks_.showResult) synchronize([this] { callbacks_.showResult(*this); });
  } else {
    runMode();
  }
  // A frame sent just before this still reaches the beacon: close lets a pending write finish.
  closeChannel();
}

void ServiceThread::runMode() {
  switch (mode) {
    case kModemOn:
      return startModem();
    case kModemOff:
      return powerFrame(CommandType::ModemOff, messages::kModemStopped, messages::kModemNotStopped);
    case kGnssOn:
      return powerFrame(CommandType::GnssOn, messages::kGnssStarted, messages::kGnssNotStarted);
    case kGnssOff:
      return powerFrame(CommandType::GnssOff, messages::kGnssStopped, messages::kGnssNotStopped);
    case kUploadFiles:
      return uploadFiles();
    case kCreateTestSimEntry:
      return writeTestSimEntry("AT+CPBW=1,\"00000\",145,\"ORSA TEST\"\r\n", messages::kTestSimCreated,
                               messages::kTestSimCreateError);
    case kClearTestSimEntry:
      return writeTestSimEntry("AT+CPBW=1,\"00000\",145,\"\"\r\n", messages::kTestSimCleared,
                               messages::kTestSimClearError);
    case kSendImeiSms:
      return sendImeiSms();
    case kCall:
      return call();
    case kHangUp:
      return hangUp();
    default:
      return;
  }
}

void ServiceThread::log(std::string_view line) {
  messageText = line;
  if (callbacks_.appendLog) synchronize([this] { callbacks_.appendLog(messageText); });
}

void ServiceThread::reachAim(std::string_view line) {
  reachedAim_ = true;
  log(line);
}

bool ServiceThread::send(CommandType type, std::string_view data) {
  // A frame the channel could not take is lost like one sent to a closed port: the wait that
  // follows tells. Only a stop ends the operation here.
  sendCommand(type, 0, static_cast<std::uint32_t>(data.size()), data.data());
  return !stopRequested();
}

void ServiceThread::startModem() {
  log(messages::kModemStarting);
  if (!send(CommandType::ModemOn)) return;
  if (!waitForBytes(1, kPowerTimeoutMs)) {
    if (!stopRequested()) log(messages::kModemNotStarted);
    return;
  }
  for (int attempt = 0; attempt < kModemStartTries; ++attempt) {
    if (!sendAt("AT\r\n")) return;
    waitForBytes(6, kModemReplyTimeoutMs);
    if (answerHolds(answer(), "OK")) {
      reachAim(messages::kModemStarted);
      break;
    }
  }
  if (!sendAt("ATE0\r\n")) return;
  waitForBytes(6, kModemReplyTimeoutMs);
  if (answerHolds(answer(), "OK")) log(messages::kModemConfigured);
}

void ServiceThread::powerFrame(CommandType type, std::string_view started, std::string_view failed) {
  if (!send(type)) return;
  if (waitForBytes(1, kPowerTimeoutMs)) {
    reachAim(started);
  } else if (!stopRequested()) {
    log(failed);
  }
}

void ServiceThread::writeTestSimEntry(std::string_view command, std::string_view created, std::string_view failed) {
  if (!sendAt(command)) return;
  waitForBytes(6, kModemReplyTimeoutMs);
  const std::string text = answer();
  if (answerHolds(text, "OK")) reachAim(created);
  if (answerHolds(text, "ERR")) {
    reachedAim_ = false;
    log(failed);
  }
}

bool ServiceThread::phoneCommandFits(std::size_t fixedBytes) {
  if (fixedBytes + phoneNumber.size() <= kMaxCommandBytes) return true;
  log(messages::kPhoneTooLong);
  return false;
}

void ServiceThread::sendImeiSms() {
  const std::string sendCommandText = "AT+CMGS=\"" + phoneNumber + "\"\r\n";
  if (!phoneCommandFits(sendCommandText.size() - phoneNumber.size())) return;

  if (!sendAt("AT+GSN\r\n")) return;
  waitForBytes(15, kSmsStepTimeoutMs);
  // One snapshot, taken before replyLock, so the receive lock never nests inside it.
  const auto buffer = channel().receiveBufferCopy();
  std::optional<std::string> imei;
  {
    std::lock_guard lock(replyLock_);
    imei = imeiFromAnswer(buffer);
  }
  if (!imei) {
    // Fifteen zero bytes would go out as an empty message that looks sent.
    if (!stopRequested()) log(messages::kNoImei);
    return;
  }

  if (!sendAt("AT+CMGF=1\r\n")) return;
  waitForBytes(6, kSmsStepTimeoutMs);
  if (!sendAt("AT+CSCS=\"GSM\"\r\n")) return;
  waitForBytes(6, kSmsStepTimeoutMs);
  if (!sendAt(sendCommandText)) return;
  waitForBytes(3, kSmsStepTimeoutMs);
  if (!pause(kSmsPromptPause)) return;

  std::string message = std::move(*imei);
  message.push_back(static_cast<char>(kCtrlZ));
  if (!sendAt(message)) return;
  reachAim(messages::kSmsSent);
}

void ServiceThread::call() {
  const std::string command = "ATD" + phoneNumber + ";\r\n";
  if (!phoneCommandFits(command.size() - phoneNumber.size())) return;
  if (!sendAt(command)) return;
  reachAim(messages::kCalling);
}

void ServiceThread::hangUp() {
  if (!sendAt("ATH0\r\n")) return;
  reachAim(messages::kCallEnded);
}

}  // namespace orsa::service
