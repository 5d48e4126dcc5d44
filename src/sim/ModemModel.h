#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace orsa::sim {

// The beacon's GSM modem as seen through ModemData frames: bytes in, the modem's answer out.
class ModemModel {
public:
    virtual ~ModemModel() = default;
    // Called with the data of each ModemData frame; returns what the modem answers (possibly nothing).
    virtual std::vector<std::uint8_t> onData(std::span<const std::uint8_t> data) = 0;
};

// A modem that knows only "AT" and "ATE0": each answered with "\r\nOK\r\n", anything else with
// "\r\nERROR\r\n".
class BasicModemModel final : public ModemModel {
public:
    std::vector<std::uint8_t> onData(std::span<const std::uint8_t> data) override;
};

}  // namespace orsa::sim
