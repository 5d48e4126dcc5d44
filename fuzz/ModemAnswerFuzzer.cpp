// The modem's answers the service operations search: the free memory of "AT+FSMEM" and the IMEI of "AT+GSN".
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "FuzzCheck.h"
#include "service/ModemText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  if (const auto free = orsa::service::freeMemoryFromAnswer(text)) {
    fuzzCheck(*free >= 0, "free memory is never negative");
    fuzzCheck(orsa::service::answerHolds(text, "+FSMEM: C:"), "free memory comes only from an answer with the marker");
  }

  if (const auto imei = orsa::service::imeiFromAnswer(std::span<const std::uint8_t>(data, size))) {
    fuzzCheck(imei->size() == orsa::service::kImeiLength, "an IMEI has exactly 15 bytes");
    fuzzCheck((*imei)[0] >= '0' && (*imei)[0] <= '9', "an IMEI starts at a digit");
  }
  orsa::service::modemFileName(text);
  return 0;
}
