#include "sim/PacedLine.h"

#include <algorithm>

namespace orsa::sim {

void PacedLine::setRate(std::uint32_t baud) {
  byteTime_ = std::chrono::nanoseconds(10'000'000'000LL / std::max<std::uint32_t>(baud, 1));
  sliceBytes_ = std::max<std::size_t>(1, static_cast<std::size_t>(sliceTime / byteTime_));
}

std::size_t PacedLine::push(std::span<const std::uint8_t> bytes, Clock::time_point at) {
  if (queue_.empty()) {
    headStart_ = at;
  }
  const std::size_t count = std::min(bytes.size(), capacity - queue_.size());
  queue_.insert(queue_.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
  return count;
}

std::optional<PacedLine::Clock::time_point> PacedLine::nextReleaseAt() const {
  if (queue_.empty()) {
    return std::nullopt;
  }
  return headStart_ + byteTime_ * static_cast<long>(std::min(queue_.size(), sliceBytes_));
}

std::vector<std::uint8_t> PacedLine::take(Clock::time_point now) {
  if (queue_.empty() || now <= headStart_) {
    return {};
  }
  const auto sent = static_cast<std::size_t>((now - headStart_) / byteTime_);
  const std::size_t count = std::min(sent, queue_.size());
  std::vector<std::uint8_t> bytes(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(count));
  queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(count));
  headStart_ += byteTime_ * static_cast<long>(count);
  return bytes;
}

}  // namespace orsa::sim
