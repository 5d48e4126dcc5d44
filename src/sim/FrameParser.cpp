#include "sim/FrameParser.h"

#include <algorithm>
#include <utility>

namespace orsa::sim {

namespace {

std::uint32_t readLe32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8U) |
         (static_cast<std::uint32_t>(p[2]) << 16U) | (static_cast<std::uint32_t>(p[3]) << 24U);
}

}  // namespace

std::size_t FrameParser::consume(std::span<const std::uint8_t> bytes) {
  std::size_t taken = 0;
  while (taken < bytes.size()) {
    if (!headerDone_) {
      const std::size_t want = std::min(headerSize - header_.size(), bytes.size() - taken);
      header_.insert(header_.end(), bytes.begin() + static_cast<std::ptrdiff_t>(taken),
                     bytes.begin() + static_cast<std::ptrdiff_t>(taken + want));
      taken += want;
      if (header_.size() < headerSize) {
        return taken;
      }
      expected_ = readLe32(header_.data() + 5);
      if (expected_ > maxDataLength) {
        ++protocolErrors_;
        errors_.push_back("frame of type " + std::to_string(header_[0]) + " announces " + std::to_string(expected_) +
                          " data bytes (at most " + std::to_string(maxDataLength) + "); input dropped");
        header_.clear();
        return bytes.size();  // resync: drop what is held and the rest of this input
      }
      headerDone_ = true;
      data_.reserve(expected_);
    }
    const std::size_t want = std::min<std::size_t>(expected_ - data_.size(), bytes.size() - taken);
    data_.insert(data_.end(), bytes.begin() + static_cast<std::ptrdiff_t>(taken),
                 bytes.begin() + static_cast<std::ptrdiff_t>(taken + want));
    taken += want;
    if (data_.size() == expected_) {
      Frame frame;
      frame.type = header_[0];
      frame.parameter = readLe32(header_.data() + 1);
      frame.data = std::exchange(data_, {});
      ready_ = std::move(frame);
      header_.clear();
      headerDone_ = false;
      expected_ = 0;
      return taken;
    }
  }
  return taken;
}

std::optional<Frame> FrameParser::takeFrame() {
  std::optional<Frame> frame = std::move(ready_);
  ready_.reset();
  return frame;
}

std::vector<Frame> FrameParser::feed(std::span<const std::uint8_t> bytes) {
  std::vector<Frame> frames;
  while (!bytes.empty()) {
    const std::size_t taken = consume(bytes);
    bytes = bytes.subspan(taken);
    if (auto frame = takeFrame()) {
      frames.push_back(std::move(*frame));
    }
  }
  return frames;
}

void FrameParser::discardPartial() {
  if (pendingBytes() > 0) {
    ++protocolErrors_;
    errors_.push_back("incomplete frame dropped after " + std::to_string(pendingBytes()) + " bytes");
  }
  header_.clear();
  data_.clear();
  headerDone_ = false;
  expected_ = 0;
}

}  // namespace orsa::sim
