// The ".fmw" firmware file's length check, for the input's own length and for any 64-bit length it starts with
// (a fuzzer's inputs are short, files up to the 32-bit address limit are not).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

#include "FuzzCheck.h"
#include "firmware/MCUpdateThread.h"

using orsa::firmware::MCUpdateThread;

namespace {

void checkLength(std::uint64_t fileLength) {
  const auto payload = orsa::firmware::firmwarePayloadLength(fileLength);
  if (fileLength < MCUpdateThread::kHeaderSize) {
    fuzzCheck(!payload, "a file without a whole header is refused");
    return;
  }
  const std::uint64_t expected = fileLength - MCUpdateThread::kHeaderSize;
  const bool fits = expected <= std::numeric_limits<std::uint32_t>::max() - MCUpdateThread::kFlashBase;
  fuzzCheck(payload.has_value() == fits, "a payload is taken exactly when its end address fits 32 bits");
  if (payload) fuzzCheck(*payload == expected, "the payload is everything after the header");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  checkLength(size);
  if (size >= sizeof(std::uint64_t)) {
    std::uint64_t length = 0;
    std::memcpy(&length, data, sizeof length);
    checkLength(length);
  }
  return 0;
}
