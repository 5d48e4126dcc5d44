#include <unistd.h>

#include "cli/Terminal.h"

namespace orsa::cli {

void prepareConsole() {}

bool standardErrorIsTerminal() { return isatty(STDERR_FILENO) != 0; }

}  // namespace orsa::cli
