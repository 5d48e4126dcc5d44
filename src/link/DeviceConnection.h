#pragma once

#include <optional>
#include <string>
#include <vector>

#include "link/SerialChannel.h"
#include "link/SerialPortMap.h"

namespace orsa::link {

// What the port panel says: choose automatically, or use the port typed or picked in the list.
struct PortChoice {
  bool automatic = true;
  std::string manualName;
};

// The automatic choice: the one map entry whose device name carries the marker. None, or several
// (the choice refuses to guess between USB serial devices), gives nothing; a later entry's port
// name is what a single candidate opens, as the map is walked in order.
std::optional<std::string> automaticPort(const SerialPortMap& map);
// Every port whose device name carries the marker, in the map's order.
std::vector<std::string> candidatePorts(const SerialPortMap& map);

// Closes the channel, then opens it on the chosen port. True when the channel is open; otherwise
// the channel's lastError() says why, also when the automatic choice found no port or several.
bool connectDevice(SerialChannel& channel, const SerialPortMap& map, const PortChoice& choice);

}  // namespace orsa::link
