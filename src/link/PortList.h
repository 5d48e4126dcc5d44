#pragma once

#include <functional>
#include <string>
#include <vector>

#include "link/SerialPortMap.h"

namespace orsa::link {

// The ports offered in the manual port list: every port of the map that opens right now, in
// natural order. Ports held by another program (or by our own channel) do not open and are left out.
using PortProbe = std::function<bool(const std::string& portName)>;

std::vector<std::string> listOpenablePorts(const SerialPortMap& map, const PortProbe& canOpen);
// Probes by opening the port and releasing it at once; its line settings are left as they were.
bool portOpens(const std::string& portName);

}  // namespace orsa::link
