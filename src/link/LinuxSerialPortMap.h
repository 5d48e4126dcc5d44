#pragma once

#include <string>

#include "link/SerialPortMap.h"

namespace orsa::link {

// /sys/class/tty: each tty backed by a device, named after its kernel driver, with what its USB device
// says of itself (vendor, product, serial number) where it is one. The beacon is a USB
// CDC-ACM device, so the marker is the cdc_acm driver (the counterpart of Windows' "USBSER").
class LinuxSerialPortMap final : public SerialPortMap {
 public:
  // Another root than the system's lets a test lay out a tree of its own.
  explicit LinuxSerialPortMap(std::string sysClassTty = "/sys/class/tty", std::string devDir = "/dev");

  std::vector<Entry> entries() const override;
  std::string candidateMarker() const override { return "cdc_acm"; }

 private:
  std::string sysClassTty_;
  std::string devDir_;
};

}  // namespace orsa::link
