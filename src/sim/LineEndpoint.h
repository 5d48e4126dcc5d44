#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace orsa::sim {

// The simulated device's end of its line. Clients open portPath() like any serial port: on Linux it
// is a pseudo-terminal's slave, on Windows a named pipe (Windows has no pseudo-terminals; the
// program's serial backend takes a pipe's name as a port, as virtual machines offer their COM ports).
// A client may close the port and open it again while the endpoint lives; hangUp() is the device
// pulled out: clients see the line go down and the path is gone for good.
// The serving thread owns the endpoint; only wake() may be called from other threads.
class LineEndpoint {
 public:
  using Clock = std::chrono::steady_clock;

  LineEndpoint();  // throws std::system_error when the line cannot be set up
  ~LineEndpoint();
  LineEndpoint(const LineEndpoint&) = delete;
  LineEndpoint& operator=(const LineEndpoint&) = delete;

  const std::string& portPath() const { return portPath_; }
  bool isHungUp() const;

  // Non-blocking; both return the byte count, 0 when nothing can be moved now, -1 once the line is
  // down. Output written while no client has the port open is lost, as on a line nobody listens to.
  long readSome(std::span<std::uint8_t> buffer);
  long writeSome(std::span<const std::uint8_t> bytes);

  // Blocks until input may be waiting, the line may take more output (with `forOutput`), wake() is
  // called, or `deadline` passes (none: no limit). It may return early; the caller looks again.
  void wait(bool forOutput, std::optional<Clock::time_point> deadline);
  void wake() const;  // thread-safe; a wake-up before a wait ends that wait at once

  // The device pulled out: clients see hang-up, and until the endpoint goes no other line gets its path.
  void hangUp();

 private:
  struct Line;  // the platform's handles
  std::unique_ptr<Line> line_;
  std::string portPath_;
};

// Called once on the thread that serves a line. A throttled line is timed byte by byte; the system's
// slack on every timed wake-up would add up to a line slower than the rate it stands for.
void useFineTimers();

}  // namespace orsa::sim
