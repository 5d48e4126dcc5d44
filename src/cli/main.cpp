#include <iostream>

#include "cli/Orsactl.h"
#include "cli/Terminal.h"

int main(int argc, char** argv) {
  orsa::cli::prepareConsole();
  std::vector<std::string> args(argv + 1, argv + argc);
  return orsa::cli::runOrsactl(args, std::cout, std::cerr);
}
