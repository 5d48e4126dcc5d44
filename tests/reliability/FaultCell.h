#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "sim/FaultPlan.h"

namespace orsa::reliability {

// Every core operation that talks to the beacon, as the matrix runs it.
enum class Operation {
  SettingsRead,
  SettingsWrite,
  FirmwareUpdate,
  ModemStart,
  ModemOff,
  GnssOn,
  GnssOff,
  TestSimCreate,
  TestSimClear,
  ImeiSms,
  Call,
  HangUp,
  Upload,
  NmeaRelay,
  GnssFlash,
};

// What the test does to the line while the NMEA relay runs, which sends nothing and so has no
// reply for a fault plan to spoil.
enum class RelayEvent { None, ModuleGarbage, ModuleFlood, BeaconHangsUp };

// From the `nth` frame of `type` on, nothing answers the operation.
struct SilentFrom {
  std::uint8_t type;
  unsigned nth;
};

// One cell of the fault matrix: an operation, a fault, and how the operation must end.
struct FaultCell {
  Operation operation;
  std::string_view faultId;  // a word for the test's name
  std::string_view fault;    // the fault as the table shows it
  sim::FaultPlan plan;
  RelayEvent relayEvent = RelayEvent::None;
  // The operation's last word: its result box, or its last log line. Empty: it ends without one.
  std::string_view expected;
  // From the start to the end of the run: the operation's own time-outs plus a margin.
  std::chrono::milliseconds budget{0};
  // A time-out the operation must have waited out before it ends; 0 when it may end at once.
  std::chrono::milliseconds waitsAtLeast{0};
  // Not run, and why.
  std::string_view leftOut;
  // Set where the fault leaves the operation without answers from some frame on: the cell runs on
  // the test's clock, whose waits run out at once from that frame on, and its budget is of that clock.
  std::optional<SilentFrom> silentFrom;
};

std::string_view operationId(Operation operation);
std::string_view operationTitle(Operation operation);

// The whole matrix, left-out cells included, in the order the table shows it.
const std::vector<FaultCell>& faultMatrix();
// The cells that are run.
std::vector<FaultCell> runnableCells();
// Names the cell in test output, instead of its bytes.
void PrintTo(const FaultCell& cell, std::ostream* out);
// operation | fault | expected message | budget, as Markdown.
std::string markdownTable();

}  // namespace orsa::reliability
