#include "DemoBeacon.h"

#include "sim/SimulatedBeacon.h"

namespace orsa::app {
namespace {

constexpr unsigned kLineRate = 9600;
constexpr std::uint32_t kOwnerPhoneParameter = 0x08080460;

}  // namespace

DemoBeacon::DemoBeacon() : beacon_(std::make_unique<sim::SimulatedBeacon>(sim::FaultPlan().throttle(kLineRate))) {
  // A factory-fresh beacon has no owner; one with a number shows a read better.
  beacon_->setSettingsCell(kOwnerPhoneParameter, "+79991234567");
}

DemoBeacon::~DemoBeacon() = default;

QString DemoBeacon::portPath() const { return QString::fromStdString(beacon_->portPath()); }

}  // namespace orsa::app
