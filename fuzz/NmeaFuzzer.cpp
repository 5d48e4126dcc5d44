// The GNSS module's NMEA stream as it arrives: any bytes, cut into reads of any length.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "firmware/NmeaDecoder.h"

using orsa::firmware::NmeaDecoder;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string stream(reinterpret_cast<const char*>(data), size);
  NmeaDecoder whole;
  whole.feed(stream);
  orsa::firmware::statusLine(whole.status());

  // The cut points come from the stream's own bytes, so the fuzzer steers them along with the content.
  FuzzedDataProvider cuts(data, size);
  NmeaDecoder pieces;
  std::size_t at = 0;
  while (at < stream.size()) {
    const std::size_t length = cuts.ConsumeIntegralInRange<std::size_t>(1, stream.size() - at);
    pieces.feed(std::string_view(stream).substr(at, length));
    at += length;
  }
  fuzzCheck(whole.status() == pieces.status(), "a sentence split across reads decodes as if read at once");
  return 0;
}
