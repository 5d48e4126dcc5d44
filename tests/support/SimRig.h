#pragma once

#include <memory>
#include <string>

#include "link/ChannelGate.h"
#include "link/SerialChannel.h"
#include "link/Worker.h"
#include "link/WorkerHost.h"
#include "sim/SimulatedBeacon.h"
#include "support/FakePortMap.h"

namespace orsa::testing {

// The program's side of a test against the simulated beacon: a channel, a port map that offers
// nothing (the port is chosen by name, as with the check box cleared) and a direct host. The
// channel's pauses and time-outs run on `clock`: a test's own, or the real time.
struct SimRig {
  explicit SimRig(sim::FaultPlan faults = {}, link::Clock& clock = link::steadyClock())
      : beacon(std::make_unique<sim::SimulatedBeacon>(std::move(faults))),
        channel(&link::openSerialPort, clock),
        host(link::PortChoice{false, beacon->portPath()}) {}
  explicit SimRig(link::Clock& clock) : SimRig({}, clock) {}

  link::DeviceLink link() { return {channel, map, gate, host}; }
  void unplug() { host.setPortChoice(link::PortChoice{false, "/dev/ttyACM-unplugged"}); }

  std::unique_ptr<sim::SimulatedBeacon> beacon;
  FakePortMap map;
  link::SerialChannel channel;
  link::ChannelGate gate;
  link::DirectWorkerHost host;
};

}  // namespace orsa::testing
