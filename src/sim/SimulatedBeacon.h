#pragma once

#include "sim/BeaconModel.h"
#include "sim/FaultPlan.h"
#include "sim/GnssModel.h"
#include "sim/GsmModemModel.h"
#include "sim/MtkGnssModule.h"
#include "sim/ModemModel.h"
#include "sim/LineEndpoint.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <stdexcept>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace orsa::sim {

// One frame as the simulated beacon received it.
struct FrameRecord {
  std::uint8_t type;
  std::uint32_t parameter;
  std::vector<std::uint8_t> data;
  std::chrono::steady_clock::time_point receivedAt;
};

// The beacon on a line of its own (see LineEndpoint): a BeaconModel served by a thread of its own, with a fault plan.
// Every public member is thread-safe. The line exists from construction to destruction (or to a
// hang-up); clients open portPath() like a serial port.
class SimulatedBeacon {
 public:
  explicit SimulatedBeacon(FaultPlan faults = {});  // throws std::system_error without a line
  ~SimulatedBeacon();
  SimulatedBeacon(const SimulatedBeacon&) = delete;
  SimulatedBeacon& operator=(const SimulatedBeacon&) = delete;

  const std::string& portPath() const;  // the port name to open

  // Applies to frames received from now on; the frame counters of the plan restart.
  void setFaults(FaultPlan faults);

  std::vector<FrameRecord> trace() const;  // every frame received, in order
  void clearTrace();
  // True once the trace holds at least `count` frames; false when the time-out passed first.
  bool waitForFrames(std::size_t count, std::chrono::milliseconds timeout) const;

  std::array<std::uint8_t, 32> settingsCell(std::uint32_t parameter) const;
  // Zero-padded (or cut) to 32 bytes; throws std::out_of_range for a parameter that is not a cell.
  void setSettingsCell(std::uint32_t parameter, std::string_view text);
  std::vector<std::uint8_t> flashImage(std::size_t length) const;  // program flash bytes from 0x08006400
  std::size_t eraseCount() const;

  std::vector<std::uint8_t> modemInput() const;  // every byte the modem was sent
  std::vector<std::uint8_t> gnssInput() const;   // every byte the GNSS module was sent
  void setModemModel(std::unique_ptr<ModemModel> modem);
  void setGnssModel(std::unique_ptr<GnssModel> gnss);
  // Runs `use` on the beacon's GSM modem (files, phonebook, messages; IMEI and capacity to set)
  // under the beacon's lock and returns what it returns, which must not refer into the modem.
  // Throws std::logic_error when the plugged-in modem is not a GsmModemModel.
  template <typename F>
  auto withGsmModem(F&& use) {
    const std::lock_guard lock(mutex_);
    auto* modem = dynamic_cast<GsmModemModel*>(model_.modemModel());
    if (modem == nullptr) {
      throw std::logic_error("the simulated beacon's modem is not a GsmModemModel");
    }
    return std::forward<F>(use)(*modem);
  }

  // Runs `use` on the beacon's GNSS module (its mode, the loader and firmware it received) under the
  // beacon's lock and returns what it returns, which must not refer into the module.
  // Throws std::logic_error when the plugged-in module is not an MtkGnssModule.
  template <typename F>
  auto withGnssModule(F&& use) {
    const std::lock_guard lock(mutex_);
    auto* module = dynamic_cast<MtkGnssModule*>(model_.gnssModel());
    if (module == nullptr) {
      throw std::logic_error("the simulated beacon's GNSS module is not an MtkGnssModule");
    }
    return std::forward<F>(use)(*module);
  }
  // The GNSS module sends these bytes now, after whatever it is already sending, at the GNSS line
  // rate, whatever its power or mode; the beacon relays them to the host like the module's NMEA.
  void gnssSends(std::span<const std::uint8_t> bytes);
  void gnssSends(std::string_view text);

  // Frames and bytes the beacon could not make sense of, one line each.
  std::vector<std::string> protocolErrors() const;

  // Called on the serving thread for each frame received, after it is in the trace. It may call
  // the other members except hangUp() and the destructor.
  void setFrameObserver(std::function<void(const FrameRecord&)> observer);

  // Closes the line (clients see hang-up) and returns once it is closed. For good.
  void hangUp();
  bool isHungUp() const;

 private:
  void serve(const std::stop_token& stop);
  void wake() const;

  LineEndpoint line_;  // used by the serving thread only, once it runs (wake() by any)
  const std::string portPath_;

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  BeaconModel model_;
  FaultPlan faults_;
  std::map<std::uint8_t, unsigned> framesOfType_;
  std::size_t framesSincePlan_ = 0;
  std::vector<FrameRecord> trace_;
  std::function<void(const FrameRecord&)> observer_;
  bool hangUpRequested_ = false;
  bool hungUp_ = false;

  std::jthread server_;  // last: started after everything else exists, stopped first
};

}  // namespace orsa::sim
