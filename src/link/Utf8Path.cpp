#include "link/Utf8Path.h"

namespace orsa::link {

std::filesystem::path utf8Path(std::string_view text) { return std::u8string(text.begin(), text.end()); }

std::string pathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

}  // namespace orsa::link
