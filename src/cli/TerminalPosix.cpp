#include <sys/ioctl.h>
#include <unistd.h>

#include "cli/Terminal.h"

namespace orsa::cli {

void prepareConsole() {}

bool standardErrorIsTerminal() { return isatty(STDERR_FILENO) != 0; }

std::optional<std::size_t> standardOutputColumns() {
  winsize size{};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) return std::nullopt;
  return size.ws_col;
}

}  // namespace orsa::cli
