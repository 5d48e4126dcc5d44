#pragma once

#include <memory>
#include <string>
#include <vector>

#include "link/UsbIdentity.h"

namespace orsa::link {

// The operating system's list of serial devices: for each one the driver's device name and the
// port name to open. The beacon's USB serial port is recognised by a marker in the device name.
class SerialPortMap {
 public:
  struct Entry {
    std::string deviceName;
    std::string portName;
    UsbIdentity usb{};  // where the system tells it
  };

  virtual ~SerialPortMap() = default;
  // In the order the system lists them; empty when the map cannot be read.
  virtual std::vector<Entry> entries() const = 0;
  // Case-sensitive substring of a device name that makes a port a candidate for the beacon.
  virtual std::string candidateMarker() const = 0;
  // The names the manual port list tries to open: the map's ports, unless the platform's own
  // convention says otherwise (COM1 to COM254 on Windows).
  virtual std::vector<std::string> portNamesToList() const {
    std::vector<std::string> names;
    for (const auto& entry : entries()) names.push_back(entry.portName);
    return names;
  }
};

// The map of the system the program runs on (the backend file CMake picks defines it).
std::unique_ptr<SerialPortMap> makeSystemSerialPortMap();

}  // namespace orsa::link
