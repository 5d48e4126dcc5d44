#include "link/DeviceConnection.h"

namespace orsa::link {

std::optional<std::string> automaticPort(const SerialPortMap& map) {
  const std::string marker = map.candidateMarker();
  int candidates = 0;
  std::string port;
  for (const auto& entry : map.entries()) {
    if (entry.deviceName.find(marker) == std::string::npos) continue;
    ++candidates;
    port = entry.portName;
  }
  if (candidates != 1) return std::nullopt;
  return port;
}

bool connectDevice(SerialChannel& channel, const SerialPortMap& map, const PortChoice& choice) {
  channel.close();
  if (!choice.automatic) return channel.open(choice.manualName);
  auto port = automaticPort(map);
  return port && channel.open(*port);
}

}  // namespace orsa::link
