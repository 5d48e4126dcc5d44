#pragma once

#include <string>

#include "link/SerialPortMap.h"

namespace orsa::link {

// /sys/class/tty: each tty backed by a device, named after its kernel driver. The beacon is a USB
// CDC-ACM device, so the marker is the cdc_acm driver (the counterpart of Windows' "USBSER").
class LinuxSerialPortMap final : public SerialPortMap {
 public:
  explicit LinuxSerialPortMap(std::string sysClassTty = "/sys/class/tty", std::string devDir = "/dev");

  std::vector<Entry> entries() const override;
  std::string candidateMarker() const override { return "cdc_acm"; }

 private:
  std::string sysClassTty_;
  std::string devDir_;
};

}  // namespace orsa::link
