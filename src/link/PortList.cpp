#include "link/PortList.h"

#include <algorithm>

#include "link/NaturalOrder.h"
#include "link/SerialPort.h"

namespace orsa::link {

std::vector<std::string> listOpenablePorts(const SerialPortMap& map, const PortProbe& canOpen) {
  std::vector<std::string> names = map.portNamesToList();
  std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return naturalLess(a, b); });
  names.erase(std::unique(names.begin(), names.end()), names.end());
  std::erase_if(names, [&](const std::string& name) { return !canOpen(name); });
  return names;
}

bool portOpens(const std::string& portName) { return probeSerialPort(portName).empty(); }

}  // namespace orsa::link
