// Device link figures: how fast a waiting operation wakes, what a wait costs, and one settings
// read round trip against the in-process simulated beacon.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>
#include <thread>

#include "BenchStats.h"
#include "link/SerialChannel.h"
#include "sim/SimulatedBeacon.h"
#include "support/DeviceEnd.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

void WaitForBytesWakeUpLatency(benchmark::State& state) {
  orsa::testing::DeviceEnd pty;
  orsa::link::SerialChannel channel;
  if (!channel.open(pty.portPath())) {
    state.SkipWithError("cannot open a pseudo-terminal");
    return;
  }
  orsa::bench::Samples samples;
  for (auto _ : state) {
    for (int i = 0; i < 1000; ++i) {
      channel.resetReceive();
      auto start = Clock::now();
      pty.write(std::string(1, '\x01'));
      bool got = channel.waitForBytes(1, 1000);
      samples.add(Clock::now() - start);
      benchmark::DoNotOptimize(got);
    }
  }
  state.counters["median_ms"] = samples.percentile(0.5);
  state.counters["p99_ms"] = samples.percentile(0.99);
}
BENCHMARK(WaitForBytesWakeUpLatency)->Iterations(1)->Unit(benchmark::kMillisecond);

double processCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void CpuWhileWaitingTwoSeconds(benchmark::State& state) {
  orsa::testing::DeviceEnd pty;
  orsa::link::SerialChannel channel;
  if (!channel.open(pty.portPath())) {
    state.SkipWithError("cannot open a pseudo-terminal");
    return;
  }
  double cpuPercent = 0;
  for (auto _ : state) {
    double cpuBefore = processCpuSeconds();
    auto start = Clock::now();
    bool got = channel.waitForBytes(1, 2000);
    double wall = std::chrono::duration<double>(Clock::now() - start).count();
    cpuPercent = 100.0 * (processCpuSeconds() - cpuBefore) / wall;
    benchmark::DoNotOptimize(got);
  }
  state.counters["cpu_percent_of_one_core"] = cpuPercent;
}
BENCHMARK(CpuWhileWaitingTwoSeconds)->Iterations(1)->Unit(benchmark::kMillisecond);

// Opening includes the look through /proc for programs already holding the port; the figure
// grows with the number of open descriptors on the machine, which is reported beside it.
void PortOpenAndClose(benchmark::State& state) {
  orsa::testing::DeviceEnd pty;
  orsa::link::SerialChannel channel;
  orsa::bench::Samples samples;
  for (auto _ : state) {
    for (int i = 0; i < 50; ++i) {
      auto start = Clock::now();
      if (!channel.open(pty.portPath())) state.SkipWithError("cannot open a pseudo-terminal");
      channel.close();
      samples.add(Clock::now() - start);
    }
  }
  state.counters["median_ms"] = samples.percentile(0.5);
  state.counters["p99_ms"] = samples.percentile(0.99);
  std::size_t descriptors = 0;
  std::error_code ec;
  for (std::filesystem::directory_iterator proc("/proc", ec), end; !ec && proc != end; proc.increment(ec)) {
    std::error_code fdError;
    for (std::filesystem::directory_iterator fd(proc->path() / "fd", fdError), fdEnd; !fdError && fd != fdEnd;
         fd.increment(fdError)) {
      ++descriptors;
    }
  }
  state.counters["descriptors_on_machine"] = static_cast<double>(descriptors);
}
BENCHMARK(PortOpenAndClose)->Iterations(1)->Unit(benchmark::kMillisecond);

void SettingsSlotRoundTrip(benchmark::State& state) {
  orsa::sim::SimulatedBeacon beacon;
  orsa::link::SerialChannel channel;
  if (!channel.open(beacon.portPath())) {
    state.SkipWithError("cannot open the simulated beacon");
    return;
  }
  orsa::bench::Samples samples;
  for (auto _ : state) {
    for (int i = 0; i < 500; ++i) {
      auto start = Clock::now();
      channel.sendCommand(orsa::link::CommandType::ReadSettingSlot, 0x08080480);
      bool got = channel.waitForBytes(32, 4000);
      samples.add(Clock::now() - start);
      if (!got) state.SkipWithError("no reply");
    }
  }
  state.counters["median_ms"] = samples.percentile(0.5);
  state.counters["p99_ms"] = samples.percentile(0.99);
}
BENCHMARK(SettingsSlotRoundTrip)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
