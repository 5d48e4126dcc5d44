#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace orsa::sim {

// Ways the GSM modem behind the beacon can let the program down. Unlike the reply faults of the
// fault plan, these change what the modem does, so its state stays what a real modem's would be.
struct ModemFaults {
  bool staysOff = false;             // ModemOn is acknowledged by the beacon but the modem never powers up
  bool noPrompt = false;             // a valid AT+FSWRITE or AT+CMGS is never answered with its prompt
  bool noWriteConfirmation = false;  // written file bytes are stored but never confirmed with OK
  // No SIM card: what needs one fails with +CME ERROR: 10 (+CMS ERROR: 310 for AT+CMGS), calls get
  // NO CARRIER and the modem registers nowhere.
  bool simAbsent = false;
  // The SIM is in but no network is found: no signal, still searching, calls get NO CARRIER and a
  // message fails with +CMS ERROR: 331 once its text is complete.
  bool noNetwork = false;
  bool refusesSms = false;  // AT+CMGS gets +CMS ERROR: 500 instead of the prompt
  bool callBusy = false;    // ATD gets BUSY and no call is set up
  // Commands this modem's firmware does not have, answered with ERROR: the name that follows "AT",
  // in upper case: "+CBC" for AT+CBC and AT+CBC=..., "I" for ATI.
  std::set<std::string> lacks;
  // Capacity of drive "C:" in bytes, instead of the modem's own; a later plan without it gives the
  // drive its own capacity back.
  std::optional<std::size_t> driveSize;

  bool operator==(const ModemFaults&) const = default;
};

// Whether `name` can stand in ModemFaults::lacks (in either case): "+" and letters or digits, or
// the single letter of a basic command.
inline bool isModemCommandName(std::string_view name) {
  const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  const auto letterOrDigit = [&](char c) { return letter(c) || (c >= '0' && c <= '9'); };
  if (name.size() == 1) {
    return letter(name[0]);
  }
  return name.size() > 1 && name[0] == '+' && std::all_of(name.begin() + 1, name.end(), letterOrDigit);
}

}  // namespace orsa::sim
