#pragma once

#include <QString>

#include <memory>

namespace orsa::sim {
class SimulatedBeacon;
}

namespace orsa::app {

// The simulated beacon behind `--demo`: runs inside the program on a
// pseudo-terminal, at the real line rate, with an owner already configured.
class DemoBeacon {
 public:
  DemoBeacon();  // throws std::system_error when no pseudo-terminal can be had
  ~DemoBeacon();

  QString portPath() const;
  sim::SimulatedBeacon& beacon() const { return *beacon_; }

 private:
  std::unique_ptr<sim::SimulatedBeacon> beacon_;
};

}  // namespace orsa::app
