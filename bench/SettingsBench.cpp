// Settings exchange figures against the in-process simulated beacon: a full read is 29 mandated
// 100 ms pauses plus the exchanges themselves; a full write has no pauses at all.
#include <benchmark/benchmark.h>

#include <mutex>

#include "settings/RWSettingsThread.h"
#include "support/SimRig.h"

namespace {

using Clock = std::chrono::steady_clock;

void runExchange(benchmark::State& state, std::int32_t mode) {
  orsa::testing::SimRig rig;
  orsa::settings::SettingsRecord record;
  record.RestoreDefaults("+79161234567");
  std::mutex replyLock;
  double seconds = 0;
  for (auto _ : state) {
    orsa::settings::RWSettingsThread worker(rig.link(), record, replyLock, {});
    worker.mode = mode;
    auto start = Clock::now();
    worker.start();
    worker.join();
    seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (worker.resultCode == orsa::link::kResultFailure) state.SkipWithError(worker.messageText.c_str());
  }
  state.counters["seconds"] = seconds;
  if (mode == orsa::settings::RWSettingsThread::kReadMode) {
    state.counters["over_pauses_percent"] = 100.0 * (seconds - 2.9) / 2.9;
  }
}

void FullSettingsRead(benchmark::State& state) { runExchange(state, orsa::settings::RWSettingsThread::kReadMode); }
BENCHMARK(FullSettingsRead)->Iterations(3)->Unit(benchmark::kMillisecond);

void FullSettingsWrite(benchmark::State& state) { runExchange(state, orsa::settings::RWSettingsThread::kWriteMode); }
BENCHMARK(FullSettingsWrite)->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace
