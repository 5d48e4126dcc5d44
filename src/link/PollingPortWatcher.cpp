#include "link/PollingPortWatcher.h"

#include <algorithm>

namespace orsa::link {

PollingPortWatcher::PollingPortWatcher(std::unique_ptr<SerialPortMap> map, std::chrono::milliseconds period)
    : map_(std::move(map)), period_(period), nextLook_(std::chrono::steady_clock::now()) {}

void PollingPortWatcher::look() {
  std::set<std::string> now;
  for (const auto& entry : map_->entries()) {
    if (entry.deviceName.find(map_->candidateMarker()) == std::string::npos) continue;
    now.insert(entry.portName);
    if (!present_.contains(entry.portName)) changes_.push_back({PortEvent::Kind::Appeared, entry});
  }
  for (const auto& port : present_) {
    if (now.contains(port)) continue;
    PortEvent gone{PortEvent::Kind::Disappeared, {}};
    gone.port.portName = port;
    changes_.push_back(std::move(gone));
  }
  present_ = std::move(now);
}

std::optional<PortEvent> PollingPortWatcher::next(std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  std::unique_lock guard(lock_);
  for (;;) {
    if (stopped_) return std::nullopt;
    if (!changes_.empty()) {
      PortEvent change = std::move(changes_.front());
      changes_.pop_front();
      return change;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now >= nextLook_) {
      guard.unlock();  // the map may take a while; stop() must not wait for it
      look();
      guard.lock();
      nextLook_ = now + period_;
      continue;
    }
    if (now >= deadline) return std::nullopt;
    wake_.wait_until(guard, std::min(deadline, nextLook_));
  }
}

void PollingPortWatcher::stop() {
  {
    const std::lock_guard guard(lock_);
    stopped_ = true;
  }
  wake_.notify_all();
}

bool PollingPortWatcher::stopped() const {
  const std::lock_guard guard(lock_);
  return stopped_;
}

}  // namespace orsa::link
