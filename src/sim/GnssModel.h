#pragma once

#include "sim/GnssFaults.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace orsa::sim {

// The beacon's GNSS module as seen through GnssData frames and the module's own line: bytes in and
// the module's answer out, plus output of its own (the NMEA epochs) at times the module chooses.
// The beacon passes bytes on only while the module is powered, and paces the module's own output at
// the GNSS line rate; answers to bytes go back at once.
class GnssModel {
 public:
  using Clock = std::chrono::steady_clock;

  virtual ~GnssModel() = default;
  // Called with the data of each GnssData frame; returns what the module answers (possibly nothing).
  virtual std::vector<std::uint8_t> onData(std::span<const std::uint8_t> data) = 0;
  // The same for data that reached the module at `now`, which is what the beacon calls. A module
  // whose answers do not depend on when bytes come needs only onData.
  virtual std::vector<std::uint8_t> onDataAt(std::span<const std::uint8_t> data, Clock::time_point /*now*/) {
    return onData(data);
  }
  virtual void onPowerOn(Clock::time_point /*now*/) {}
  virtual void onPowerOff() {}
  // The beacon's side of the module's line now runs at `baud`.
  virtual void onLineRate(std::uint32_t /*baud*/) {}
  // When the module next has output of its own; empty: none planned.
  virtual std::optional<Clock::time_point> nextBurstAt() const { return std::nullopt; }
  // The output due at `now` (one burst; empty when nothing is due).
  virtual std::vector<std::uint8_t> takeBurst(Clock::time_point /*now*/) { return {}; }
  // True while the module has stopped its own output (say, for its boot ROM): the beacon then drops
  // what of it was still on the line, since a module that stops stops at once.
  virtual bool outputStopped() const { return false; }
  // The module's part of the fault plan; a model that cannot misbehave ignores it.
  virtual void applyFaults(const GnssFaults& /*faults*/) {}
};

// A module that takes everything and answers nothing.
class SilentGnssModel final : public GnssModel {
 public:
  std::vector<std::uint8_t> onData(std::span<const std::uint8_t> data) override;
};

}  // namespace orsa::sim
