#include "firmware/GPSUpdateThread.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "support/SimRig.h"

namespace orsa::firmware {
namespace {

using namespace std::chrono_literals;
using orsa::testing::SimRig;
namespace fs = std::filesystem;

constexpr std::uint8_t kGnssOn = 4;
constexpr std::uint8_t kGnssOff = 6;
constexpr std::uint8_t kSetGnssBaud = 7;
constexpr std::uint8_t kGnssData = 9;

using Bytes = std::vector<std::uint8_t>;
using Progress = std::vector<std::pair<std::int32_t, std::int32_t>>;

struct Outcome {
  std::vector<std::string> log;
  Progress progress;
  int enabled = 0;
  std::vector<std::string> boxes;
};

class GnssFlash : public ::testing::Test {
 protected:
  explicit GnssFlash(sim::FaultPlan faults = {}) : rig(std::move(faults)) {}
  void TearDown() override { fs::remove_all(dir); }

  std::string makeFile(const std::string& name, std::size_t size, unsigned seed) {
    fs::create_directories(dir);
    const fs::path path = dir / name;
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i * seed + i / 7 + seed) % 251);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }
  static Bytes contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  Outcome flash(const std::string& loader, const std::string& firmware) {
    Outcome outcome;
    GPSUpdateThread::Callbacks callbacks;
    callbacks.appendLog = [&](const GPSUpdateThread& w) { outcome.log.push_back(w.messageText); };
    callbacks.showProgress = [&](const GPSUpdateThread& w) {
      outcome.progress.emplace_back(w.progressMax, w.progressPosition);
    };
    callbacks.enable = [&](const GPSUpdateThread&) { ++outcome.enabled; };
    callbacks.showResult = [&](const GPSUpdateThread& w) { outcome.boxes.push_back(w.messageText); };
    GPSUpdateThread worker(rig.link(), callbacks);
    worker.loaderPath = loader;
    worker.firmwarePath = firmware;
    worker.quietBeforeConnect = 0ms;
    EXPECT_TRUE(worker.start());
    worker.join();
    succeeded = worker.succeeded();
    return outcome;
  }

  // The data of every GnssData frame, in order.
  std::vector<Bytes> moduleFrames() const {
    std::vector<Bytes> frames;
    for (const auto& f : rig.beacon->trace()) {
      if (f.type == kGnssData) frames.push_back(f.data);
    }
    return frames;
  }
  std::size_t framesOfType(std::uint8_t type) const {
    const auto trace = rig.beacon->trace();
    return static_cast<std::size_t>(
        std::count_if(trace.begin(), trace.end(), [&](const auto& f) { return f.type == type; }));
  }

  SimRig rig;
  fs::path dir = fs::temp_directory_path() / ("orsa-gnss-flash-" + std::to_string(::getpid()));
  bool succeeded = false;
};

class GnssFlashAfterTwoMissedSyncs : public GnssFlash {
 protected:
  GnssFlashAfterTwoMissedSyncs() : GnssFlash(sim::FaultPlan().gnssAnswersSyncFrom(3)) {}
};

TEST_F(GnssFlashAfterTwoMissedSyncs, TheModuleEndsUpHoldingExactlyTheLoaderAndTheFirmware) {
  const std::string loader = makeFile("loader.bin", GPSUpdateThread::kLoaderBytes, 13);
  const std::string firmware = makeFile("firmware.bin", 4097, 29);
  const Outcome outcome = flash(loader, firmware);

  EXPECT_TRUE(succeeded);
  EXPECT_EQ(outcome.log, (std::vector<std::string>{"Переход в режим программирования...",
                                                   "Переключение скорости UART 115200...", "Подготовка GPS модуля...",
                                                   "Запись загрузчика...", "Передача управления загрузчику...",
                                                   "Запись прошивки...", "Прошивка GPS модуля завершена"}));
  EXPECT_EQ(outcome.enabled, 1);
  EXPECT_TRUE(outcome.boxes.empty());
  rig.beacon->withGnssModule([&](const sim::MtkGnssModule& module) {
    EXPECT_EQ(module.loader(), contents(loader));
    EXPECT_EQ(module.firmware(), contents(firmware));
    EXPECT_EQ(module.badPackets(), 0u);
  });

  const std::vector<Bytes> frames = moduleFrames();
  const auto firstSync = std::find(frames.begin(), frames.end(), Bytes{0xA0});
  ASSERT_NE(firstSync, frames.end());
  EXPECT_EQ(std::count(frames.begin(), frames.end(), Bytes{0xA0}), 3) << "two misses, then the handshake goes on";
  EXPECT_EQ(
      std::count(frames.begin(), firstSync, Bytes(std::begin("$PMTK180*3B\r\n"), std::end("$PMTK180*3B\r\n") - 1)), 5);
  // Handshake, address and length, then the loader in 1190 chunks, the last of 2 bytes.
  const auto chunks = firstSync + 3 + 4 + 2;
  ASSERT_GT(frames.end() - chunks, 1190);
  // Each 16-bit word of the low-byte-first file goes out high byte first.
  const Bytes file = contents(loader);
  EXPECT_EQ(chunks[0],
            (Bytes{file[1], file[0], file[3], file[2], file[5], file[4], file[7], file[6], file[9], file[8]}));
  EXPECT_EQ(chunks[1189], (Bytes{file[11891], file[11890]}));
  // The range names the image's first and last byte; three packets of 2048, 2048 and 1 data bytes.
  const auto range = std::find(chunks + 1190, frames.end(), Bytes{0xD3});
  ASSERT_EQ(frames.end() - range, 11);
  EXPECT_EQ(range[2], (Bytes{0, 0, 0, 0}));
  EXPECT_EQ(range[3], (Bytes{0, 0, 0x10, 0x00}));
  EXPECT_EQ(range[5], (Bytes{0, 0, 0x08, 0x00}));
  EXPECT_EQ(range[6].size(), 2050u);
  EXPECT_EQ(range[7].size(), 2050u);
  ASSERT_EQ(range[8].size(), 3u);
  const std::uint16_t lastSum = contents(firmware)[4096];
  EXPECT_EQ(range[8], (Bytes{contents(firmware)[4096], static_cast<std::uint8_t>(lastSum >> 8),
                             static_cast<std::uint8_t>(lastSum)}));
  EXPECT_EQ(std::vector<Bytes>(range + 9, frames.end()), (std::vector<Bytes>{{0xD9}, {0xD9}}));

  // The last frame is sent without a wait for any answer: it may still be on its way.
  auto trace = rig.beacon->trace();
  if (trace.back().type != kSetGnssBaud) {
    rig.beacon->waitForFrames(trace.size() + 1, 2s);
    trace = rig.beacon->trace();
  }
  EXPECT_EQ(trace.back().type, kSetGnssBaud);
  EXPECT_EQ(trace.back().parameter, 9600u);
  // Loader chunks by their offsets, then the packets by theirs, and 0 at the end.
  ASSERT_EQ(outcome.progress.size(), 1190u + 3 + 1);
  EXPECT_EQ(outcome.progress[1], (std::pair<std::int32_t, std::int32_t>{11892, 10}));
  EXPECT_EQ(outcome.progress[1189], (std::pair<std::int32_t, std::int32_t>{11892, 11890}));
  EXPECT_EQ(Progress(outcome.progress.end() - 4, outcome.progress.end()),
            (Progress{{4097, 0}, {4097, 2048}, {4097, 4096}, {4097, 0}}));
}

TEST_F(GnssFlash, FilesThatCannotBeFlashedAreRefusedBeforeTheBeaconHearsAnything) {
  const std::string loader = makeFile("loader.bin", 100, 3);
  const std::string firmware = makeFile("firmware.bin", 100, 5);
  const std::string empty = makeFile("empty.bin", 0, 1);
  const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
      {(dir / "missing.bin").string(), firmware, "Ошибка открытия файла загрузчика"},
      {dir.string(), firmware, "Ошибка открытия файла загрузчика"},
      {loader, (dir / "missing.bin").string(), "Ошибка открытия файла прошивки"},
      {loader, dir.string(), "Ошибка открытия файла прошивки"},
      // An empty image would leave the module with a range ending at FF FF FF FF and nothing in it.
      {loader, empty, "Ошибка открытия файла прошивки: файл пуст"},
  };
  for (const auto& [loaderPath, firmwarePath, message] : cases) {
    const Outcome outcome = flash(loaderPath, firmwarePath);
    EXPECT_EQ(outcome.log, std::vector<std::string>{message}) << loaderPath << " " << firmwarePath;
    EXPECT_EQ(outcome.enabled, 1);
    EXPECT_FALSE(succeeded);
  }
  EXPECT_TRUE(rig.beacon->trace().empty());
}

class GnssFlashWithASilentModule : public GnssFlash {
 protected:
  GnssFlashWithASilentModule() : GnssFlash(sim::FaultPlan().gnssSilentFrom(sim::GnssStage::Sync)) {}
};

TEST_F(GnssFlashWithASilentModule, AHundredUnansweredSyncsEndTheRunAndNothingFollows) {
  const Outcome outcome = flash(makeFile("loader.bin", 100, 3), makeFile("firmware.bin", 100, 5));
  ASSERT_FALSE(outcome.log.empty());
  EXPECT_EQ(outcome.log.back(), "GPS модуль не отвечает");
  EXPECT_EQ(outcome.enabled, 1);
  const std::vector<Bytes> frames = moduleFrames();
  EXPECT_EQ(std::count(frames.begin(), frames.end(), Bytes{0xA0}), 100);
  EXPECT_EQ(frames.back(), Bytes{0xA0});
  EXPECT_EQ(framesOfType(kSetGnssBaud), 1u) << "a failed run leaves the line at 115200";
  EXPECT_EQ(framesOfType(kGnssOff), 1u);
  EXPECT_EQ(framesOfType(kGnssOn), 1u);
}

}  // namespace
}  // namespace orsa::firmware
