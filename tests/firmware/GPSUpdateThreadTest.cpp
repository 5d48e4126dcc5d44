#include "firmware/GPSUpdateThread.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>  // mkfifo
#endif

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "firmware/FirmwareFile.h"
#include "support/BeaconFigures.h"
#include "support/Checked.h"
#include "support/Frames.h"
#include "support/SimRig.h"
#include "support/TempDir.h"
#include "support/TestClock.h"

namespace orsa::firmware {
namespace {

using namespace std::chrono_literals;
using orsa::testing::fileBytes;
using orsa::testing::SimRig;
namespace fs = std::filesystem;

constexpr std::uint8_t kGnssOn = 4;
constexpr std::uint8_t kGnssOff = 6;
constexpr std::uint8_t kSetGnssBaud = 7;
constexpr std::uint8_t kGnssData = 9;

using Bytes = std::vector<std::uint8_t>;
namespace figures = orsa::testing::figures;
// The beacon's side times each frame when it has read it; on a busy machine its thread may read one
// late, and the gap after it then looks that much shorter. Half a pause: a missing pause still shows.
constexpr auto kClockSlack = figures::kGnssCommandPause / 2;
constexpr auto kPauseAtLeast = figures::kGnssCommandPause - kClockSlack;

std::string crcText(const std::vector<std::uint8_t>& bytes) {
  std::array<char, 9> text{};
  std::snprintf(text.data(), text.size(), "%08X", static_cast<unsigned>(crc32(bytes)));
  return text.data();
}
using Progress = std::vector<std::pair<std::int32_t, std::int32_t>>;

struct Outcome {
  std::vector<std::string> log;
  Progress progress;
  int enabled = 0;
  std::vector<std::string> boxes;
};

class GPSUpdateThreadTest : public ::testing::Test {
 protected:
  enum class Time { Real, Test };
  explicit GPSUpdateThreadTest(sim::FaultPlan faults = {}, Time time = Time::Real)
      : rig(std::move(faults), time == Time::Test ? static_cast<link::Clock&>(clock) : link::steadyClock()) {}

  std::string makeFile(const std::string& name, std::size_t size, unsigned seed) {
    const fs::path path = dir / name;
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i * seed + i / 7 + seed) % 251);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }

  Outcome flash(const std::string& loader, const std::string& firmware, bool confirmed = false,
                const std::function<void(GPSUpdateThread&)>& whileRunning = {}) {
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
    worker.unusualFilesConfirmed = confirmed;
    EXPECT_TRUE(worker.start());
    if (whileRunning) whileRunning(worker);
    worker.join();
    succeeded = worker.succeeded();
    releaseBefore = worker.releaseBefore();
    releaseAfter = worker.releaseAfter();
    return outcome;
  }

  // The data of every GnssData frame, in order.
  std::vector<Bytes> moduleFrames() const { return orsa::testing::dataOfType(rig.beacon->trace(), kGnssData); }

  orsa::testing::TestClock clock;
  SimRig rig;
  orsa::testing::TempDir dir{"orsa-gnss-flash-"};
  bool succeeded = false;
  std::string releaseBefore;
  std::string releaseAfter;

  // The frames after the last firmware packet or failure: what the beacon was told to end with.
  std::vector<std::pair<std::uint8_t, std::uint32_t>> closingCommands() const {
    std::vector<std::pair<std::uint8_t, std::uint32_t>> commands;
    for (const auto& f : rig.beacon->trace()) {
      if (f.type != kGnssData) commands.emplace_back(f.type, f.parameter);
    }
    return commands;
  }
  sim::MtkGnssModule::Mode moduleMode() {
    return rig.beacon->withGnssModule([](const sim::MtkGnssModule& m) { return m.mode(); });
  }
};

using Commands = std::vector<std::pair<std::uint8_t, std::uint32_t>>;
// GnssOff, GnssOn, 115200 for the boot ROM; then back to 9600 and the module restarted.
const Commands kWholeRun{{kGnssOff, 0},        {kGnssOn, 0},  {kSetGnssBaud, 115200},
                         {kSetGnssBaud, 9600}, {kGnssOff, 0}, {kGnssOn, 0}};

class GPSUpdateThreadAfterTwoMissedSyncs : public GPSUpdateThreadTest {
 protected:
  GPSUpdateThreadAfterTwoMissedSyncs() : GPSUpdateThreadTest(sim::FaultPlan().gnssAnswersSyncFrom(3)) {}
};

TEST_F(GPSUpdateThreadAfterTwoMissedSyncs, TheModuleEndsUpHoldingExactlyTheLoaderAndTheFirmware) {
  const std::string loader = makeFile("loader.bin", 11892, 13);
  const std::string firmware = makeFile("firmware.bin", 4097, 29);
  // A firmware smaller than the loader is unusual: the run goes ahead only once that was confirmed.
  const Outcome outcome = flash(loader, firmware, true);

  EXPECT_TRUE(succeeded);
  ASSERT_EQ(outcome.log.size(), 11u) << ::testing::PrintToString(outcome.log);
  EXPECT_EQ(outcome.log[0], "Загрузчик " + loader + ": 11892 байт, CRC-32 " + crcText(fileBytes(loader)));
  EXPECT_EQ(outcome.log[1], "Прошивка " + firmware + ": 4097 байт, CRC-32 " + crcText(fileBytes(firmware)));
  EXPECT_EQ(outcome.log[2], "Версия прошивки модуля: AXN_3.8_3333_16071800");
  EXPECT_EQ(std::vector<std::string>(outcome.log.begin() + 3, outcome.log.begin() + 9),
            (std::vector<std::string>{"Переход в режим программирования...", "Переключение скорости UART 115200...",
                                      "Подготовка GPS модуля...", "Запись загрузчика...",
                                      "Передача управления загрузчику...", "Запись прошивки..."}));
  EXPECT_NE(releaseAfter, releaseBefore) << "the module runs the new image";
  EXPECT_EQ(outcome.log[9], "Версия прошивки модуля после прошивки: " + releaseAfter);
  EXPECT_EQ(outcome.log[10], "Прошивка GPS модуля завершена: модуль подтвердил 4097 байт прошивки");
  EXPECT_EQ(outcome.enabled, 1);
  EXPECT_TRUE(outcome.boxes.empty());
  rig.beacon->withGnssModule([&](const sim::MtkGnssModule& module) {
    EXPECT_EQ(module.loader(), fileBytes(loader));
    EXPECT_EQ(module.firmware(), fileBytes(firmware));
    EXPECT_EQ(module.badPackets(), 0u);
  });
  EXPECT_EQ(closingCommands(), kWholeRun) << "acknowledged back to 9600, and restarted into the new image";
  EXPECT_EQ(moduleMode(), sim::MtkGnssModule::Mode::Nmea);

  const auto trace = rig.beacon->trace();
  std::vector<std::size_t> data;  // trace positions of the GnssData frames
  for (std::size_t i = 0; i < trace.size(); ++i) {
    if (trace[i].type == kGnssData) data.push_back(i);
  }
  auto frame = [&](std::size_t n) -> const Bytes& { return trace[data.at(n)].data; };
  auto gapBefore = [&](std::size_t n) { return trace[data.at(n)].receivedAt - trace[data.at(n - 1)].receivedAt; };
  std::size_t firstSync = 0;
  while (firstSync < data.size() && frame(firstSync) != Bytes{0xA0}) ++firstSync;
  ASSERT_LT(firstSync, data.size());
  // Five "$PMTK180*3B" and three "$PMTK251,115200*1F", each followed by 200 ms, right before.
  ASSERT_GE(firstSync, 8u);
  const std::string enter = "$PMTK180*3B\r\n";
  const std::string fast = "$PMTK251,115200*1F\r\n";
  for (std::size_t n = firstSync - 8; n < firstSync; ++n) {
    EXPECT_EQ(frame(n), n < firstSync - 3 ? Bytes(enter.begin(), enter.end()) : Bytes(fast.begin(), fast.end()));
    if (n > firstSync - 8) {
      EXPECT_GE(gapBefore(n), kPauseAtLeast);
    }
  }
  std::size_t syncs = 0;
  for (std::size_t n = firstSync; n < data.size(); ++n) syncs += frame(n) == Bytes{0xA0};
  EXPECT_EQ(syncs, 3u) << "two misses, then the handshake goes on";

  // Handshake, address and length, then the loader in 1190 chunks, the last of 2 bytes.
  const std::size_t chunks = firstSync + 3 + 4 + 2;
  ASSERT_GT(data.size(), chunks + 1190);
  // Each 16-bit word of the low-byte-first file goes out high byte first.
  const Bytes file = fileBytes(loader);
  EXPECT_EQ(frame(chunks),
            (Bytes{file[1], file[0], file[3], file[2], file[5], file[4], file[7], file[6], file[9], file[8]}));
  EXPECT_EQ(frame(chunks + 1189), (Bytes{file[11891], file[11890]}));
  // A4, then a full second before the address is asked again.
  EXPECT_EQ(frame(chunks + 1190), Bytes{0xA4});
  EXPECT_GE(gapBefore(chunks + 1191), figures::kGnssChecksumPause - kClockSlack);

  // The range names the image's first and last byte, each part after 200 ms; three packets of
  // 2048, 2048 and 1 data bytes; D9 twice.
  std::size_t range = chunks + 1190;
  while (range < data.size() && frame(range) != Bytes{0xD3}) ++range;
  ASSERT_LT(range + 10, data.size());
  EXPECT_EQ(frame(range + 1), Bytes{0x01});
  EXPECT_EQ(frame(range + 2), (Bytes{0, 0, 0, 0}));
  EXPECT_EQ(frame(range + 3), (Bytes{0, 0, 0x10, 0x00}));
  EXPECT_EQ(frame(range + 4), Bytes{0xD5});
  EXPECT_EQ(frame(range + 5), (Bytes{0, 0, 0x08, 0x00}));
  // D5 follows the loader's answer to the range at once.
  for (const std::size_t n : {range + 1, range + 2, range + 3, range + 5}) {
    EXPECT_GE(gapBefore(n), kPauseAtLeast) << n - range;
  }
  EXPECT_EQ(frame(range + 6).size(), 2050u);
  EXPECT_EQ(frame(range + 7).size(), 2050u);
  const std::uint8_t lastByte = fileBytes(firmware)[4096];
  const std::uint16_t lastSum = lastByte;
  EXPECT_EQ(frame(range + 8),
            (Bytes{lastByte, static_cast<std::uint8_t>(lastSum >> 8), static_cast<std::uint8_t>(lastSum)}));
  EXPECT_EQ(frame(range + 9), Bytes{0xD9});
  EXPECT_EQ(frame(range + 10), Bytes{0xD9});

  // Loader chunks by their offsets, then the packets by theirs, and 0 at the end.
  ASSERT_EQ(outcome.progress.size(), 1190u + 3 + 1);
  EXPECT_EQ(outcome.progress[1], (std::pair<std::int32_t, std::int32_t>{11892, 10}));
  EXPECT_EQ(outcome.progress[1189], (std::pair<std::int32_t, std::int32_t>{11892, 11890}));
  EXPECT_EQ(Progress(outcome.progress.end() - 4, outcome.progress.end()),
            (Progress{{4097, 0}, {4097, 2048}, {4097, 4096}, {4097, 0}}));
}

TEST_F(GPSUpdateThreadTest, FilesThatCannotBeFlashedAreRefusedWithTheirNameAndReasonBeforeTheBeaconHearsAnything) {
  const std::string loader = makeFile("loader.bin", 11892, 3);
  const std::string firmware = makeFile("firmware.bin", 20000, 5);
  const std::string empty = makeFile("empty.bin", 0, 1);
  const std::string missing = (dir / "missing.bin").string();
  const std::string loaderError = "Ошибка открытия файла загрузчика: ";
  const std::string firmwareError = "Ошибка открытия файла прошивки: ";
  std::vector<std::tuple<std::string, std::string, std::string>> cases = {
      {missing, firmware, loaderError + missing + ": файл не найден"},
      {dir.path().string(), firmware, loaderError + dir.path().string() + ": это папка, а не файл"},
      {empty, firmware, loaderError + empty + ": файл пуст"},
      {loader, missing, firmwareError + missing + ": файл не найден"},
      // An empty image would leave the module with a range ending at FF FF FF FF and nothing in it.
      {loader, empty, firmwareError + empty + ": файл пуст"},
      // The files given the wrong way round: both are unusual, and nothing goes out unconfirmed.
      {firmware, loader,
       "Проверьте файлы, не перепутаны ли они: загрузчик 20000 байт, а обычный — 11892; прошивка (11892 байт) меньше "
       "загрузчика. Запуск не подтверждён, модулю ничего не отправлено"},
  };
#ifndef _WIN32
  const std::string fifo = (dir / "pipe.bin").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  cases.emplace_back(fifo, firmware, loaderError + fifo + ": это не обычный файл (канал или устройство)");
  cases.emplace_back(loader, fifo, firmwareError + fifo + ": это не обычный файл (канал или устройство)");
#endif
  for (const auto& [loaderPath, firmwarePath, message] : cases) {
    const Outcome outcome = flash(loaderPath, firmwarePath);
    EXPECT_EQ(outcome.log, std::vector<std::string>{message}) << loaderPath << " " << firmwarePath;
    EXPECT_EQ(outcome.enabled, 1);
    EXPECT_FALSE(succeeded);
  }
  EXPECT_TRUE(rig.beacon->trace().empty());
}

class GPSUpdateThreadWithASilentModule : public GPSUpdateThreadTest {
 protected:
  // On the test's clock: the pauses pass at once, and each sync's wait runs out once its A0 is out.
  GPSUpdateThreadWithASilentModule()
      : GPSUpdateThreadTest(sim::FaultPlan().gnssSilentFrom(sim::GnssStage::Sync), Time::Test) {}
};

TEST_F(GPSUpdateThreadWithASilentModule, AHundredUnansweredSyncsEndTheRunAndTheModuleIsRecovered) {
  std::mutex lock;
  std::condition_variable synced;
  int syncs = 0;
  rig.beacon->setFrameObserver([&](const sim::FrameRecord& frame) {
    if (frame.type != kGnssData || frame.data != Bytes{0xA0}) return;
    {
      const std::lock_guard guard(lock);
      ++syncs;
    }
    synced.notify_all();
  });
  const Outcome outcome =
      flash(makeFile("loader.bin", 11892, 3), makeFile("firmware.bin", 20000, 5), false, [&](GPSUpdateThread&) {
        for (int n = 1; n <= 100; ++n) {
          std::unique_lock guard(lock);
          const bool sent = synced.wait_for(guard, 10s, [&] { return syncs >= n; });
          guard.unlock();
          if (!sent || !clock.expireNextWait()) {
            ADD_FAILURE() << "no wait for the answer to A0 number " << n;
            clock.passWaits(true);  // lets the run end
            return;
          }
        }
      });
  rig.beacon->setFrameObserver({});
  EXPECT_EQ(clock.timeOuts(), 100u) << "each sync ended by its time-out";
  ASSERT_FALSE(outcome.log.empty());
  EXPECT_EQ(outcome.log.back(),
            "GPS модуль не отвечает; модуль возвращён в обычный режим (9600 бод, питание перезапущено)");
  EXPECT_EQ(outcome.enabled, 1);
  const std::vector<Bytes> frames = moduleFrames();
  EXPECT_EQ(std::count(frames.begin(), frames.end(), Bytes{0xA0}), 100);
  EXPECT_EQ(orsa::testing::last(frames), Bytes{0xA0});
  EXPECT_EQ(closingCommands(), kWholeRun);
  EXPECT_EQ(moduleMode(), sim::MtkGnssModule::Mode::Nmea);
}

class GPSUpdateThreadWithARejectedPacket : public GPSUpdateThreadTest {
 protected:
  explicit GPSUpdateThreadWithARejectedPacket(bool always = false)
      : GPSUpdateThreadTest(sim::FaultPlan().gnssRejectsPacket(2, always)) {}
};

TEST_F(GPSUpdateThreadWithARejectedPacket, ARejectedPacketIsSentAgainAndTheImageArrivesWhole) {
  const std::string firmware = makeFile("firmware.bin", 5 * 2048 + 2000, 29);
  const Outcome outcome = flash(makeFile("loader.bin", 11892, 13), firmware);
  EXPECT_TRUE(succeeded) << ::testing::PrintToString(outcome.log);
  rig.beacon->withGnssModule(
      [&](const sim::MtkGnssModule& module) { EXPECT_EQ(module.firmware(), fileBytes(firmware)); });
  std::size_t packets = 0;
  for (const Bytes& frame : moduleFrames()) packets += frame.size() == 2050;
  EXPECT_EQ(packets, 5u + 1u) << "packet 2 twice";
}

class GPSUpdateThreadWithAPacketAlwaysRejected : public GPSUpdateThreadWithARejectedPacket {
 protected:
  GPSUpdateThreadWithAPacketAlwaysRejected() : GPSUpdateThreadWithARejectedPacket(true) {}
};

TEST_F(GPSUpdateThreadWithAPacketAlwaysRejected, ThreeRefusalsEndTheRunWithThePacketsNumberAndTheModuleIsRecovered) {
  const Outcome outcome = flash(makeFile("loader.bin", 11892, 13), makeFile("firmware.bin", 5 * 2048 + 2000, 29));
  EXPECT_FALSE(succeeded);
  ASSERT_FALSE(outcome.log.empty());
  EXPECT_EQ(outcome.log.back(),
            "Ошибка во время записи прошивки: пакет 2 из 6 отвергнут 3 раза (ответ EE); модуль возвращён в обычный "
            "режим (9600 бод, питание перезапущено)");
  EXPECT_EQ(closingCommands(), kWholeRun);
  EXPECT_EQ(moduleMode(), sim::MtkGnssModule::Mode::Nmea);
}

TEST_F(GPSUpdateThreadTest, UnplugStopAndAnUnacknowledgedSpeedChangeEachSayWhatBecameOfTheModule) {
  const std::string loader = makeFile("loader.bin", 11892, 13);
  const std::string firmware = makeFile("firmware.bin", 20000, 29);
  {
    SCOPED_TRACE("the beacon unplugged during the loader: nothing more can be done, and the message says why");
    rig.beacon->setFaults(sim::FaultPlan().hangUpAfter(40));
    const Outcome outcome = flash(loader, firmware);
    ASSERT_FALSE(outcome.log.empty());
    EXPECT_EQ(outcome.log.back(), "Устройство не подключено: маяк отключён во время прошивки GPS модуля");
    EXPECT_EQ(outcome.enabled, 1);
  }
  {
    SCOPED_TRACE("stopped during the loader, the line at 9600: its last echo must not pass for the beacon's answers");
    SimRig fresh(sim::FaultPlan().throttle(9600));
    std::swap(rig.beacon, fresh.beacon);
    rig.host.setPortChoice(link::PortChoice{false, rig.beacon->portPath()});
    const Outcome outcome = flash(loader, firmware, false, [&](GPSUpdateThread& worker) {
      ASSERT_TRUE(rig.beacon->waitForFrames(60, 20s));
      worker.requestStop();
    });
    ASSERT_FALSE(outcome.log.empty());
    EXPECT_EQ(outcome.log.back(),
              "Прошивка GPS модуля прервана; модуль возвращён в обычный режим (9600 бод, питание перезапущено)");
    EXPECT_EQ(outcome.enabled, 1);
    EXPECT_EQ(moduleMode(), sim::MtkGnssModule::Mode::Nmea);
  }
  {
    SCOPED_TRACE("the final change back to 9600 unacknowledged");
    rig.beacon->setFaults(sim::FaultPlan().dropReply(kSetGnssBaud, 2));
    const Outcome outcome = flash(loader, firmware);
    EXPECT_FALSE(succeeded);
    ASSERT_FALSE(outcome.log.empty());
    EXPECT_EQ(outcome.log.back(),
              "Ошибка на этапе возврата скорости 9600; модуль возвращён в обычный режим (9600 бод, питание "
              "перезапущено)");
  }
}

TEST(GPSUpdateThreadFigures, ChecksumsAndTheModulesReleaseAnswer) {
  // The standard check value of CRC-32, and of the loader packet sum the example "abc" = 01 26.
  const std::string check = "123456789";
  EXPECT_EQ(crc32(std::span(reinterpret_cast<const std::uint8_t*>(check.data()), check.size())), 0xCBF43926u);
  const Bytes abc{0x61, 0x62, 0x63};
  EXPECT_EQ(packetChecksum(abc), 0x0126);
  EXPECT_EQ(loaderChecksum(Bytes{0x12, 0x34, 0xFF, 0x00}), 0xED34);
  EXPECT_EQ(releaseFromAnswer("$GPGGA,...*00\r\n$PMTK705,AXN_3.8_3333_16071800,0004,MT3339,1.0*2C\r\n"),
            "AXN_3.8_3333_16071800");
  EXPECT_EQ(releaseFromAnswer("$PMTK705,AXN_3.8_3333_16071800,0004,MT3339,1.0*00\r\n"), "") << "wrong checksum";
}

}  // namespace
}  // namespace orsa::firmware
