#include "DemoBeacon.h"

#include "sim/SimulatedBeacon.h"

namespace orsa::app {
namespace {

constexpr unsigned kLineRate = 9600;
constexpr std::uint32_t kOwnerPhoneParameter = 0x08080460;

}  // namespace

struct DemoBeacon::Simulated {
  sim::SimulatedBeacon beacon{sim::FaultPlan().throttle(kLineRate)};
};

DemoBeacon::DemoBeacon() : simulated_(std::make_unique<Simulated>()) {
  // A factory-fresh beacon has no owner; one with a number shows a read better.
  simulated_->beacon.setSettingsCell(kOwnerPhoneParameter, "+79991234567");
}

DemoBeacon::~DemoBeacon() = default;

QString DemoBeacon::portPath() const { return QString::fromStdString(simulated_->beacon.portPath()); }

}  // namespace orsa::app
