// The production line: `orsactl write` and `orsactl firmware` on 8 simulated beacons at once
// against the same on one. Each beacon has its own line at 9600 baud, as on a bench of USB ports;
// the goal is 8 beacons in at most 1.2 times the time of one.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "cli/Orsactl.h"
#include "sim/SimulatedBeacon.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double runOn(int beacons, const std::vector<std::string>& command) {
  std::vector<std::unique_ptr<orsa::sim::SimulatedBeacon>> sims;
  std::vector<std::string> args;
  for (int i = 0; i < beacons; ++i) {
    sims.push_back(std::make_unique<orsa::sim::SimulatedBeacon>(orsa::sim::FaultPlan().throttle(9600)));
    args.insert(args.end(), {"--port", sims.back()->portPath()});
  }
  args.insert(args.end(), command.begin(), command.end());
  std::ostringstream out, err;
  const auto start = Clock::now();
  const int status = orsa::cli::runOrsactl(args, out, err);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return status == 0 ? seconds : -1;
}

void compare(benchmark::State& state, const std::vector<std::string>& command) {
  double one = 0;
  double eight = 0;
  for (auto _ : state) {
    one = runOn(1, command);
    eight = runOn(8, command);
  }
  if (one < 0 || eight < 0) state.SkipWithError("a run failed");
  state.counters["one_s"] = one;
  state.counters["eight_s"] = eight;
  state.counters["ratio"] = eight / one;
}

void WriteOnEightBeaconsAgainstOne(benchmark::State& state) {
  compare(state, {"write", "--set", "DevicePin=1234", "--yes"});
}
BENCHMARK(WriteOnEightBeaconsAgainstOne)->Iterations(1)->Unit(benchmark::kMillisecond);

void FirmwareOnEightBeaconsAgainstOne(benchmark::State& state) {
  const fs::path image = fs::temp_directory_path() / ("orsa-bench-line-" + std::to_string(::getpid()) + ".fmw");
  {
    std::ofstream file(image, std::ios::binary);
    for (int i = 0; i < 15 + 8 * 1024; ++i) file.put(static_cast<char>(i * 31));
  }
  compare(state, {"firmware", image.string()});
  fs::remove(image);
}
BENCHMARK(FirmwareOnEightBeaconsAgainstOne)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
