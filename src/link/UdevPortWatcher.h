#pragma once

#include <atomic>
#include <deque>
#include <memory>
#include <set>
#include <string>

#include "link/PortWatcher.h"

struct udev;
struct udev_monitor;

namespace orsa::link {

// Linux: the tty devices udev announces, told apart by the map (which reads the driver from sysfs).
// Waits in poll() on udev's socket and an eventfd that stop() writes to; nothing is polled on a timer.
class UdevPortWatcher final : public PortWatcher {
 public:
  static std::unique_ptr<UdevPortWatcher> create(std::unique_ptr<SerialPortMap> map, std::string& error);
  ~UdevPortWatcher() override;
  UdevPortWatcher(const UdevPortWatcher&) = delete;
  UdevPortWatcher& operator=(const UdevPortWatcher&) = delete;

  std::optional<PortEvent> next(std::chrono::milliseconds limit) override;
  void stop() override;
  bool stopped() const override { return stopped_.load(); }

 private:
  UdevPortWatcher(std::unique_ptr<SerialPortMap> map, udev* context, udev_monitor* monitor, int wakeFd);
  // What one announcement means for the line, if anything.
  std::optional<PortEvent> eventFor(const std::string& action, const std::string& sysName);

  std::unique_ptr<SerialPortMap> map_;
  udev* udev_;
  udev_monitor* monitor_;
  int wakeFd_;
  std::atomic<bool> stopped_{false};
  std::deque<PortEvent> present_;  // the candidates there at the start, not yet handed out
  std::set<std::string> told_;     // ports told of as appeared and not yet as gone
};

}  // namespace orsa::link
