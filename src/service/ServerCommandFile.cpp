#include "service/ServerCommandFile.h"

#include <span>

#include "settings/SettingsFile.h"

namespace orsa::service {

namespace {

// The first byte tells a command file from a settings file (1) of the same extension.
constexpr std::uint8_t kCommandKind = 2;
constexpr std::uint8_t kCommandVersion = 1;

}  // namespace

ServerCommandFile::Image ServerCommandFile::encode(std::uint8_t modeCode) {
  return {kCommandKind, kCommandVersion, modeCode};
}

std::optional<std::uint8_t> ServerCommandFile::modeCodeOf(std::string_view word) {
  constexpr std::array<std::string_view, 3> kWords = {"search", "test", "daily"};
  for (std::size_t i = 0; i < kWords.size(); ++i) {
    if (word == kWords[i] || word == std::to_string(i + 1)) {
      return static_cast<std::uint8_t>(i + 1);
    }
  }
  return std::nullopt;
}

std::string ServerCommandFile::nameForSaving(std::string_view chosen) {
  return settings::SettingsFile::nameForSaving(chosen);
}

settings::FileWriteResult ServerCommandFile::save(const std::filesystem::path& path, std::uint8_t modeCode) {
  const Image image = encode(modeCode);
  return settings::writeFileAtomically(path, std::span<const std::uint8_t>(image));
}

}  // namespace orsa::service
