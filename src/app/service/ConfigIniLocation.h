#pragma once

#include <filesystem>

namespace orsa::app {

// Where the service window's "config.ini" lives. On Windows beside the executable, where
// technicians have always found and copied it (or in %APPDATA% when that folder may not be
// written). Elsewhere the program's folder is a system one (/usr/bin), so the file goes to the
// user's configuration folder: $XDG_CONFIG_HOME/orsa-configurator, or ~/.config/orsa-configurator
// when that variable is unset or not an absolute path.
std::filesystem::path configIniPath();

}  // namespace orsa::app
