#pragma once

#include <map>
#include <string>

#include "link/UsbIdentity.h"

namespace orsa::link {

// The USB identity of every present serial port, by port name (COM7), from SetupAPI: the vendor and
// product from the device's instance ID, the serial number where the device gave one, and the product
// string the device reported on the bus. Ports that are no USB devices are left out.
std::map<std::string, UsbIdentity> usbIdentitiesByPort();

}  // namespace orsa::link
