// The modem's answers the service operations read: any reply to a command, and the free memory of "AT+FSMEM".
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzCheck.h"
#include "service/ModemReply.h"
#include "service/ModemText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  if (const auto free = orsa::service::freeMemoryFromAnswer(text)) {
    fuzzCheck(*free >= 0, "free memory is never negative");
    fuzzCheck(orsa::service::answerHolds(text, "+FSMEM: C:"), "free memory comes only from an answer with the marker");
  }

  for (const bool promptDue : {false, true}) {
    const auto reply = orsa::service::parseModemReply(text, "AT+GSN\r\n", promptDue);
    using Outcome = orsa::service::ModemReply::Outcome;
    fuzzCheck(promptDue || reply.outcome != Outcome::Prompt, "a prompt counts only where one is due");
    fuzzCheck(reply.answered() == !reply.finalLine.empty(), "a final result is named by its line");
    fuzzCheck(!orsa::service::describeModemReply(reply).empty(), "every answer can be quoted");
  }
  orsa::service::modemFileName(text);
  return 0;
}
