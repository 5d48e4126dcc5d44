#pragma once

#include <QString>

#include <filesystem>

namespace orsa::app {

// A file name from a dialog or a field as the file system's own path: through UTF-16, so that on
// Windows a name outside the ANSI code page opens too (std::string would be read as ANSI there).
inline std::filesystem::path localPath(const QString& name) { return std::filesystem::path(name.toStdU16String()); }

}  // namespace orsa::app
