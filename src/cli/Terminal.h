#pragma once

#include <cstddef>
#include <optional>

namespace orsa::cli {

// Makes the console show the program's UTF-8 text and its line redraws; call once at start-up.
// Nothing to do on Linux; on Windows the console's code page and escape sequences are switched.
void prepareConsole();

// True when standard error is a terminal, so progress may redraw its line.
bool standardErrorIsTerminal();

// The width in characters of the terminal standard output goes to; nothing when it is not one.
std::optional<std::size_t> standardOutputColumns();

}  // namespace orsa::cli
