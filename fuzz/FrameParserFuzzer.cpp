// The simulator's reading of the configurator's command frames: any bytes, cut into reads of any length.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <span>

#include "FuzzCheck.h"
#include "sim/FrameParser.h"

using orsa::sim::FrameParser;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> stream(data, size);
  FuzzedDataProvider cuts(data, size);
  FrameParser parser;
  std::size_t at = 0;
  while (at < stream.size()) {
    const std::size_t length = cuts.ConsumeIntegralInRange<std::size_t>(1, stream.size() - at);
    auto piece = stream.subspan(at, length);
    at += length;
    while (!piece.empty()) {
      const std::size_t taken = parser.consume(piece);
      fuzzCheck(taken > 0 && taken <= piece.size(), "every consume takes some of the bytes it is given");
      piece = piece.subspan(taken);
      if (auto frame = parser.takeFrame()) {
        fuzzCheck(frame->data.size() <= FrameParser::maxDataLength, "no frame is longer than the limit");
      }
      fuzzCheck(parser.pendingBytes() < FrameParser::headerSize + FrameParser::maxDataLength,
                "a partial frame never holds more than a whole one");
    }
  }
  parser.discardPartial();
  fuzzCheck(parser.pendingBytes() == 0, "a discarded partial frame leaves nothing held");
  parser.takeErrors();
  return 0;
}
