#include "link/UdevPortWatcher.h"

#include "link/SystemReason.h"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace orsa::link {

namespace {

std::string baseName(const std::string& portName) { return std::filesystem::path(portName).filename().string(); }

bool isCandidate(const SerialPortMap& map, const SerialPortMap::Entry& entry) {
  return entry.deviceName.find(map.candidateMarker()) != std::string::npos;
}

}  // namespace

std::unique_ptr<UdevPortWatcher> UdevPortWatcher::create(std::unique_ptr<SerialPortMap> map, std::string& error) {
  udev* context = udev_new();
  if (!context) {
    error = "не удалось подключиться к udev";
    return nullptr;
  }
  // Events come from udev once its rules have given the port its group; where no udev daemon runs
  // (a container), the kernel's own events are all there is.
  const char* source = ::access("/run/udev/control", F_OK) == 0 ? "udev" : "kernel";
  udev_monitor* monitor = udev_monitor_new_from_netlink(context, source);
  if (!monitor || udev_monitor_filter_add_match_subsystem_devtype(monitor, "tty", nullptr) < 0 ||
      udev_monitor_enable_receiving(monitor) < 0) {
    error = std::string("не удалось следить за устройствами через udev: ") + systemReason(errno);
    if (monitor) udev_monitor_unref(monitor);
    udev_unref(context);
    return nullptr;
  }
  const int wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd < 0) {
    error = std::string("не удалось создать событие пробуждения: ") + systemReason(errno);
    udev_monitor_unref(monitor);
    udev_unref(context);
    return nullptr;
  }
  return std::unique_ptr<UdevPortWatcher>(new UdevPortWatcher(std::move(map), context, monitor, wakeFd));
}

// The monitor listens before the map is read, so a beacon plugged in between is not missed (at worst
// it is told of twice, and the second time is dropped).
UdevPortWatcher::UdevPortWatcher(std::unique_ptr<SerialPortMap> map, udev* context, udev_monitor* monitor, int wakeFd)
    : map_(std::move(map)), udev_(context), monitor_(monitor), wakeFd_(wakeFd) {
  for (const auto& entry : map_->entries()) {
    if (!isCandidate(*map_, entry)) continue;
    present_.push_back({PortEvent::Kind::Appeared, entry});
    told_.insert(baseName(entry.portName));
  }
}

UdevPortWatcher::~UdevPortWatcher() {
  ::close(wakeFd_);
  udev_monitor_unref(monitor_);
  udev_unref(udev_);
}

std::optional<PortEvent> UdevPortWatcher::eventFor(const std::string& action, const std::string& sysName) {
  if (action == "remove") {
    if (told_.erase(sysName) == 0) return std::nullopt;
    PortEvent gone{PortEvent::Kind::Disappeared, {}};
    gone.port.portName = "/dev/" + sysName;
    return gone;
  }
  if (action != "add" || told_.contains(sysName)) return std::nullopt;
  for (const auto& entry : map_->entries()) {
    if (baseName(entry.portName) != sysName || !isCandidate(*map_, entry)) continue;
    told_.insert(sysName);
    return PortEvent{PortEvent::Kind::Appeared, entry};
  }
  return std::nullopt;
}

std::optional<PortEvent> UdevPortWatcher::next(std::chrono::milliseconds limit) {
  if (stopped_.load()) return std::nullopt;
  if (!present_.empty()) {
    PortEvent first = std::move(present_.front());
    present_.pop_front();
    return first;
  }
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return std::nullopt;
    pollfd fds[2] = {{udev_monitor_get_fd(monitor_), POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    const int ready = ::poll(fds, 2, static_cast<int>(left.count()));
    if (stopped_.load()) return std::nullopt;
    if (ready < 0 && errno != EINTR) return std::nullopt;
    if (ready > 0 && (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL))) {
      stopped_.store(true);  // udev's socket is gone: no event will come any more
      return std::nullopt;
    }
    if (ready <= 0 || !(fds[0].revents & POLLIN)) continue;
    udev_device* device = udev_monitor_receive_device(monitor_);
    if (!device) continue;
    const char* action = udev_device_get_action(device);
    const char* sysName = udev_device_get_sysname(device);
    std::optional<PortEvent> event = action && sysName ? eventFor(action, sysName) : std::nullopt;
    udev_device_unref(device);
    if (event) return event;
  }
}

void UdevPortWatcher::stop() {
  stopped_.store(true);
  const std::uint64_t one = 1;
  [[maybe_unused]] const auto written = ::write(wakeFd_, &one, sizeof one);
}

std::unique_ptr<PortWatcher> makeSystemPortWatcher(std::unique_ptr<SerialPortMap> map, std::string& error) {
  return UdevPortWatcher::create(std::move(map), error);
}

}  // namespace orsa::link
