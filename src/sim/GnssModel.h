#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace orsa::sim {

// The beacon's GNSS module as seen through GnssData frames: bytes in, the module's answer out.
class GnssModel {
 public:
  virtual ~GnssModel() = default;
  // Called with the data of each GnssData frame; returns what the module answers (possibly nothing).
  virtual std::vector<std::uint8_t> onData(std::span<const std::uint8_t> data) = 0;
};

// A module that takes everything and answers nothing.
class SilentGnssModel final : public GnssModel {
 public:
  std::vector<std::uint8_t> onData(std::span<const std::uint8_t> data) override;
};

}  // namespace orsa::sim
