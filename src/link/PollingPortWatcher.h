#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "link/PortWatcher.h"

namespace orsa::link {

// The map looked at every `period` and compared with the last look: where the system sends no events
// the line can wait on (Windows, without a window to receive device notifications). The looks happen
// in next(), on the waiting thread; stop() wakes it.
class PollingPortWatcher final : public PortWatcher {
 public:
  explicit PollingPortWatcher(std::unique_ptr<SerialPortMap> map,
                              std::chrono::milliseconds period = std::chrono::milliseconds(500));

  std::optional<PortEvent> next(std::chrono::milliseconds limit) override;
  void stop() override;
  bool stopped() const override;

 private:
  void look();  // queues what changed since the last look

  std::unique_ptr<SerialPortMap> map_;
  std::chrono::milliseconds period_;
  mutable std::mutex lock_;
  std::condition_variable wake_;
  bool stopped_ = false;                            // under lock_
  std::chrono::steady_clock::time_point nextLook_;  // waiting thread only
  std::set<std::string> present_;                   // waiting thread only
  std::deque<PortEvent> changes_;                   // waiting thread only
};

}  // namespace orsa::link
