#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

namespace orsa::bench {

// Latency samples in milliseconds; benchmarks report their median and 99th percentile.
struct Samples {
  std::vector<double> ms;

  void add(std::chrono::steady_clock::duration d) {
    ms.push_back(std::chrono::duration<double, std::milli>(d).count());
  }
  double percentile(double p) {
    if (ms.empty()) return 0;
    std::sort(ms.begin(), ms.end());
    auto index = static_cast<std::size_t>(p * static_cast<double>(ms.size() - 1) + 0.5);
    return ms[std::min(index, ms.size() - 1)];
  }
};

}  // namespace orsa::bench
