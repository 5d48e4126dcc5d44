#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <vector>

namespace orsa::sim {

// One direction of a serial line: bytes queued now come out at the line rate (10 bits per byte),
// each once its last bit has gone. They are handed out in slices of about sliceTime, so whoever
// drains the line wakes a hundred times a second rather than once per byte.
class PacedLine {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr auto sliceTime = std::chrono::milliseconds(10);
  // A line nobody drains keeps no more than this; bytes beyond are lost, as in a full UART buffer.
  static constexpr std::size_t capacity = 64 * 1024;

  explicit PacedLine(std::uint32_t baud) { setRate(baud); }

  void setRate(std::uint32_t baud);  // applies to the bytes not yet handed out; 0 is taken as 1
  // Queues bytes whose transmission starts at `at` or once the line is free, whichever is later.
  // Returns how many were queued.
  std::size_t push(std::span<const std::uint8_t> bytes, Clock::time_point at);
  bool busy() const { return !queue_.empty(); }
  // When the next slice is complete; empty when nothing is queued.
  std::optional<Clock::time_point> nextReleaseAt() const;
  // The bytes completely sent by `now`.
  std::vector<std::uint8_t> take(Clock::time_point now);
  void clear() { queue_.clear(); }

 private:
  std::deque<std::uint8_t> queue_;
  Clock::time_point headStart_{};  // when the first queued byte started on the line
  std::chrono::nanoseconds byteTime_{};
  std::size_t sliceBytes_ = 1;
};

}  // namespace orsa::sim
