// Window figures: time from process start to the window shown, and how late the window's event
// loop runs while a settings read of a beacon at 9600 baud is in progress.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "BenchStats.h"
#include "ConfiguratorWindows.h"
#include "QtDialogService.h"
#include "SettingsCommands.h"
#include "sim/SimulatedBeacon.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

std::string configuratorPath;

void StartUpToWindowShown(benchmark::State& state) {
  orsa::bench::Samples samples;
  for (auto _ : state) {
    for (int run = 0; run < 15; ++run) {
      char* argv[] = {configuratorPath.data(), const_cast<char*>("--exit-when-shown"), nullptr};
      auto start = Clock::now();
      pid_t pid = 0;
      if (posix_spawn(&pid, configuratorPath.c_str(), nullptr, nullptr, argv, environ) != 0) {
        state.SkipWithError("cannot start orsa-configurator");
        return;
      }
      int status = 0;
      waitpid(pid, &status, 0);
      samples.add(Clock::now() - start);
      if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("orsa-configurator failed");
    }
  }
  // Includes tearing the program down again, so it bounds the time to the window from above.
  state.counters["median_ms"] = samples.percentile(0.5);
  state.counters["max_ms"] = samples.percentile(1.0);
}
BENCHMARK(StartUpToWindowShown)->Iterations(1)->Unit(benchmark::kMillisecond);

void EventLoopDelayDuringARead(benchmark::State& state) {
  orsa::sim::SimulatedBeacon beacon(orsa::sim::FaultPlan().throttle(9600));
  orsa::app::QtDialogService dialogs;
  orsa::app::ConfiguratorWindows windows(dialogs);
  orsa::app::TForm1& form1 = windows.form1;
  form1.enterDemoMode(QString::fromStdString(beacon.portPath()));
  form1.show();

  orsa::bench::Samples lateness;
  for (auto _ : state) {
    constexpr int kTickMs = 10;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QElapsedTimer sinceLast;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
      lateness.ms.push_back(std::max(0.0, static_cast<double>(sinceLast.nsecsElapsed()) / 1e6 - kTickMs));
      sinceLast.restart();
      if (!form1.settingsCommands().busy()) QApplication::quit();
    });
    form1.settingsCommands().read();
    sinceLast.start();
    ticker.start(kTickMs);
    QApplication::exec();
  }
  state.counters["ticks"] = static_cast<double>(lateness.ms.size());
  state.counters["median_late_ms"] = lateness.percentile(0.5);
  state.counters["p99_late_ms"] = lateness.percentile(0.99);
  state.counters["max_late_ms"] = lateness.percentile(1.0);
}
BENCHMARK(EventLoopDelayDuringARead)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  configuratorPath = ORSA_CONFIGURATOR_PATH;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
