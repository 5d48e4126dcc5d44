#pragma once

#include "sim/GnssFaults.h"
#include "sim/ModemFaults.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

namespace orsa::sim {

// What the simulated beacon does wrong, and when. A plain value: build it, then hand it to
// SimulatedBeacon. Frames are counted per type from 1 (the first frame of that type after the plan
// was applied); nth = everyFrame applies a rule to every frame of the type.
class FaultPlan {
 public:
  static constexpr unsigned everyFrame = 0;

  // Faults for one frame. Applied to the beacon's reply in this order: garbage, short, flood
  // (replaces the reply), drop (nothing is sent); the delay holds back whatever is left.
  struct ReplyFault {
    bool drop = false;
    std::chrono::milliseconds delay{0};
    std::optional<std::size_t> shortBytes;  // send only the first K bytes
    bool garbage = false;                   // same length, garbage bytes
    std::optional<std::size_t> floodBytes;  // F unsolicited bytes instead of the reply
    bool forget = false;                    // acknowledged as usual, but the frame changes nothing
  };

  FaultPlan& dropReply(std::uint8_t type, unsigned nth);
  FaultPlan& delayReply(std::uint8_t type, unsigned nth, std::chrono::milliseconds delay);
  FaultPlan& delayReply(std::uint8_t type, unsigned nth, unsigned milliseconds) {
    return delayReply(type, nth, std::chrono::milliseconds(milliseconds));
  }
  FaultPlan& shortReply(std::uint8_t type, unsigned nth, std::size_t bytes);
  FaultPlan& garbageReply(std::uint8_t type, unsigned nth);
  FaultPlan& flood(std::uint8_t type, unsigned nth, std::size_t bytes);
  // The Nth settings write is acknowledged like any other but its cell keeps what it held: a beacon
  // whose memory did not take the slot, which only reading it back reveals.
  FaultPlan& forgetSettingWrite(unsigned nth);
  // Closes the pseudo-terminal once the Nth frame (of any type) was received, without answering or
  // acting on it. 0 clears the rule.
  FaultPlan& hangUpAfter(std::size_t frames);
  // Both directions run at this line rate (10 bits per byte); 0 turns throttling off.
  FaultPlan& throttle(unsigned baud);
  // The modem behind the beacon misbehaves (see ModemFaults); these last as long as the plan does.
  FaultPlan& modemStaysOff();
  FaultPlan& modemGivesNoPrompt();
  FaultPlan& modemGivesNoWriteConfirmation();
  FaultPlan& modemDriveSize(std::size_t bytes);
  FaultPlan& modemWithoutSim();
  FaultPlan& modemWithoutNetwork();
  FaultPlan& modemRefusesSms();
  FaultPlan& modemFindsCallBusy();
  // Throws std::invalid_argument for a name isModemCommandName refuses.
  FaultPlan& modemLacks(std::string_view command);
  // The GNSS module lets a flash run down (see GnssFaults); these too last as long as the plan does.
  FaultPlan& gnssSilentFrom(GnssStage stage);
  FaultPlan& gnssAnswersSyncFrom(unsigned nth);  // the first nth-1 A0 go unanswered
  FaultPlan& gnssLeavesPacketUnacknowledged(unsigned nth);
  FaultPlan& gnssRejectsPacket(unsigned nth, bool always);

  // The faults for the nth frame of a type (everyFrame rules and nth rules merged).
  ReplyFault faultFor(std::uint8_t type, unsigned nth) const;
  std::optional<std::size_t> hangUpAfterFrames() const { return hangUpAfter_; }
  unsigned throttleBaud() const { return baud_; }
  // Time one byte takes on the line (10 bits), zero when not throttled.
  std::chrono::nanoseconds byteTime() const;
  const ModemFaults& modemFaults() const { return modem_; }
  const GnssFaults& gnssFaults() const { return gnss_; }
  bool empty() const {
    return rules_.empty() && !hangUpAfter_ && baud_ == 0 && modem_ == ModemFaults{} && gnss_ == GnssFaults{};
  }

 private:
  ReplyFault& rule(std::uint8_t type, unsigned nth) { return rules_[{type, nth}]; }

  std::map<std::pair<std::uint8_t, unsigned>, ReplyFault> rules_;
  std::optional<std::size_t> hangUpAfter_;
  unsigned baud_ = 0;
  ModemFaults modem_;
  GnssFaults gnss_;
};

// Shapes a reply by a fault: garbage keeps the length and changes every byte, short keeps the first
// K bytes, flood replaces the reply, drop empties it. Garbage and flood bytes all have the top bit set,
// so they never form ASCII text such as "OK". `noise` is the state of the garbage generator.
std::vector<std::uint8_t> applyReplyFault(std::vector<std::uint8_t> reply, const FaultPlan::ReplyFault& fault,
                                          std::uint32_t& noise);

}  // namespace orsa::sim
