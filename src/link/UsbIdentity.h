#pragma once

#include <string>

namespace orsa::link {

// What the USB device behind a serial port says about itself, so that two beacons on one bench can be
// told apart before either is opened. Empty fields: not a USB device, or the device did not say.
struct UsbIdentity {
  std::string vendorId;   // four hex digits, as lsusb prints them
  std::string productId;  // four hex digits
  std::string serialNumber;
  std::string product;  // the device's own product string
  std::string manufacturer;

  bool known() const { return !vendorId.empty(); }
};

}  // namespace orsa::link
