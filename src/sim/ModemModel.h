#pragma once

#include "sim/ModemFaults.h"

#include <cstdint>
#include <span>
#include <vector>

namespace orsa::sim {

// The beacon's GSM modem as seen through ModemData frames: bytes in, the modem's answer out. The
// beacon passes bytes on only while the modem is powered.
class ModemModel {
 public:
  virtual ~ModemModel() = default;
  // Called with the data of each ModemData frame; returns what the modem answers (possibly nothing).
  virtual std::vector<std::uint8_t> onData(std::span<const std::uint8_t> data) = 0;
  // Power has come on: a real modem starts again from its power-on settings.
  virtual void onPowerOn() {}
  // The modem's part of the fault plan; a model that cannot misbehave ignores it.
  virtual void applyFaults(const ModemFaults& /*faults*/) {}
};

// A modem that knows only "AT" and "ATE0": each answered with "\r\nOK\r\n", anything else with
// "\r\nERROR\r\n". It never echoes and keeps no state.
class BasicModemModel final : public ModemModel {
 public:
  std::vector<std::uint8_t> onData(std::span<const std::uint8_t> data) override;
};

}  // namespace orsa::sim
