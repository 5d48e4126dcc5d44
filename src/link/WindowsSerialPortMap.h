#pragma once

#include <string>

#include "link/SerialPortMap.h"

namespace orsa::link {

// HKLM\HARDWARE\DEVICEMAP\SERIALCOMM: one value per serial device, named after the driver's
// device (\Device\USBSER000 for the beacon's USB serial driver) with the port name as its text.
class WindowsSerialPortMap final : public SerialPortMap {
 public:
  // `keyPath` under HKEY_LOCAL_MACHINE; another key lets a test build a map of its own.
  explicit WindowsSerialPortMap(std::string keyPath = "HARDWARE\\DEVICEMAP\\SERIALCOMM");

  std::vector<Entry> entries() const override;
  std::string candidateMarker() const override { return "USBSER"; }
  // COM1 to COM254, whatever the map says: the list offers every port that opens.
  std::vector<std::string> portNamesToList() const override;

 private:
  std::string keyPath_;
};

}  // namespace orsa::link
