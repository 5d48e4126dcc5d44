#include "firmware/FirmwareFile.h"

#include "link/SystemReason.h"
#include "link/Utf8Path.h"

#include <array>
#include <cstdio>
#include <fstream>

namespace orsa::firmware {

namespace {

// Small enough to own: the Windows build would otherwise need a cross-built zlib for 20 lines.
constexpr std::array<std::uint32_t, 256> kCrcTable = [] {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t value = i;
    for (int bit = 0; bit < 8; ++bit) value = (value & 1) ? 0xEDB88320u ^ (value >> 1) : value >> 1;
    table[i] = value;
  }
  return table;
}();

}  // namespace

FirmwareFile readFirmwareFile(const std::filesystem::path& path, std::uint64_t limit) {
  FirmwareFile file;
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (error || !std::filesystem::exists(status)) {
    file.problem =
        error && error != std::errc::no_such_file_or_directory ? link::systemReason(error) : "файл не найден";
    return file;
  }
  if (std::filesystem::is_directory(status)) {
    file.problem = "это папка, а не файл";
    return file;
  }
  if (!std::filesystem::is_regular_file(status)) {
    file.problem = "это не обычный файл (канал или устройство)";
    return file;
  }
  const std::uint64_t size = std::filesystem::file_size(path, error);
  if (error) {
    file.problem = link::systemReason(error);
    return file;
  }
  if (size > limit) {
    file.problem = "файл больше " + std::to_string(limit) + " байт (" + std::to_string(size) + ")";
    return file;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    file.problem = "нет доступа на чтение";
    return file;
  }
  file.bytes.resize(static_cast<std::size_t>(size));
  in.read(reinterpret_cast<char*>(file.bytes.data()), static_cast<std::streamsize>(size));
  // One byte more must not come: a file that grew while it was read is not the file checked.
  if (static_cast<std::uint64_t>(in.gcount()) != size || in.peek() != std::ifstream::traits_type::eof()) {
    file.bytes.clear();
    file.problem = "файл изменился во время чтения";
  }
  return file;
}

std::uint32_t crc32(std::span<const std::uint8_t> bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (const std::uint8_t byte : bytes) crc = kCrcTable[(crc ^ byte) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

std::string describeFirmwareFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  std::array<char, 9> crc{};
  std::snprintf(crc.data(), crc.size(), "%08X", static_cast<unsigned>(crc32(bytes)));
  return link::pathText(path) + ": " + std::to_string(bytes.size()) + " байт, CRC-32 " + crc.data();
}

}  // namespace orsa::firmware
