#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orsa::sim::test {

// The wire format, encoded here independently of the program's own encoder.
std::vector<std::uint8_t> frameBytes(std::uint8_t type, std::uint32_t parameter,
                                     std::span<const std::uint8_t> data = {});
std::vector<std::uint8_t> bytesOf(std::string_view text);
std::string textOf(std::span<const std::uint8_t> bytes);  // up to the first zero byte

// A client on the pty slave, as a serial program would open it: raw, 9600 baud, non-blocking.
class PtyClient {
 public:
  explicit PtyClient(const std::string& path);
  ~PtyClient();
  PtyClient(const PtyClient&) = delete;
  PtyClient& operator=(const PtyClient&) = delete;

  bool send(std::span<const std::uint8_t> bytes);  // false when the line is gone
  bool sendFrame(std::uint8_t type, std::uint32_t parameter, std::span<const std::uint8_t> data = {}) {
    return send(frameBytes(type, parameter, data));
  }
  // Reads until `count` bytes arrived or the time-out passed; returns what arrived.
  std::vector<std::uint8_t> read(std::size_t count, std::chrono::milliseconds timeout);
  // Everything that arrives within the duration.
  std::vector<std::uint8_t> readFor(std::chrono::milliseconds duration) { return read(SIZE_MAX, duration); }
  // True when the line reports hang-up (POLLHUP) within the time-out.
  bool waitForHangUp(std::chrono::milliseconds timeout);

 private:
  int fd_ = -1;
};

}  // namespace orsa::sim::test
