#include <windows.h>

#include "cli/Terminal.h"

namespace orsa::cli {

namespace {

bool isConsole(DWORD which) {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(which), &mode) != 0;
}

void enableEscapeSequences(DWORD which) {
  HANDLE handle = GetStdHandle(which);
  DWORD mode = 0;
  if (GetConsoleMode(handle, &mode)) SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

}  // namespace

void prepareConsole() {
  // The program's text is UTF-8; the console's own code page would show it as mojibake.
  SetConsoleOutputCP(CP_UTF8);
  enableEscapeSequences(STD_OUTPUT_HANDLE);
  enableEscapeSequences(STD_ERROR_HANDLE);
}

bool standardErrorIsTerminal() { return isConsole(STD_ERROR_HANDLE); }

std::optional<std::size_t> standardOutputColumns() {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info)) return std::nullopt;
  const int columns = info.srWindow.Right - info.srWindow.Left + 1;
  if (columns <= 0) return std::nullopt;
  return static_cast<std::size_t>(columns);
}

}  // namespace orsa::cli
