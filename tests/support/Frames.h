#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/SimulatedBeacon.h"

namespace orsa::testing {

using Bytes = std::vector<std::uint8_t>;
using Trace = std::vector<sim::FrameRecord>;

// How many frames of one type the beacon received.
inline std::size_t framesOfType(const Trace& trace, std::uint8_t type) {
  return static_cast<std::size_t>(
      std::count_if(trace.begin(), trace.end(), [type](const sim::FrameRecord& f) { return f.type == type; }));
}

// The data of every frame of one type, in order.
inline std::vector<Bytes> dataOfType(const Trace& trace, std::uint8_t type) {
  std::vector<Bytes> data;
  for (const sim::FrameRecord& f : trace) {
    if (f.type == type) data.push_back(f.data);
  }
  return data;
}

// The same, as text (the modem's AT commands).
inline std::vector<std::string> textOfType(const Trace& trace, std::uint8_t type) {
  std::vector<std::string> texts;
  for (const sim::FrameRecord& f : trace) {
    if (f.type == type) texts.emplace_back(f.data.begin(), f.data.end());
  }
  return texts;
}

}  // namespace orsa::testing
