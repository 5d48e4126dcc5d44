#include "link/DeviceConnection.h"

#include <vector>

namespace orsa::link {

std::vector<std::string> candidatePorts(const SerialPortMap& map) {
  const std::string marker = map.candidateMarker();
  std::vector<std::string> ports;
  for (const auto& entry : map.entries()) {
    if (entry.deviceName.find(marker) != std::string::npos) ports.push_back(entry.portName);
  }
  return ports;
}

std::optional<std::string> automaticPort(const SerialPortMap& map) {
  auto candidates = candidatePorts(map);
  if (candidates.size() != 1) return std::nullopt;
  return candidates.front();
}

bool connectDevice(SerialChannel& channel, const SerialPortMap& map, const PortChoice& choice) {
  channel.close();
  if (!choice.automatic) return channel.open(choice.manualName);
  const auto candidates = candidatePorts(map);
  if (candidates.size() == 1) return channel.open(candidates.front());
  if (candidates.empty()) {
    channel.setOpenFailure(
        "маяк не найден: нет ни одного устройства USB CDC-ACM; подключите маяк или выберите порт вручную");
  } else {
    std::string names;
    for (const auto& port : candidates) names += (names.empty() ? "" : ", ") + port;
    channel.setOpenFailure("найдено несколько устройств USB CDC-ACM (" + names + "): выберите порт вручную");
  }
  return false;
}

}  // namespace orsa::link
