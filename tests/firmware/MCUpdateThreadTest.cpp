#include "firmware/MCUpdateThread.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>  // mkfifo
#endif

#include <filesystem>
#include <fstream>
#include <functional>

#include "support/BeaconFigures.h"
#include "support/Checked.h"
#include "support/SimRig.h"
#include "support/TempDir.h"
#include "support/TestClock.h"

namespace orsa::firmware {
namespace {

using namespace std::chrono_literals;
using orsa::testing::SimRig;
using orsa::testing::TestClock;
namespace fs = std::filesystem;
namespace figures = orsa::testing::figures;

constexpr std::uint8_t kErase = 10;
constexpr std::uint8_t kBlock = 11;

struct UpdateOutcome {
  std::vector<std::pair<std::int32_t, std::int32_t>> progress;  // max, position
  std::vector<std::pair<std::int32_t, std::string>> results;
};

class MCUpdateThreadTest : public ::testing::Test {
 protected:
  // A .fmw file: a 15-byte header the update must never send, then `payloadSize` bytes.
  std::string makeFile(std::size_t payloadSize, const std::string& name = "image.fmw") {
    const fs::path path = dir / name;
    std::ofstream out(path, std::ios::binary);
    out << std::string(15, '\xAA');
    payload.resize(payloadSize);
    for (std::size_t i = 0; i < payloadSize; ++i) payload[i] = static_cast<std::uint8_t>((i * 31 + 7) % 251);
    out.write(reinterpret_cast<const char*>(payload.data()), static_cast<std::streamsize>(payload.size()));
    return path.string();
  }

  // Runs an update to its end; `meanwhile` runs on the test's thread while it does.
  UpdateOutcome update(const std::string& path, const std::function<void()>& meanwhile = {}) {
    UpdateOutcome outcome;
    MCUpdateThread::Callbacks callbacks;
    callbacks.showProgress = [&](const MCUpdateThread& u) {
      outcome.progress.emplace_back(u.progressMax, u.progressPosition);
    };
    callbacks.showResult = [&](const MCUpdateThread& u) { outcome.results.emplace_back(u.resultCode, u.messageText); };
    MCUpdateThread worker(rig.link(), callbacks);
    worker.firmwarePath = path;
    EXPECT_TRUE(worker.start());
    if (meanwhile) meanwhile();
    worker.join();
    return outcome;
  }

  std::vector<std::pair<std::uint8_t, std::uint32_t>> framesSent() const {
    std::vector<std::pair<std::uint8_t, std::uint32_t>> frames;
    for (const auto& f : rig.beacon->trace()) frames.emplace_back(f.type, f.parameter);
    return frames;
  }

  // The answers that do not come are waited for on the test's clock, which the test runs out.
  TestClock clock;
  SimRig rig{clock};
  std::vector<std::uint8_t> payload;
  orsa::testing::TempDir dir{"orsa-firmware-"};
};

using Frames = std::vector<std::pair<std::uint8_t, std::uint32_t>>;

TEST(FirmwareFileName, TheNameGivenIsUsedWhenSuchAFileExistsElseFmwIsAppendedUnlessTheNameHoldsIt) {
  EXPECT_EQ(firmwareFileName("/tmp/no-such-image"), "/tmp/no-such-image.fmw");
  EXPECT_EQ(firmwareFileName("/tmp/image.fmw"), "/tmp/image.fmw");
  EXPECT_EQ(firmwareFileName("/tmp/a.fmw.old"), "/tmp/a.fmw.old");
  EXPECT_EQ(firmwareFileName("/tmp/NO-SUCH.FMW"), "/tmp/NO-SUCH.FMW.fmw");
  const orsa::testing::TempDir dir;
  const fs::path existing = dir / "fw.bin";
  std::ofstream(existing) << "x";
  EXPECT_EQ(firmwareFileName(existing.string()), existing.string()) << "not " << existing << ".fmw";
}

TEST_F(MCUpdateThreadTest, TwoFullBlocksGoToConsecutiveAddressesAfterOneErase) {
  UpdateOutcome outcome = update(makeFile(4096));
  EXPECT_EQ(framesSent(), (Frames{{kErase, 0}, {kBlock, 0x08006400}, {kBlock, 0x08006C00}}));
  EXPECT_EQ(outcome.progress, (std::vector<std::pair<std::int32_t, std::int32_t>>{{4096, 2048}, {4096, 4096}}));
  ASSERT_EQ(outcome.results.size(), 1u);
  EXPECT_EQ(outcome.results[0], (std::pair<std::int32_t, std::string>{3, "Прошивка успешно обновлена"}));
  EXPECT_EQ(rig.beacon->flashImage(payload.size()), payload) << "the header is never sent, the payload unchanged";
  EXPECT_EQ(rig.beacon->eraseCount(), 1u);
  EXPECT_TRUE(rig.channel.isOpen()) << "a connected run leaves the channel for the next connection";
}

TEST_F(MCUpdateThreadTest, ShortLastBlockAndEmptyPayload) {
  update(makeFile(2049));
  auto trace = rig.beacon->trace();
  ASSERT_EQ(trace.size(), 3u);
  EXPECT_EQ(trace[1].data.size(), 2048u);
  EXPECT_EQ(trace[2].parameter, 0x08006C00u);
  EXPECT_EQ(trace[2].data.size(), 1u);
  EXPECT_EQ(rig.beacon->flashImage(payload.size()), payload);

  rig.beacon->clearTrace();
  UpdateOutcome outcome = update(makeFile(0, "empty.fmw"));
  trace = rig.beacon->trace();
  ASSERT_EQ(trace.size(), 2u) << "the block step runs once even for an empty payload";
  EXPECT_EQ(trace[1].type, kBlock);
  EXPECT_EQ(trace[1].parameter, 0x08006400u);
  EXPECT_TRUE(trace[1].data.empty());
  ASSERT_EQ(outcome.results.size(), 1u);
  EXPECT_EQ(outcome.results[0].first, 3);
}

TEST_F(MCUpdateThreadTest, FilesThatCannotBeFlashedWholeAreRefusedWithTheirNameAndReason) {
  const std::string tiny = makeFile(0, "tiny.fmw");
  fs::resize_file(tiny, 14);
  // The program's flash ends at 0x08080000, where the settings begin: 498688 bytes from 0x08006400.
  const std::string overSettings = makeFile(498689, "long.fmw");
  const std::string prefix = "Ошибка открытия файла прошивки: ";
  std::vector<std::pair<std::string, std::string>> cases{
      {"/nonexistent/image.fmw", "файл не найден"},
      {tiny, "файл короче своего заголовка (15 байт)"},
      {overSettings, "образ прошивки 498689 байт не помещается в 498688 байт перед областью настроек"},
      {dir.path().string(), "это папка, а не файл"}};
#ifndef _WIN32
  const std::string fifo = (dir / "pipe.fmw").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  cases.emplace_back(fifo, "это не обычный файл (канал или устройство)");
#endif
  for (const auto& [path, reason] : cases) {
    UpdateOutcome outcome = update(path);
    ASSERT_EQ(outcome.results.size(), 1u) << path;
    EXPECT_EQ(outcome.results[0], (std::pair<std::int32_t, std::string>{4, prefix + path + ": " + reason}));
    EXPECT_TRUE(rig.beacon->trace().empty()) << path;
  }
}

TEST_F(MCUpdateThreadTest, AnImageThatFillsTheSpaceBelowTheSettingsIsWrittenWhole) {
  UpdateOutcome outcome = update(makeFile(498688));
  ASSERT_EQ(outcome.results.size(), 1u);
  EXPECT_EQ(outcome.results[0], (std::pair<std::int32_t, std::string>{3, "Прошивка успешно обновлена"}));
  EXPECT_EQ(rig.beacon->flashImage(498688), payload);
  // 243 whole blocks and one of 1024 bytes, which ends right below the settings.
  EXPECT_EQ(orsa::testing::last(framesSent()), (std::pair<std::uint8_t, std::uint32_t>{kBlock, 0x0807FC00}));
}

TEST_F(MCUpdateThreadTest, NoAnswerToTheEraseSendsNoBlock) {
  rig.beacon->setFaults(sim::FaultPlan().dropReply(kErase, 1));
  const auto start = clock.now();
  UpdateOutcome outcome = update(makeFile(4096), [&] {
    ASSERT_TRUE(rig.beacon->waitForFrames(1, 5s));
    EXPECT_TRUE(clock.expireNextWait());
  });
  EXPECT_EQ(clock.timeOuts(), 1u);
  EXPECT_EQ(clock.now() - start, figures::kFirmwareTimeout + TestClock::kPastDeadline) << "the erase's whole time-out";
  EXPECT_EQ(framesSent(), (Frames{{kErase, 0}}));
  ASSERT_EQ(outcome.results.size(), 1u);
  EXPECT_EQ(outcome.results[0], (std::pair<std::int32_t, std::string>{4, "Ошибка на этапе очистки FLASH"}));
}

TEST_F(MCUpdateThreadTest, NoAnswerToABlockEndsTheUpdateAndANewOneMayStartAtOnce) {
  rig.beacon->setFaults(sim::FaultPlan().dropReply(kBlock, 2));
  const std::string image = makeFile(3 * 2048);
  const auto start = clock.now();
  UpdateOutcome failed = update(image, [&] {
    ASSERT_TRUE(rig.beacon->waitForFrames(3, 5s));
    EXPECT_TRUE(clock.expireNextWait());
  });
  EXPECT_EQ(clock.timeOuts(), 1u);
  EXPECT_EQ(clock.now() - start, figures::kFirmwareTimeout + TestClock::kPastDeadline) << "the block's whole time-out";
  EXPECT_EQ(framesSent(), (Frames{{kErase, 0}, {kBlock, 0x08006400}, {kBlock, 0x08006C00}}));
  ASSERT_EQ(failed.results.size(), 1u);
  EXPECT_EQ(failed.results[0],
            (std::pair<std::int32_t, std::string>{4,
                                                  "Ошибка во время записи прошивки: маяк не подтвердил запись, "
                                                  "записано 2048 из 6144 байт. Прошивка записана не полностью, "
                                                  "повторите обновление"}));

  rig.beacon->setFaults({});
  rig.beacon->clearTrace();
  UpdateOutcome retried = update(image);
  ASSERT_EQ(retried.results.size(), 1u);
  EXPECT_EQ(retried.results[0].first, 3);
  EXPECT_EQ(rig.beacon->flashImage(payload.size()), payload);
}

TEST_F(MCUpdateThreadTest, AnyAcknowledgementByteCounts) {
  rig.beacon->setFaults(sim::FaultPlan()
                            .garbageReply(kErase, sim::FaultPlan::everyFrame)
                            .garbageReply(kBlock, sim::FaultPlan::everyFrame));
  UpdateOutcome outcome = update(makeFile(100));
  ASSERT_EQ(outcome.results.size(), 1u);
  EXPECT_EQ(outcome.results[0].first, 3);
}

TEST_F(MCUpdateThreadTest, AbsentBeaconIsReportedAndTheChannelClosed) {
  rig.unplug();
  UpdateOutcome outcome = update(makeFile(100));
  ASSERT_EQ(outcome.results.size(), 1u);
  EXPECT_EQ(outcome.results[0], (std::pair<std::int32_t, std::string>{4, "Устройство не подключено"}));
  EXPECT_FALSE(rig.channel.isOpen());
  EXPECT_TRUE(rig.beacon->trace().empty());
}

TEST_F(MCUpdateThreadTest, AStopBeforeTheEraseLeavesTheBeaconUntouched) {
  MCUpdateThread worker(rig.link(), {});
  worker.firmwarePath = makeFile(100);
  worker.requestStop();  // the window closed while the update was starting
  ASSERT_TRUE(worker.start());
  worker.join();
  rig.channel.close();  // a frame handed to the channel would go out now
  EXPECT_FALSE(rig.beacon->waitForFrames(1, 300ms));
  EXPECT_EQ(rig.beacon->eraseCount(), 0u);
}

TEST_F(MCUpdateThreadTest, TheFileIsReadWholeBeforeTheEraseSoAChangeMeanwhileCannotCutTheImage) {
  const std::string path = makeFile(3 * 2048);
  rig.beacon->setFrameObserver([path](const sim::FrameRecord& frame) {
    if (frame.type == kBlock) fs::resize_file(path, 15 + 2048 + 100);
  });
  UpdateOutcome outcome = update(path);
  ASSERT_EQ(outcome.results.size(), 1u);
  EXPECT_EQ(outcome.results[0].first, 3);
  EXPECT_EQ(rig.beacon->flashImage(3 * 2048), payload);
}

TEST_F(MCUpdateThreadTest, UnplugOrStopMidWriteSaysHowMuchOfTheImageTheBeaconHolds) {
  rig.beacon->setFaults(sim::FaultPlan().hangUpAfter(3));
  UpdateOutcome unplugged = update(makeFile(3 * 2048));
  ASSERT_EQ(unplugged.results.size(), 1u);
  EXPECT_EQ(unplugged.results[0].second,
            "Ошибка во время записи прошивки: маяк отключён, записано 2048 из 6144 байт. Прошивка записана не "
            "полностью, повторите обновление");

  SimRig fresh(sim::FaultPlan().delayReply(kBlock, 2, 300ms));
  MCUpdateThread::Callbacks callbacks;
  std::vector<std::string> results;
  callbacks.showResult = [&](const MCUpdateThread& u) { results.push_back(u.messageText); };
  MCUpdateThread worker(fresh.link(), callbacks);
  worker.firmwarePath = makeFile(3 * 2048);
  ASSERT_TRUE(worker.start());
  ASSERT_TRUE(fresh.beacon->waitForFrames(3, 5s));
  worker.requestStop();
  worker.join();
  EXPECT_EQ(results, std::vector<std::string>{"Обновление прошивки прервано: записано 4096 из 6144 байт. Прошивка "
                                              "записана не полностью, повторите обновление"})
      << "the block on its way when the stop came is acknowledged and counted";
  EXPECT_FALSE(worker.succeeded());
}

TEST_F(MCUpdateThreadTest, SecondUpdateIsRefusedWhileOneRuns) {
  rig.beacon->setFaults(sim::FaultPlan().delayReply(kErase, 1, 500ms));
  MCUpdateThread first(rig.link(), {});
  first.firmwarePath = makeFile(10);
  ASSERT_TRUE(first.start());
  MCUpdateThread second(rig.link(), {});
  second.firmwarePath = first.firmwarePath;
  EXPECT_FALSE(second.start());
  first.join();
  EXPECT_EQ(first.resultCode, 3);
  EXPECT_EQ(rig.beacon->eraseCount(), 1u);
}

}  // namespace
}  // namespace orsa::firmware
