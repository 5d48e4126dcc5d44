#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "sim/LineEndpoint.h"

namespace orsa::testing {

// The device's end of a line, for tests that play the beacon (or its GNSS module) by hand: the
// program under test opens portPath() like any serial port, the test reads and writes here. The
// line is the simulated beacon's own (a pseudo-terminal, a named pipe on Windows). One thread uses it.
class DeviceEnd {
 public:
  const std::string& portPath() const { return line_.portPath(); }

  // Writes every byte unless the line stays full for a second or is down.
  void write(std::span<const std::uint8_t> bytes) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (!bytes.empty() && std::chrono::steady_clock::now() < deadline) {
      const long written = line_.writeSome(bytes);
      if (written < 0) return;
      bytes = bytes.subspan(static_cast<std::size_t>(written));
      if (!bytes.empty()) line_.wait(true, deadline);
    }
  }
  void write(const std::string& text) {
    write(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  }

  // Reads until `count` bytes came or the time-out passed.
  std::vector<std::uint8_t> read(std::size_t count, std::chrono::milliseconds timeout) {
    std::vector<std::uint8_t> got;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::uint8_t chunk[4096];
    while (got.size() < count) {
      const long n = line_.readSome(std::span(chunk, std::min(sizeof chunk, count - got.size())));
      if (n < 0) break;
      got.insert(got.end(), chunk, chunk + n);
      if (n == 0) {
        if (std::chrono::steady_clock::now() >= deadline) break;
        line_.wait(false, deadline);
      }
    }
    return got;
  }

  // Hangs the line up, as an unplugged beacon does.
  void hangUp() { line_.hangUp(); }

 private:
  sim::LineEndpoint line_;
};

}  // namespace orsa::testing
