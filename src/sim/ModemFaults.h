#pragma once

#include <cstddef>
#include <optional>

namespace orsa::sim {

// Ways the GSM modem behind the beacon can let the program down. Unlike the reply faults of the
// fault plan, these change what the modem does, so its state stays what a real modem's would be.
struct ModemFaults {
  bool staysOff = false;             // ModemOn is acknowledged by the beacon but the modem never powers up
  bool noPrompt = false;             // a valid AT+FSWRITE or AT+CMGS is never answered with its prompt
  bool noWriteConfirmation = false;  // written file bytes are stored but never confirmed with OK
  // Capacity of drive "C:" in bytes, instead of the modem's own; a later plan without it gives the
  // drive its own capacity back.
  std::optional<std::size_t> driveSize;

  bool operator==(const ModemFaults&) const = default;
};

}  // namespace orsa::sim
