#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "link/SerialPortMap.h"

namespace orsa::link {

// A beacon plugged in or pulled out.
struct PortEvent {
  enum class Kind { Appeared, Disappeared };
  Kind kind = Kind::Appeared;
  SerialPortMap::Entry port;  // for a port that went, only the port name is sure
};

// The beacons' ports as they come and go, for a production line that needs no keyboard. Only the
// map's candidates (the beacon's marker) are told of; those already there when the watcher starts
// come first, as if plugged in then. One thread waits on it; any thread may stop it.
class PortWatcher {
 public:
  virtual ~PortWatcher() = default;

  // The next event, waiting at most `limit`; nothing when none came in time or the watcher stopped.
  virtual std::optional<PortEvent> next(std::chrono::milliseconds limit) = 0;
  // Ends the wait under way and every later one.
  virtual void stop() = 0;
  // True once stopped: no event will come any more.
  virtual bool stopped() const = 0;
};

// The system's watcher over `map` (udev events on Linux, the map looked at twice a second on
// Windows). Null, with `error` saying why, when the system cannot tell of devices.
std::unique_ptr<PortWatcher> makeSystemPortWatcher(std::unique_ptr<SerialPortMap> map, std::string& error);

}  // namespace orsa::link
