#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orsa::service {

// What the modem said to one command, read from the bytes that came back after it. The modem's
// answer is over only at a final result code (or at the prompt, when one is due); until then the
// reply is pending, however many bytes have come. The echo of the command line and unsolicited
// lines before it are not part of the answer.
struct ModemReply {
  enum class Outcome {
    Pending,     // no final result yet
    Ok,          // "OK"
    Error,       // "ERROR", "+CME ERROR: n", "+CMS ERROR: n"
    Prompt,      // ">" where a prompt was due
    NoCarrier,   // "NO CARRIER"
    Busy,        // "BUSY"
    NoAnswer,    // "NO ANSWER"
    NoDialtone,  // "NO DIALTONE"
    TimedOut,    // the time-out passed first
    Stopped,     // the operation was stopped first
    LineLost,    // the beacon went away first
  };

  Outcome outcome = Outcome::Pending;
  // The information lines between the echo and the final result, without their CR LF.
  std::vector<std::string> lines;
  // The final result as the modem wrote it ("OK", "+CME ERROR: 10", ">").
  std::string finalLine;
  // What came back after the echo (all of it when there was none), for a log line when nothing
  // final did.
  std::string received;

  bool ok() const { return outcome == Outcome::Ok; }
  // The modem's own final word came (OK, an error, a call result or the prompt).
  bool answered() const {
    return outcome != Outcome::Pending && outcome != Outcome::TimedOut && outcome != Outcome::Stopped &&
           outcome != Outcome::LineLost;
  }
  // The first information line that starts with `prefix` ("+CSQ: "), with the prefix cut off.
  std::optional<std::string> field(std::string_view prefix) const;
};

// Reads `received` (every byte since `command` was sent) as the modem's answer to it. `promptDue`:
// the command asks for a prompt (AT+CMGS, AT+FSWRITE), which the modem ends with "> " and no line end.
ModemReply parseModemReply(std::string_view received, std::string_view command, bool promptDue);

// The modem's answer as the log quotes it: «+CME ERROR: 10», or what came without a final result,
// or that nothing came. Bytes outside printable ASCII are shown as \xNN.
std::string describeModemReply(const ModemReply& reply);

}  // namespace orsa::service
