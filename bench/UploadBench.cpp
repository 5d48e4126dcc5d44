// Modem file upload figure: 64 KiB in 256-byte chunks with the simulated beacon throttled to the
// real line rate, against its floor: the fixed pauses plus every byte of the chunk exchanges on the
// line at 9600 baud.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <mutex>

#include "service/ServiceThread.h"
#include "support/SimRig.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;
using orsa::service::ServiceThread;

constexpr std::size_t kFileSize = 64 * 1024;
constexpr std::size_t kChunk = 256;
constexpr unsigned kBaud = 9600;
const std::string kName = "BENCH.AMR";

void UploadAt9600Baud(benchmark::State& state) {
  orsa::testing::SimRig rig;
  std::mutex replyLock;
  {
    ServiceThread start(rig.link(), replyLock, {});
    start.mode = ServiceThread::kModemOn;  // echo off, as before any upload
    start.start();
    start.join();
  }
  rig.beacon->setFaults(orsa::sim::FaultPlan().throttle(kBaud));

  const fs::path folder = fs::temp_directory_path() / ("orsa-bench-upload-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  {
    std::ofstream out(folder / kName, std::ios::binary);
    for (std::size_t i = 0; i < kFileSize; ++i) out.put(static_cast<char>(i * 7));
  }
  std::error_code error;
  orsa::service::UploadList list = orsa::service::scanUploadFolder(folder, error);

  double seconds = 0;
  for (auto _ : state) {
    ServiceThread upload(rig.link(), replyLock, {});
    upload.mode = ServiceThread::kUploadFiles;
    upload.fileList = list.files;
    upload.totalSize = list.totalSize;
    const auto start = Clock::now();
    upload.start();
    upload.join();
    seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (!upload.reachedAim()) state.SkipWithError(upload.messageText.c_str());
  }
  fs::remove_all(folder);

  // Pauses: wake-up, delete, one free-memory query, wake-up, create, the second query; 100 ms each.
  const double pauses = 6 * 0.1;
  // Each chunk: the write command frame and the chunk frame out, "\r\n>" and "\r\nOK\r\n" back.
  const std::size_t chunks = kFileSize / kChunk;
  const std::string command = "AT+FSWRITE=C:\\" + kName + ",1," + std::to_string(kChunk) + ",1000\r\n";
  // The file's size asked before and after: the command out, "+FSFLSIZE: N" and OK back.
  const std::string sizeCommand = "AT+FSFLSIZE=C:\\" + kName + "\r\n";
  const std::string sizeAnswer = "\r\n+FSFLSIZE: " + std::to_string(kFileSize) + "\r\n\r\nOK\r\n";
  const double sizeQueries = 2.0 * (9.0 + static_cast<double>(sizeCommand.size() + sizeAnswer.size()));
  const double lineBytes = static_cast<double>(chunks) * (9.0 + static_cast<double>(command.size()) + 3.0 + 9.0 +
                                                          static_cast<double>(kChunk) + 6.0) +
                           sizeQueries;
  const double floor = pauses + lineBytes / (kBaud / 10.0);
  state.counters["seconds"] = seconds;
  state.counters["floor_s"] = floor;
  state.counters["ratio_to_floor"] = seconds / floor;
}
BENCHMARK(UploadAt9600Baud)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
