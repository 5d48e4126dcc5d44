#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace orsa::sim {

// One command frame as it arrived on the wire.
struct Frame {
  std::uint8_t type = 0;
  std::uint32_t parameter = 0;
  std::vector<std::uint8_t> data;
};

// Incremental parser of the beacon's wire format: 1 byte type, u32 LE parameter, u32 LE length,
// then `length` data bytes. There is no start byte and no checksum, so the length field is the only
// thing that delimits a frame. A length above maxDataLength is refused as a protocol error and the
// parser resynchronises by dropping everything it holds and the rest of the bytes it was given.
class FrameParser {
 public:
  static constexpr std::size_t headerSize = 9;
  static constexpr std::uint32_t maxDataLength = 2500;

  // Takes bytes up to and including the end of the first frame they complete, or all of them.
  // Returns how many were taken; a completed frame is then available from takeFrame().
  std::size_t consume(std::span<const std::uint8_t> bytes);

  // The frame completed by the last consume(), once.
  std::optional<Frame> takeFrame();

  // Convenience: consumes everything and returns the frames completed, in order.
  std::vector<Frame> feed(std::span<const std::uint8_t> bytes);

  // Drops a partly received frame (counted as a protocol error when bytes were held).
  void discardPartial();

  std::size_t pendingBytes() const { return header_.size() + data_.size(); }
  std::size_t protocolErrors() const { return protocolErrors_; }
  // Descriptions of the protocol errors since the last call.
  std::vector<std::string> takeErrors() { return std::exchange(errors_, {}); }

 private:
  std::vector<std::uint8_t> header_;
  std::vector<std::uint8_t> data_;
  std::uint32_t expected_ = 0;
  bool headerDone_ = false;
  std::optional<Frame> ready_;
  std::size_t protocolErrors_ = 0;
  std::vector<std::string> errors_;
};

}  // namespace orsa::sim
