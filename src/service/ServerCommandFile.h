#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "settings/AtomicFileWrite.h"

namespace orsa::service {

// The 3-byte file that tells a beacon, through the Wialon server, which operating mode to take.
// The program only writes it.
class ServerCommandFile {
 public:
  static constexpr std::size_t kSize = 3;
  using Image = std::array<std::uint8_t, kSize>;

  // The choices offered to the user (UTF-8), in the order of their mode codes 1 to 3.
  static constexpr std::array<std::string_view, 3> kModeEntries = {
      "Включить  режим \"ПОИСК\"",
      "Включить  режим \"ТЕСТ\"",
      "Включить  режим \"СУТОЧНЫЙ\"",
  };
  static constexpr std::string_view kProposedName = "command.cfg";

  // `modeCode` is 1 to 3, or 0 when no mode is chosen; the byte is written as given.
  static Image encode(std::uint8_t modeCode);

  // "search", "test", "daily" or the code "1" to "3"; nullopt for anything else.
  static std::optional<std::uint8_t> modeCodeOf(std::string_view word);

  // The name a save goes to: the same ".cfg" rule as the settings file, since both share the
  // extension.
  static std::string nameForSaving(std::string_view chosen);

  // Writes the image to `path` (already named by nameForSaving) in one atomic replacement.
  static settings::FileWriteResult save(const std::filesystem::path& path, std::uint8_t modeCode);
};

}  // namespace orsa::service
