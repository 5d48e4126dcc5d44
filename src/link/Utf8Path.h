#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace orsa::link {

// Every path the program holds as text is UTF-8, as all its text is. A std::filesystem::path made
// from or turned into a narrow string would use the system's code page on Windows (Windows-1251 on
// a Russian system): Cyrillic names would not survive the trip. These two make the trip safely.
std::filesystem::path utf8Path(std::string_view text);
std::string pathText(const std::filesystem::path& path);

}  // namespace orsa::link
