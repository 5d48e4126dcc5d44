#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace orsa::link {

enum class CommandType : std::uint8_t {
  ReadSettingSlot = 1,
  WriteSettingSlot = 2,
  ModemOn = 3,
  GnssOn = 4,
  ModemOff = 5,
  GnssOff = 6,
  SetGnssBaud = 7,
  ModemData = 8,
  GnssData = 9,
  EraseFirmware = 10,
  WriteFirmwareBlock = 11,
};

// The beacon's request: type, 32-bit parameter, 32-bit data length, data; little-endian,
// no start byte and no checksum, so the length field alone delimits a frame.
struct CommandFrame {
  static constexpr std::size_t kHeaderSize = 9;
  static constexpr std::uint32_t kMaxDataLength = 2500;
  static constexpr std::size_t kMaxSize = kHeaderSize + kMaxDataLength;

  // Builds the frame at the start of `area` (zero-filled first) and returns its size, or 0 when
  // the data is too long for the area; nothing is copied then.
  static std::size_t encode(std::span<std::uint8_t> area, std::uint8_t type, std::uint32_t parameter,
                            std::uint32_t length, const void* data);
};

}  // namespace orsa::link
