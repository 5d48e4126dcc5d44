#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "settings/SettingsRecord.h"

namespace orsa::settings {

// The 118-byte ".cfg" image of the user-settable slots (the additional server, the constants and
// the beacon's own slots are not part of it). No header, no checksum, no version: the layout is
// fixed and shared with files written by earlier configurators.
class SettingsFile {
 public:
  static constexpr std::size_t kSize = 118;
  using Image = std::array<std::uint8_t, kSize>;

  struct Result {
    bool ok = true;
    std::string message;  // UTF-8, for a message box titled messages::kFileErrorTitle
    std::string detail;   // the system's reason, for logs and the command-line tool

    explicit operator bool() const { return ok; }
  };

  static Image encode(const SettingsRecord& record);

  // Clears the slots the file holds and sets them from `bytes`; the other slots keep their texts.
  // Bytes missing at the end count as zero, bytes beyond 118 are ignored.
  static void decodeInto(std::span<const std::uint8_t> bytes, SettingsRecord& record);

  // Writes the image through writeFileAtomically: a read-only file is refused with
  // "Ошибка открытия файла" and left as it was, a link is written through, a failed save
  // leaves whatever was there before.
  static Result save(const std::filesystem::path& path, const SettingsRecord& record);

  // Reads the first 118 bytes (a longer file is read only that far). When the file cannot be
  // opened or read the record is left exactly as it was.
  static Result load(const std::filesystem::path& path, SettingsRecord& record);

  // The name a save goes to: ".cfg" appended unless the chosen name already contains it
  // anywhere (case-sensitive), so "a.cfg.old" stays and "b.CFG" becomes "b.CFG.cfg".
  static std::string nameForSaving(std::string_view chosen);

  // A load takes only names that contain ".cfg" somewhere (case-sensitive).
  static bool isLoadableName(std::string_view chosen);
};

}  // namespace orsa::settings
