#pragma once

#include <chrono>
#include <filesystem>
#include <string>

#include "reliability/FaultCell.h"
#include "support/SimRig.h"

namespace orsa::reliability {

// How one run ended, as the window would have seen it.
struct RunResult {
  bool started = false;
  // The result box's text, or else the last log line; empty when neither came.
  std::string message;
  bool recordShown = false;         // settings read: the record reached the window
  int enables = 0;                  // GNSS flash: how often the start button was given back
  link::Clock::Duration elapsed{};  // on the clock of the rig's channel
};

// Runs the core's operations against the rig's simulated beacon, with their input files in `folder`.
class OperationRunner {
 public:
  OperationRunner(orsa::testing::SimRig& rig, std::filesystem::path folder) : rig_(rig), folder_(std::move(folder)) {}

  // Whatever the operation needs before its fault applies: input files, a started modem, a quiet
  // GNSS module (whose NMEA would count as any acknowledgement).
  void prepare(Operation operation);
  // Runs it to its end (the relay: until the test stops it after the cell's event).
  RunResult run(const FaultCell& cell);
  // A power frame on the present beacon; what the matrix's check of a freed port starts.
  RunResult probe();

 private:
  RunResult settings(std::int32_t mode);
  RunResult firmwareUpdate();
  RunResult service(std::int32_t mode);
  RunResult relay(RelayEvent event);
  RunResult gnssFlash();

  orsa::testing::SimRig& rig_;
  std::filesystem::path folder_;
};

}  // namespace orsa::reliability
