#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "firmware/FirmwareFile.h"
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
  // The program's flash ends where the settings slots begin, at 0x08080000: a longer image would
  // overwrite them.
  static constexpr std::uint32_t kSettingsArea = 0x08080000;
  static constexpr std::uint32_t kMaxImage = kSettingsArea - kFlashBase;  // 498688

  struct Callbacks {
    std::function<void(const MCUpdateThread&)> showProgress;
    std::function<void(const MCUpdateThread&)> showResult;
  };

  MCUpdateThread(link::DeviceLink link, Callbacks callbacks);
  ~MCUpdateThread() override { stopAndJoin(); }

  // Full name of the firmware file, set before the worker starts. A path, not text: on Windows a
  // name outside the ANSI code page (a Cyrillic user folder on a non-Russian system) still opens.
  std::filesystem::path firmwarePath;

  // True once the beacon acknowledged the last block.
  bool succeeded() const { return succeeded_; }

 protected:
  void run() override;

 private:
  void finish(std::int32_t code, const std::string& text);
  // The write ended before the last block: why, and how much of the image the beacon holds.
  void finishCutShort(std::uint32_t written, std::uint32_t total);
  bool succeeded_ = false;

  Callbacks callbacks_;
};

// Reads a ".fmw" file whole, as the update does before the erase, and checks that it holds its header
// and that its image fits below the settings area. A file that cannot be flashed has `problem` set to
// the whole message, path included ("Ошибка файла прошивки: …").
FirmwareFile readFirmwareImage(const std::filesystem::path& path);

// The payload length of a ".fmw" file of `fileLength` bytes: what follows its header, which is never
// sent. Empty for a file without a whole header, or with a payload whose end address (the flash
// base plus its length) would not fit the 32-bit parameter.
std::optional<std::uint32_t> firmwarePayloadLength(std::uint64_t fileLength);

// The name the update opens for the name given: the name itself when such a file exists, else with
// ".fmw" appended unless the name holds it anywhere (case-sensitive, so "IMAGE.FMW" becomes
// "IMAGE.FMW.fmw").
std::string firmwareFileName(const std::string& chosen);

}  // namespace orsa::firmware
