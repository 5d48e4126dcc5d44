#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>

#include "link/PortWatcher.h"

namespace orsa::testing {

// Beacons plugged in and pulled out as a test says, in that order. Once closed, the watcher ends
// when the events told so far have been taken, as the system's does when it is stopped.
class FakePortWatcher final : public link::PortWatcher {
 public:
  void plugIn(const std::string& port, const std::string& usbSerial = {}) {
    link::PortEvent event{link::PortEvent::Kind::Appeared, {"cdc_acm", port}};
    event.port.usb = {"0483", "5740", usbSerial, "ORSA", ""};
    push(std::move(event));
  }
  void pullOut(const std::string& port) { push({link::PortEvent::Kind::Disappeared, {"", port}}); }
  void close() {
    {
      std::lock_guard guard(lock_);
      closed_ = true;
    }
    changed_.notify_all();
  }

  std::optional<link::PortEvent> next(std::chrono::milliseconds limit) override {
    std::unique_lock guard(lock_);
    if (!changed_.wait_for(guard, limit, [this] { return stopped_ || closed_ || !events_.empty(); }) || stopped_ ||
        events_.empty()) {
      return std::nullopt;
    }
    link::PortEvent event = std::move(events_.front());
    events_.pop_front();
    return event;
  }
  void stop() override {
    {
      std::lock_guard guard(lock_);
      stopped_ = true;
    }
    changed_.notify_all();
  }
  bool stopped() const override {
    std::lock_guard guard(lock_);
    return stopped_ || (closed_ && events_.empty());
  }

 private:
  void push(link::PortEvent event) {
    {
      std::lock_guard guard(lock_);
      events_.push_back(std::move(event));
    }
    changed_.notify_all();
  }

  mutable std::mutex lock_;
  std::condition_variable changed_;
  std::deque<link::PortEvent> events_;
  bool closed_ = false;
  bool stopped_ = false;
};

}  // namespace orsa::testing
