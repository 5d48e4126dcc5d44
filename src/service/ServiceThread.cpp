#include "service/ServiceThread.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include "service/ModemText.h"
#include "service/ServiceMessages.h"
#include "settings/Cp1251.h"

namespace orsa::service {

using link::CommandType;
using Outcome = ModemReply::Outcome;
using namespace std::chrono_literals;

namespace {

// How long a modem that timed out gets to finish its late answer before the next command.
constexpr std::chrono::milliseconds kDrainQuiet{100};
constexpr std::chrono::milliseconds kDrainLongest{1000};

std::int32_t waitMs(link::Clock::Duration left) {
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(ms, 1, 60000));
}

}  // namespace

ServiceThread::ServiceThread(link::DeviceLink link, std::mutex& replyLock, Callbacks callbacks)
    : Worker(link, "сервисная операция"), replyLock_(replyLock), callbacks_(std::move(callbacks)) {}

void ServiceThread::run() {
  if (!connectDevice()) {
    resultCode = link::kResultFailure;
    messageText = link::kNotConnectedMessage;
    if (callbacks_.showResult) synchronize([this] { callbacks_.showResult(*this); });
  } else {
    runMode();
    if (stopRequested() && !stopReported_) log(messages::kStopped);
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
    case kModemInfo:
      return askModemInfo();
    case kListModemFiles:
      return listModemFiles();
    case kRemoveModemFile:
      return removeModemFile();
    default:
      return;
  }
}

void ServiceThread::log(std::string_view line) {
  messageText = line;
  stopReported_ = stopRequested();
  if (callbacks_.appendLog) report([this] { callbacks_.appendLog(messageText); });
}

void ServiceThread::reachAim(std::string_view line) {
  reachedAim_ = true;
  log(line);
}

void ServiceThread::logFailure(std::string_view failure, const ModemReply& reply) {
  if (reply.outcome == Outcome::Stopped) return;  // the run's end says "Остановлено"
  log(std::string(failure) + ": " + describeModemReply(reply));
}

bool ServiceThread::send(CommandType type, std::string_view data) {
  // A frame the channel could not take is lost like one sent to a closed port: the wait that
  // follows tells. Only a stop ends the operation here.
  sendCommand(type, 0, static_cast<std::uint32_t>(data.size()), data.data());
  return !stopRequested();
}

void ServiceThread::drainStaleAnswer() {
  if (!std::exchange(staleAnswerLikely_, false)) return;
  lineFellQuiet(kDrainQuiet, kDrainLongest);
}

ModemReply ServiceThread::exchange(std::string_view data, std::chrono::milliseconds timeout, bool promptDue) {
  drainStaleAnswer();
  if (!send(CommandType::ModemData, data)) {
    ModemReply stopped;
    stopped.outcome = Outcome::Stopped;
    return stopped;
  }
  return readReply(data, timeout, promptDue, false);
}

ModemReply ServiceThread::readReply(std::string_view data, std::chrono::milliseconds timeout, bool promptDue,
                                    bool closing) {
  const auto deadline = now() + timeout;
  for (;;) {
    const std::vector<std::uint8_t> bytes = channel().receivedBytes();
    ModemReply reply =
        parseModemReply(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), data, promptDue);
    if (reply.answered()) return reply;
    if (channel().lineLost()) {
      reply.outcome = Outcome::LineLost;
      return reply;
    }
    if (!closing && stopRequested()) {
      reply.outcome = Outcome::Stopped;
      staleAnswerLikely_ = true;
      return reply;
    }
    const auto left = deadline - now();
    if (left <= link::Clock::Duration::zero()) {
      reply.outcome = Outcome::TimedOut;
      staleAnswerLikely_ = true;
      return reply;
    }
    // Wakes at the next byte (or the time-out); the answer is read again from the start.
    const auto next = static_cast<std::uint32_t>(bytes.size() + 1);
    if (closing) {
      waitForClosingAnswer(next, waitMs(left));
    } else {
      waitForBytes(next, waitMs(left));
    }
  }
}

void ServiceThread::leavePrompt() {
  const char escape = static_cast<char>(kEscape);
  sendClosingFrame(CommandType::ModemData, 0, 1, &escape);
  staleAnswerLikely_ = true;
}

void ServiceThread::startModem() {
  log(messages::kModemStarting);
  if (!send(CommandType::ModemOn)) return;
  if (!waitForBytes(1, kPowerTimeoutMs)) {
    if (!stopRequested()) log(messages::kModemNotStarted);
    return;
  }
  ModemReply reply;
  for (int attempt = 0; attempt < kModemStartTries && !reply.ok(); ++attempt) {
    reply = exchange("AT\r\n", kStartTryTimeout);
    if (reply.outcome == Outcome::Stopped || reply.outcome == Outcome::LineLost) break;
  }
  if (!reply.ok()) {
    // A modem that never answered AT will not answer ATE0 either.
    logFailure(messages::kModemNotAnswering, reply);
    return;
  }
  reachAim(messages::kModemStarted);
  reply = exchange("ATE0\r\n", kCommandTimeout);
  if (reply.ok()) {
    log(messages::kModemConfigured);
  } else {
    logFailure(messages::kModemNotConfigured, reply);
  }
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
  const ModemReply reply = exchange(command, kCommandTimeout);
  if (reply.ok()) {
    reachAim(created);
  } else {
    logFailure(failed, reply);
  }
}

std::optional<std::string> ServiceThread::phoneNumberOrRefuse() {
  const auto typed = settings::Cp1251::toUtf8(phoneNumber);
  if (auto number = dialablePhoneNumber(phoneNumber)) return number;
  log(std::string(messages::kPhoneRefused) + typed + "»: " + kPhoneNumberRule + messages::kNothingSent);
  return std::nullopt;
}

bool ServiceThread::phoneCommandFits(std::size_t fixedBytes, const std::string& number) {
  if (fixedBytes + number.size() <= kMaxCommandBytes) return true;
  log(messages::kPhoneTooLong);
  return false;
}

std::optional<std::string> ServiceThread::askImei() {
  const ModemReply reply = exchange("AT+GSN\r\n", kCommandTimeout);
  std::optional<std::string> imei;
  {
    // The IMEI is taken out of the answer under the reply lock, as every reply copy is.
    std::lock_guard lock(replyLock_);
    if (reply.ok() && reply.lines.size() == 1 && isValidImei(reply.lines[0])) imei = reply.lines[0];
  }
  if (!imei) logFailure(messages::kImeiNotReported, reply);
  return imei;
}

void ServiceThread::sendImeiSms() {
  const auto number = phoneNumberOrRefuse();
  if (!number) return;
  const std::string sendCommandText = "AT+CMGS=\"" + *number + "\"\r\n";
  if (!phoneCommandFits(sendCommandText.size() - number->size(), *number)) return;

  const auto imei = askImei();
  if (!imei) return;
  for (const char* command : {"AT+CMGF=1\r\n", "AT+CSCS=\"GSM\"\r\n"}) {
    const ModemReply reply = exchange(command, kCommandTimeout);
    if (!reply.ok()) {
      return logFailure(
          std::string(messages::kSmsNotSent) + " (" + std::string(command, std::strlen(command) - 2) + ")", reply);
    }
  }
  const ModemReply prompt = exchange(sendCommandText, kCommandTimeout, true);
  if (prompt.outcome != Outcome::Prompt) {
    // A prompt that comes late must not take the next command for the message text.
    if (!prompt.answered() && prompt.outcome != Outcome::LineLost) leavePrompt();
    return logFailure(std::string(messages::kSmsNotSent) + " (AT+CMGS)", prompt);
  }
  if (!pause(kSmsPromptPause)) return leavePrompt();

  std::string message = *imei;
  message.push_back(static_cast<char>(kCtrlZ));
  const ModemReply sent = exchange(message, kSmsTimeout);
  const auto reference = sent.field("+CMGS: ");
  if (!sent.ok() || !reference) return logFailure(messages::kSmsNotSent, sent);
  reachAim(std::string(messages::kSmsSent) + messages::kSmsReference + *reference + ")");
}

void ServiceThread::call() {
  const auto number = phoneNumberOrRefuse();
  if (!number) return;
  const std::string command = "ATD" + *number + ";\r\n";
  if (!phoneCommandFits(command.size() - number->size(), *number)) return;
  const ModemReply reply = exchange(command, kCommandTimeout);
  if (reply.ok()) {
    reachAim(messages::kCalling);
  } else {
    logFailure(messages::kCallFailed, reply);
  }
}

void ServiceThread::hangUp() {
  const ModemReply reply = exchange("ATH0\r\n", kCommandTimeout);
  if (reply.ok()) {
    reachAim(messages::kCallEnded);
  } else {
    logFailure(messages::kHangUpFailed, reply);
  }
}

void ServiceThread::askModemInfo() {
  modemInfo.clear();
  for (const ModemInfoQuery& query : modemInfoQueries()) {
    const ModemReply reply = exchange(query.command, kCommandTimeout);
    if (reply.outcome == Outcome::Stopped || reply.outcome == Outcome::LineLost) return logFailure(query.label, reply);
    ModemInfoItem item = modemInfoItem(query, reply);
    // A modem that is off would keep every question waiting for its whole time-out.
    if (modemInfo.empty() && item.state == ModemInfoItem::State::NoAnswer) {
      return logFailure(messages::kModemNotAnswering, reply);
    }
    log(item.label + ": " + item.value);
    modemInfo.push_back(std::move(item));
  }
  reachedAim_ = true;
}

}  // namespace orsa::service
