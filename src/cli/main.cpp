#include <iostream>

#include "cli/Orsactl.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return orsa::cli::runOrsactl(args, std::cout, std::cerr);
}
