// Firmware update figures: a 256 KiB image at full speed, and a 32 KiB image with the simulated
// beacon throttled to the real line rate, compared with what 9600 baud allows.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "firmware/MCUpdateThread.h"
#include "support/SimRig.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

fs::path makeImage(std::size_t payload) {
  fs::path path = fs::temp_directory_path() / ("orsa-bench-" + std::to_string(::getpid()) + ".fmw");
  std::ofstream out(path, std::ios::binary);
  for (std::size_t i = 0; i < payload + 15; ++i) out.put(static_cast<char>(i * 13));
  return path;
}

void runUpdate(benchmark::State& state, std::size_t payload, unsigned baud) {
  orsa::sim::FaultPlan plan;
  if (baud) plan.throttle(baud);
  orsa::testing::SimRig rig(plan);
  fs::path image = makeImage(payload);
  double seconds = 0;
  for (auto _ : state) {
    orsa::firmware::MCUpdateThread update(rig.link(), {});
    update.firmwarePath = image.string();
    auto start = Clock::now();
    update.start();
    update.join();
    seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (update.resultCode != 3) state.SkipWithError(update.messageText.c_str());
  }
  fs::remove(image);
  state.counters["seconds"] = seconds;
  state.counters["KiB_per_s"] = static_cast<double>(payload) / 1024.0 / seconds;
  if (baud) {
    // Every frame byte and every acknowledgement byte crosses the line at baud/10 bytes per second.
    const std::size_t blocks = (payload + 2047) / 2048;
    const double lineBytes = 9.0 + 1.0 + static_cast<double>(blocks) * 10.0 + static_cast<double>(payload);
    const double limit = lineBytes / (baud / 10.0);
    state.counters["line_limit_s"] = limit;
    state.counters["over_limit_percent"] = 100.0 * (seconds - limit) / limit;
  }
}

void Update256KiBFullSpeed(benchmark::State& state) { runUpdate(state, 256 * 1024, 0); }
BENCHMARK(Update256KiBFullSpeed)->Iterations(1)->Unit(benchmark::kMillisecond);

void Update32KiBAt9600Baud(benchmark::State& state) { runUpdate(state, 32 * 1024, 9600); }
BENCHMARK(Update32KiBAt9600Baud)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
