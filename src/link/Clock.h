#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <stop_token>

namespace orsa::link {

// Where the link's pauses and reply time-outs take their time from. The program runs on
// steadyClock(); a test hands the channel a clock of its own, so a ten-second time-out can pass
// without the test waiting it out, and the order of events stays what the program made it.
class Clock {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;
  using Duration = std::chrono::steady_clock::duration;

  virtual ~Clock() = default;

  virtual TimePoint now() const = 0;
  // Blocks on `wake`, with `lock` held around every test of `ready`, until `ready()` holds, the time
  // is past `deadline` or `stop` is requested. `ready` is tested before the time, so a condition met
  // at the deadline still counts. Returns ready().
  virtual bool waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable_any& wake, TimePoint deadline,
                         const std::stop_token& stop, const std::function<bool()>& ready) = 0;
  // Sleeps until `deadline` unless `stop` is requested first; true when the whole sleep was taken.
  virtual bool sleepUntil(TimePoint deadline, const std::stop_token& stop) = 0;
};

// The real, monotonic time: what the program always runs on.
Clock& steadyClock();

}  // namespace orsa::link
