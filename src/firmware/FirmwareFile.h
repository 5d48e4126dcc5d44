#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orsa::firmware {

// A file named for a flash, read whole before the device hears anything, so that a file that
// cannot be read, or changes meanwhile, never leaves a device half-programmed.
struct FirmwareFile {
  std::vector<std::uint8_t> bytes;
  // Why it could not be taken, in words for the user ("файл не найден", "это папка"); empty when
  // it was read.
  std::string problem;

  bool ok() const { return problem.empty(); }
};

// Reads `path` when it is a regular file of at most `limit` bytes. Anything else (a folder, a
// pipe, a device) is refused by its type before it is opened: opening a pipe would wait forever.
FirmwareFile readFirmwareFile(const std::filesystem::path& path, std::uint64_t limit);

// Files larger than this are no beacon's or module's firmware and are not read: enough to tell a
// too-long image by its size.
inline constexpr std::uint64_t kMaxFirmwareFileBytes = 16 * 1024 * 1024;

// The usual CRC-32 (the one of zip and PNG), for the user to compare with what the maker gives.
std::uint32_t crc32(std::span<const std::uint8_t> bytes);

// "<path>: 11892 байт, CRC-32 1A2B3C4D".
std::string describeFirmwareFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

}  // namespace orsa::firmware
