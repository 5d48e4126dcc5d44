#include <gtest/gtest.h>

#include <cstring>
#include <iostream>

#include "reliability/FaultCell.h"

// `--markdown` prints the matrix as the documentation shows it, instead of running it.
int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--markdown") == 0) {
      std::cout << orsa::reliability::markdownTable();
      return 0;
    }
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
