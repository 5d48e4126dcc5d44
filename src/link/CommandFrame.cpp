#include "link/CommandFrame.h"

#include <algorithm>
#include <cstring>

namespace orsa::link {

namespace {

void putLittleEndian(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

std::size_t CommandFrame::encode(std::span<std::uint8_t> area, std::uint8_t type, std::uint32_t parameter,
                                 std::uint32_t length, const void* data) {
  if (length > kMaxDataLength || area.size() < kHeaderSize + length || (length > 0 && data == nullptr)) return 0;
  std::fill(area.begin(), area.end(), std::uint8_t{0});
  area[0] = type;
  putLittleEndian(&area[1], parameter);
  putLittleEndian(&area[5], length);
  if (length > 0) std::memcpy(&area[kHeaderSize], data, length);
  return kHeaderSize + length;
}

}  // namespace orsa::link
