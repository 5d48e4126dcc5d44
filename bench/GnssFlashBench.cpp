// GNSS module flash figures: the whole run against the simulated module with the line throttled
// to 115200 baud, compared with its floor: the run's fixed pauses plus the time its bytes need on
// the line for every step that waits for an answer.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "firmware/GPSUpdateThread.h"
#include "support/SimRig.h"

namespace {

using Clock = std::chrono::steady_clock;
using orsa::firmware::GPSUpdateThread;
namespace fs = std::filesystem;

fs::path makeFile(const std::string& name, std::size_t size) {
  fs::path path = fs::temp_directory_path() / ("orsa-bench-" + std::to_string(::getpid()) + "-" + name);
  std::ofstream out(path, std::ios::binary);
  for (std::size_t i = 0; i < size; ++i) out.put(static_cast<char>(i * 7 + i / 251));
  return path;
}

// Bytes that cross the line while the run waits: each awaited frame (9 header bytes and its data)
// and the answer it waits for. Sends followed by a fixed pause travel within the pause.
double awaitedLineBytes(std::size_t firmware) {
  const auto frame = [](double data) { return 9.0 + data; };
  const std::string query = "$PMTK605*31\r\n";
  const std::string release = "$PMTK705,AXN_3.8_3333_16071800,0004,MT3339,1.0*2C\r\n";
  const double releaseQuestion = frame(static_cast<double>(query.size())) + static_cast<double>(release.size());
  double bytes = 3 * (frame(0) + 1);                    // module off, on, line to 115200
  bytes += 2 * releaseQuestion;                         // the release before and after
  bytes += 3 * (frame(0) + 1);                          // line back to 9600 (answered), module off, on
  bytes += 5 * (frame(1) + 1);                          // A0 answered at once, 0A, 50, 05, A1
  bytes += 2 * (frame(4) + 4);                          // loader address and length, echoed
  bytes += 1189 * (frame(10) + 10) + frame(2) + 2;      // the loader, echoed
  bytes += frame(1) + 1 + frame(4) + 4 + frame(4) + 6;  // A4, address, length and checksum
  bytes += frame(1) + 1 + frame(4) + 24;                // A8, address and the loader's greeting
  bytes += frame(4) + 2 + frame(4) + 2;                 // the range's end and the packet size, answered
  for (std::size_t left = firmware; left > 0; left -= std::min<std::size_t>(left, 2048)) {
    bytes += frame(static_cast<double>(std::min<std::size_t>(left, 2048)) + 2) + 1;
  }
  return bytes;
}

// 50 + 50 after the power frames (twice), 8 texts, the loader check, 3 + 2 loader steps, 2 x D9.
constexpr double kFixedPauses = 2 * (0.050 + 0.050) + 8 * 0.200 + 1.000 + 5 * 0.200 + 2 * 0.200;

void FlashGnssModule32KiBAt115200Baud(benchmark::State& state) {
  constexpr unsigned kBaud = 115200;
  constexpr std::size_t kFirmware = 32 * 1024;
  orsa::testing::SimRig rig(orsa::sim::FaultPlan().throttle(kBaud));
  const fs::path loader = makeFile("loader.bin", GPSUpdateThread::kLoaderBytes);
  const fs::path firmware = makeFile("firmware.bin", kFirmware);
  double seconds = 0;
  for (auto _ : state) {
    GPSUpdateThread flash(rig.link(), {});
    flash.loaderPath = loader.string();
    flash.firmwarePath = firmware.string();
    flash.quietBeforeConnect = std::chrono::milliseconds(0);  // the window's wait, not the run's
    const auto start = Clock::now();
    flash.start();
    flash.join();
    seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (!flash.succeeded()) state.SkipWithError("the flash failed");
  }
  fs::remove(loader);
  fs::remove(firmware);
  const double floor = kFixedPauses + awaitedLineBytes(kFirmware) / (kBaud / 10.0);
  state.counters["seconds"] = seconds;
  state.counters["floor_s"] = floor;
  state.counters["ratio_to_floor"] = seconds / floor;
}
BENCHMARK(FlashGnssModule32KiBAt115200Baud)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
