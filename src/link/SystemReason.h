#pragma once

#include <string>
#include <system_error>

namespace orsa::link {

// Why the system refused a file or device operation, in the program's own language: the reasons a
// user meets (no such file, no access, no room, a folder in the way) in Russian, so a message does not
// switch language halfway; any other as the system words it.
std::string systemReason(const std::error_code& error);

// The same for an errno value.
std::string systemReason(int errorNumber);

}  // namespace orsa::link
