#include "link/Clock.h"

namespace orsa::link {

namespace {

class SteadyClock final : public Clock {
 public:
  TimePoint now() const override { return std::chrono::steady_clock::now(); }

  bool waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable_any& wake, TimePoint deadline,
                 const std::stop_token& stop, const std::function<bool()>& ready) override {
    while (!ready()) {
      // "Past the deadline": a wake-up exactly at it is not yet a time-out.
      if (stop.stop_requested() || now() > deadline) return false;
      wake.wait_until(lock, stop, deadline + std::chrono::microseconds(1), ready);
    }
    return true;
  }

  bool sleepUntil(TimePoint deadline, const std::stop_token& stop) override {
    std::mutex mutex;
    std::condition_variable_any wake;
    std::unique_lock lock(mutex);
    wake.wait_until(lock, stop, deadline, [] { return false; });
    return !stop.stop_requested();
  }
};

}  // namespace

Clock& steadyClock() {
  static SteadyClock clock;
  return clock;
}

}  // namespace orsa::link
