#pragma once

#include <filesystem>

namespace orsa::settings {

// A fresh name in the target's own folder (so a rename onto the target stays within one file
// system): the target's name with a random suffix ending in ".tmp".
std::filesystem::path temporaryNameBeside(const std::filesystem::path& target);

}  // namespace orsa::settings
