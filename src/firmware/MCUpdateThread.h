#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "link/Worker.h"

namespace orsa::firmware {

// Replaces the beacon's own firmware from a ".fmw" file: one erase, then the payload after the
// 15-byte header in blocks of at most 2048 bytes, each written at 0x08006400 plus its offset.
class MCUpdateThread final : public link::Worker {
 public:
  static constexpr std::uint32_t kFlashBase = 0x08006400;
  static constexpr std::uint32_t kBlockSize = 2048;
  static constexpr std::uint32_t kHeaderSize = 15;
  static constexpr std::int32_t kReplyTimeoutMs = 10000;

  struct Callbacks {
    std::function<void(const MCUpdateThread&)> showProgress;
    std::function<void(const MCUpdateThread&)> showResult;
  };

  MCUpdateThread(link::DeviceLink link, Callbacks callbacks);
  ~MCUpdateThread() override { stopAndJoin(); }

  // Full name of the firmware file, set before the worker starts. A path, not text: on Windows a
  // name outside the ANSI code page (a Cyrillic user folder on a non-Russian system) still opens.
  std::filesystem::path firmwarePath;

 protected:
  void run() override;

 private:
  void finish(std::int32_t code, const char* text);

  Callbacks callbacks_;
};

// The payload length of a ".fmw" file of `fileLength` bytes: what follows its header, which is never
// sent. Empty for a file without a whole header, or with a payload whose end address (the flash
// base plus its length) would not fit the 32-bit parameter.
std::optional<std::uint32_t> firmwarePayloadLength(std::uint64_t fileLength);

// The name the update opens for the name chosen in the dialog: ".fmw" is appended unless the
// name holds it anywhere (case-sensitive, so "IMAGE.FMW" becomes "IMAGE.FMW.fmw").
std::string firmwareFileName(const std::string& chosen);

}  // namespace orsa::firmware
