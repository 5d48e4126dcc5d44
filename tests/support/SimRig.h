#pragma once

#include <memory>
#include <string>

#include "link/ChannelGate.h"
#include "link/SerialChannel.h"
#include "link/SerialPortMap.h"
#include "link/Worker.h"
#include "link/WorkerHost.h"
#include "sim/SimulatedBeacon.h"

namespace orsa::testing {

// The program's side of a test against the simulated beacon: a channel, a port map that offers
// nothing (the port is chosen by name, as with the check box cleared) and a direct host.
class NoPortsMap final : public link::SerialPortMap {
 public:
  std::vector<Entry> entries() const override { return {}; }
  std::string candidateMarker() const override { return "cdc_acm"; }
};

struct SimRig {
  explicit SimRig(sim::FaultPlan faults = {})
      : beacon(std::make_unique<sim::SimulatedBeacon>(std::move(faults))),
        host(link::PortChoice{false, beacon->portPath()}) {}

  link::DeviceLink link() { return {channel, map, gate, host}; }
  void unplug() { host.setPortChoice(link::PortChoice{false, "/dev/ttyACM-unplugged"}); }

  std::unique_ptr<sim::SimulatedBeacon> beacon;
  NoPortsMap map;
  link::SerialChannel channel;
  link::ChannelGate gate;
  link::DirectWorkerHost host;
};

}  // namespace orsa::testing
