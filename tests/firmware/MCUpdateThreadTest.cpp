#include "firmware/MCUpdateThread.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/SimRig.h"

namespace orsa::firmware {
namespace {

using namespace std::chrono_literals;
using orsa::testing::SimRig;
namespace fs = std::filesystem;

constexpr std::uint8_t kErase = 10;
constexpr std::uint8_t kBlock = 11;

struct Outcome {
  std::vector<std::pair<std::int32_t, std::int32_t>> progress;  // max, position
  std::vector<std::pair<std::int32_t, std::string>> results;
};

class FirmwareUpdate : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const auto& file : files) fs::remove(file);
  }

  // A .fmw file: a 15-byte header the update must never send, then `payloadSize` bytes.
  std::string makeFile(std::size_t payloadSize, const std::string& name = "image.fmw") {
    fs::path path = fs::temp_directory_path() / (std::to_string(::getpid()) + "-" + name);
    std::ofstream out(path, std::ios::binary);
    out << std::string(15, '\xAA');
    payload.resize(payloadSize);
    for (std::size_t i = 0; i < payloadSize; ++i) payload[i] = static_cast<std::uint8_t>((i * 31 + 7) % 251);
    out.write(reinterpret_cast<const char*>(payload.data()), static_cast<std::streamsize>(payload.size()));
    files.push_back(path);
    return path.string();
  }

  Outcome update(const std::string& path) {
    Outcome outcome;
    MCUpdateThread::Callbacks callbacks;
    callbacks.showProgress = [&](const MCUpdateThread& u) {
      outcome.progress.emplace_back(u.progressMax, u.progressPosition);
    };
    callbacks.showResult = [&](const MCUpdateThread& u) { outcome.results.emplace_back(u.resultCode, u.messageText); };
    MCUpdateThread worker(rig.link(), callbacks);
    worker.firmwarePath = path;
    EXPECT_TRUE(worker.start());
    worker.join();
    return outcome;
  }

  std::vector<std::pair<std::uint8_t, std::uint32_t>> framesSent() const {
    std::vector<std::pair<std::uint8_t, std::uint32_t>> frames;
    for (const auto& f : rig.beacon->trace()) frames.emplace_back(f.type, f.parameter);
    return frames;
  }

  SimRig rig;
  std::vector<std::uint8_t> payload;
  std::vector<fs::path> files;
};

using Frames = std::vector<std::pair<std::uint8_t, std::uint32_t>>;

TEST(FirmwareFileName, FmwIsAppendedUnlessTheNameHoldsItAnywhere) {
  EXPECT_EQ(firmwareFileName("/tmp/image"), "/tmp/image.fmw");
  EXPECT_EQ(firmwareFileName("/tmp/image.fmw"), "/tmp/image.fmw");
  EXPECT_EQ(firmwareFileName("/tmp/a.fmw.old"), "/tmp/a.fmw.old");
  EXPECT_EQ(firmwareFileName("/tmp/IMAGE.FMW"), "/tmp/IMAGE.FMW.fmw");
}

TEST_F(FirmwareUpdate, TwoFullBlocksGoToConsecutiveAddressesAfterOneErase) {
  Outcome outcome = update(makeFile(4096));
  EXPECT_EQ(framesSent(), (Frames{{kErase, 0}, {kBlock, 0x08006400}, {kBlock, 0x08006C00}}));
  EXPECT_EQ(outcome.progress, (std::vector<std::pair<std::int32_t, std::int32_t>>{{4096, 2048}, {4096, 4096}}));
  ASSERT_EQ(outcome.results.size(), 1u);
  EXPECT_EQ(outcome.results[0], (std::pair<std::int32_t, std::string>{3, "Прошивка успешно обновлена"}));
  EXPECT_EQ(rig.beacon->flashImage(payload.size()), payload) << "the header is never sent, the payload unchanged";
  EXPECT_EQ(rig.beacon->eraseCount(), 1u);
  EXPECT_TRUE(rig.channel.isOpen()) << "a connected run leaves the channel for the next connection";
}

TEST_F(FirmwareUpdate, ShortLastBlockAndEmptyPayload) {
  update(makeFile(2049));
  auto trace = rig.beacon->trace();
  ASSERT_EQ(trace.size(), 3u);
  EXPECT_EQ(trace[1].data.size(), 2048u);
  EXPECT_EQ(trace[2].parameter, 0x08006C00u);
  EXPECT_EQ(trace[2].data.size(), 1u);
  EXPECT_EQ(rig.beacon->flashImage(payload.size()), payload);

  rig.beacon->clearTrace();
  Outcome outcome = update(makeFile(0, "empty.fmw"));
  trace = rig.beacon->trace();
  ASSERT_EQ(trace.size(), 2u) << "the block step runs once even for an empty payload";
  EXPECT_EQ(trace[1].type, kBlock);
  EXPECT_EQ(trace[1].parameter, 0x08006400u);
  EXPECT_TRUE(trace[1].data.empty());
  ASSERT_EQ(outcome.results.size(), 1u);
  EXPECT_EQ(outcome.results[0].first, 3);
}

TEST_F(FirmwareUpdate, UnreadableOrHeaderlessFilesAreRefusedBeforeAnythingIsSent) {
  for (const std::string& path : {std::string("/nonexistent/image.fmw"), makeFile(0, "tiny.fmw")}) {
    if (path.find("tiny") != std::string::npos) fs::resize_file(path, 14);
    Outcome outcome = update(path);
    ASSERT_EQ(outcome.results.size(), 1u) << path;
    EXPECT_EQ(outcome.results[0], (std::pair<std::int32_t, std::string>{4, "Ошибка открытия файла прошивки"}));
    EXPECT_TRUE(rig.beacon->trace().empty()) << path;
  }
}

TEST_F(FirmwareUpdate, NoAnswerToTheEraseSendsNoBlock) {
  rig.beacon->setFaults(sim::FaultPlan().dropReply(kErase, 1));
  const auto start = std::chrono::steady_clock::now();
  Outcome outcome = update(makeFile(4096));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 10000ms);
  EXPECT_EQ(framesSent(), (Frames{{kErase, 0}}));
  ASSERT_EQ(outcome.results.size(), 1u);
  EXPECT_EQ(outcome.results[0], (std::pair<std::int32_t, std::string>{4, "Ошибка на этапе очистки FLASH"}));
}

TEST_F(FirmwareUpdate, NoAnswerToABlockEndsTheUpdateAndANewOneMayStartAtOnce) {
  rig.beacon->setFaults(sim::FaultPlan().dropReply(kBlock, 2));
  Outcome failed = update(makeFile(3 * 2048));
  EXPECT_EQ(framesSent(), (Frames{{kErase, 0}, {kBlock, 0x08006400}, {kBlock, 0x08006C00}}));
  ASSERT_EQ(failed.results.size(), 1u);
  EXPECT_EQ(failed.results[0], (std::pair<std::int32_t, std::string>{4, "Ошибка во время записи прошивки"}));

  rig.beacon->setFaults({});
  rig.beacon->clearTrace();
  Outcome retried = update(files.back().string());
  ASSERT_EQ(retried.results.size(), 1u);
  EXPECT_EQ(retried.results[0].first, 3);
  EXPECT_EQ(rig.beacon->flashImage(payload.size()), payload);
}

TEST_F(FirmwareUpdate, AnyAcknowledgementByteCounts) {
  rig.beacon->setFaults(sim::FaultPlan()
                            .garbageReply(kErase, sim::FaultPlan::everyFrame)
                            .garbageReply(kBlock, sim::FaultPlan::everyFrame));
  Outcome outcome = update(makeFile(100));
  ASSERT_EQ(outcome.results.size(), 1u);
  EXPECT_EQ(outcome.results[0].first, 3);
}

TEST_F(FirmwareUpdate, AbsentBeaconIsReportedAndTheChannelClosed) {
  rig.unplug();
  Outcome outcome = update(makeFile(100));
  ASSERT_EQ(outcome.results.size(), 1u);
  EXPECT_EQ(outcome.results[0], (std::pair<std::int32_t, std::string>{4, "Устройство не подключено"}));
  EXPECT_FALSE(rig.channel.isOpen());
  EXPECT_TRUE(rig.beacon->trace().empty());
}

TEST_F(FirmwareUpdate, AStopBeforeTheEraseLeavesTheBeaconUntouched) {
  MCUpdateThread worker(rig.link(), {});
  worker.firmwarePath = makeFile(100);
  worker.requestStop();  // the window closed while the update was starting
  ASSERT_TRUE(worker.start());
  worker.join();
  rig.channel.close();  // a frame handed to the channel would go out now
  EXPECT_FALSE(rig.beacon->waitForFrames(1, 300ms));
  EXPECT_EQ(rig.beacon->eraseCount(), 0u);
}

TEST_F(FirmwareUpdate, AFileThatShrinksAfterTheEraseIsReportedAsAnUnfinishedWrite) {
  const std::string path = makeFile(3 * 2048);
  rig.beacon->setFrameObserver([path](const sim::FrameRecord& frame) {
    if (frame.type == kBlock) fs::resize_file(path, 15 + 2048 + 100);
  });
  Outcome outcome = update(path);
  ASSERT_EQ(outcome.results.size(), 1u);
  EXPECT_EQ(outcome.results[0].first, 4);
  EXPECT_EQ(outcome.results[0].second.rfind("Ошибка во время записи прошивки", 0), 0u) << outcome.results[0].second;
  EXPECT_EQ(framesSent(), (Frames{{kErase, 0}, {kBlock, 0x08006400}})) << "nothing of the short read is sent";
}

TEST_F(FirmwareUpdate, SecondUpdateIsRefusedWhileOneRuns) {
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
