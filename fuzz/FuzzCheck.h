#pragma once

#include <cstdio>
#include <cstdlib>

// A broken promise of a parser is a finding like a crash: say which one and abort, so libFuzzer keeps the input.
inline void fuzzCheck(bool holds, const char* promise) {
  if (!holds) {
    std::fprintf(stderr, "broken promise: %s\n", promise);
    std::abort();
  }
}
