#include "sim/FaultPlan.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

namespace orsa::sim {

namespace {

void merge(FaultPlan::ReplyFault& into, const FaultPlan::ReplyFault& from) {
  into.drop = into.drop || from.drop;
  into.delay += from.delay;
  if (from.shortBytes) {
    into.shortBytes = from.shortBytes;
  }
  into.garbage = into.garbage || from.garbage;
  if (from.floodBytes) {
    into.floodBytes = from.floodBytes;
  }
  into.forget = into.forget || from.forget;
}

}  // namespace

FaultPlan& FaultPlan::dropReply(std::uint8_t type, unsigned nth) {
  rule(type, nth).drop = true;
  return *this;
}

FaultPlan& FaultPlan::delayReply(std::uint8_t type, unsigned nth, std::chrono::milliseconds delay) {
  rule(type, nth).delay = delay;
  return *this;
}

FaultPlan& FaultPlan::shortReply(std::uint8_t type, unsigned nth, std::size_t bytes) {
  rule(type, nth).shortBytes = bytes;
  return *this;
}

FaultPlan& FaultPlan::garbageReply(std::uint8_t type, unsigned nth) {
  rule(type, nth).garbage = true;
  return *this;
}

FaultPlan& FaultPlan::flood(std::uint8_t type, unsigned nth, std::size_t bytes) {
  rule(type, nth).floodBytes = bytes;
  return *this;
}

FaultPlan& FaultPlan::forgetSettingWrite(unsigned nth) {
  rule(2, nth).forget = true;  // WriteSettingSlot
  return *this;
}

FaultPlan& FaultPlan::hangUpAfter(std::size_t frames) {
  hangUpAfter_ = frames == 0 ? std::nullopt : std::optional<std::size_t>(frames);
  return *this;
}

FaultPlan& FaultPlan::throttle(unsigned baud) {
  baud_ = baud;
  return *this;
}

FaultPlan& FaultPlan::modemStaysOff() {
  modem_.staysOff = true;
  return *this;
}

FaultPlan& FaultPlan::modemGivesNoPrompt() {
  modem_.noPrompt = true;
  return *this;
}

FaultPlan& FaultPlan::modemGivesNoWriteConfirmation() {
  modem_.noWriteConfirmation = true;
  return *this;
}

FaultPlan& FaultPlan::modemDriveSize(std::size_t bytes) {
  modem_.driveSize = bytes;
  return *this;
}

FaultPlan& FaultPlan::modemWithoutSim() {
  modem_.simAbsent = true;
  return *this;
}

FaultPlan& FaultPlan::modemWithoutNetwork() {
  modem_.noNetwork = true;
  return *this;
}

FaultPlan& FaultPlan::modemRefusesSms() {
  modem_.refusesSms = true;
  return *this;
}

FaultPlan& FaultPlan::modemFindsCallBusy() {
  modem_.callBusy = true;
  return *this;
}

FaultPlan& FaultPlan::modemLacks(std::string_view command) {
  if (!isModemCommandName(command)) {
    throw std::invalid_argument("not a modem command name: \"" + std::string(command) + "\"");
  }
  std::string name(command);
  std::transform(name.begin(), name.end(), name.begin(),
                 [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
  modem_.lacks.insert(std::move(name));
  return *this;
}

FaultPlan& FaultPlan::gnssSilentFrom(GnssStage stage) {
  gnss_.silentFrom = stage;
  return *this;
}

FaultPlan& FaultPlan::gnssAnswersSyncFrom(unsigned nth) {
  gnss_.syncAnsweredFrom = nth;
  return *this;
}

FaultPlan& FaultPlan::gnssRejectsPacket(unsigned nth, bool always) {
  gnss_.rejectedPacket = nth;
  gnss_.rejectsAlways = always;
  return *this;
}

FaultPlan& FaultPlan::gnssLeavesPacketUnacknowledged(unsigned nth) {
  gnss_.unacknowledgedPacket = nth;
  return *this;
}

FaultPlan::ReplyFault FaultPlan::faultFor(std::uint8_t type, unsigned nth) const {
  ReplyFault fault;
  if (const auto it = rules_.find({type, everyFrame}); it != rules_.end()) {
    merge(fault, it->second);
  }
  if (nth != everyFrame) {
    if (const auto it = rules_.find({type, nth}); it != rules_.end()) {
      merge(fault, it->second);
    }
  }
  return fault;
}

std::vector<std::uint8_t> applyReplyFault(std::vector<std::uint8_t> reply, const FaultPlan::ReplyFault& fault,
                                          std::uint32_t& noise) {
  if (noise == 0) {
    noise = 0x2545F491U;
  }
  const auto nextNoise = [&noise] {
    noise ^= noise << 13U;  // xorshift32
    noise ^= noise >> 17U;
    noise ^= noise << 5U;
    return static_cast<std::uint8_t>(0x80U | (noise & 0x7FU));
  };
  if (fault.garbage) {
    for (auto& byte : reply) {
      std::uint8_t g = nextNoise();
      byte = g == byte ? static_cast<std::uint8_t>(g ^ 0x01U) : g;
    }
  }
  if (fault.shortBytes && *fault.shortBytes < reply.size()) {
    reply.resize(*fault.shortBytes);
  }
  if (fault.floodBytes) {
    reply.resize(*fault.floodBytes);
    for (auto& byte : reply) {
      byte = nextNoise();
    }
  }
  if (fault.drop) {
    reply.clear();
  }
  return reply;
}

std::chrono::nanoseconds FaultPlan::byteTime() const {
  if (baud_ == 0) {
    return std::chrono::nanoseconds{0};
  }
  return std::chrono::nanoseconds{10'000'000'000LL / static_cast<long long>(baud_)};
}

}  // namespace orsa::sim
