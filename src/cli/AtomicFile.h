#pragma once

#include <string>
#include <string_view>

namespace orsa::cli {

// Writes through a temporary file beside `path` and renames it into place, so readers see the old
// file or the whole new one, never a part. Returns an empty text on success, else the reason.
std::string writeFileAtomically(const std::string& path, std::string_view content);

// Reads a whole file of at most `maxBytes`; throws std::runtime_error with the reason otherwise.
std::string readSmallFile(const std::string& path, std::size_t maxBytes);

}  // namespace orsa::cli
