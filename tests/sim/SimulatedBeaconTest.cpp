#include "sim/PtyClient.h"
#include "sim/SimulatedBeacon.h"

#include <gtest/gtest.h>

#include <atomic>
#include <ctime>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace orsa::sim {
namespace {

using namespace std::chrono_literals;
using test::bytesOf;
using test::frameBytes;
using test::PtyClient;
using test::textOf;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t ownerPhone = 0x08080460;
constexpr std::uint32_t deviceImei = 0x080807E0;

std::vector<std::uint8_t> cellBytes(std::string_view text) {
  auto bytes = bytesOf(text);
  bytes.resize(32, 0);
  return bytes;
}

class SimulatedBeaconTest : public ::testing::Test {
 protected:
  SimulatedBeacon beacon;
  PtyClient client{beacon.portPath()};
};

TEST_F(SimulatedBeaconTest, ServesAPseudoTerminal) {
  EXPECT_EQ(beacon.portPath().rfind("/dev/pts/", 0), 0U);
  EXPECT_EQ(::access(beacon.portPath().c_str(), R_OK | W_OK), 0);
  EXPECT_FALSE(beacon.isHungUp());
}

TEST_F(SimulatedBeaconTest, ReadsASettingsCell) {
  ASSERT_TRUE(client.sendFrame(1, deviceImei));
  const auto reply = client.read(32, 2s);
  ASSERT_EQ(reply.size(), 32U);
  EXPECT_EQ(textOf(reply), "866104023456786");
  EXPECT_TRUE(client.readFor(100ms).empty());  // exactly 32 bytes
}

TEST_F(SimulatedBeaconTest, WriteThenReadRoundTrip) {
  ASSERT_TRUE(client.sendFrame(2, ownerPhone, cellBytes("+79161234567")));
  EXPECT_EQ(client.read(1, 2s).size(), 1U);
  const auto stored = beacon.settingsCell(ownerPhone);
  EXPECT_EQ(std::vector<std::uint8_t>(stored.begin(), stored.end()), cellBytes("+79161234567"));
  ASSERT_TRUE(client.sendFrame(1, ownerPhone));
  EXPECT_EQ(client.read(32, 2s), cellBytes("+79161234567"));
}

TEST_F(SimulatedBeaconTest, ShortWriteIsZeroPadded) {
  beacon.setSettingsCell(0x08080480, "ABCDEFGHIJKLMNOP");
  ASSERT_TRUE(client.sendFrame(2, 0x08080480, bytesOf("1234")));
  EXPECT_EQ(client.read(1, 2s).size(), 1U);
  ASSERT_TRUE(client.sendFrame(1, 0x08080480));
  EXPECT_EQ(client.read(32, 2s), cellBytes("1234"));
}

TEST_F(SimulatedBeaconTest, ReadOnlyCellsAcknowledgeAndKeepTheirText) {
  for (const std::uint32_t parameter : {0x080807E0U, 0x080807A0U, 0x080807C0U, 0x080808E0U}) {
    const auto before = beacon.settingsCell(parameter);
    ASSERT_TRUE(client.sendFrame(2, parameter, cellBytes("overwritten")));
    EXPECT_EQ(client.read(1, 2s).size(), 1U) << std::hex << parameter;
    EXPECT_EQ(beacon.settingsCell(parameter), before);
  }
}

TEST_F(SimulatedBeaconTest, SetSettingsCellIsWhatTheClientReads) {
  beacon.setSettingsCell(deviceImei, "351234567890123");
  ASSERT_TRUE(client.sendFrame(1, deviceImei));
  EXPECT_EQ(client.read(32, 2s), cellBytes("351234567890123"));
  EXPECT_THROW(beacon.setSettingsCell(0x08080004, "x"), std::out_of_range);
}

TEST_F(SimulatedBeaconTest, FrameSplitAcrossWritesIsJoined) {
  const auto wire = frameBytes(2, ownerPhone, cellBytes("12345"));
  ASSERT_TRUE(client.send(std::span(wire).first(3)));
  std::this_thread::sleep_for(30ms);
  ASSERT_TRUE(client.send(std::span(wire).subspan(3, 10)));
  std::this_thread::sleep_for(30ms);
  EXPECT_TRUE(client.readFor(30ms).empty());  // nothing answered before the frame is complete
  ASSERT_TRUE(client.send(std::span(wire).subspan(13)));
  EXPECT_EQ(client.read(1, 2s).size(), 1U);
  const auto trace = beacon.trace();
  ASSERT_EQ(trace.size(), 1U);
  EXPECT_EQ(trace[0].type, 2);
  EXPECT_EQ(trace[0].parameter, ownerPhone);
  EXPECT_EQ(trace[0].data, cellBytes("12345"));
}

TEST_F(SimulatedBeaconTest, FramesJoinedInOneWriteAreAnsweredInOrder) {
  auto wire = frameBytes(1, 0x08080480);
  for (const auto& next : {frameBytes(3, 0), frameBytes(8, 0, bytesOf("AT\r\n")), frameBytes(1, 0x08080580)}) {
    wire.insert(wire.end(), next.begin(), next.end());
  }
  ASSERT_TRUE(client.send(wire));
  const auto reply = client.read(32 + 1 + 9 + 32, 2s);
  ASSERT_EQ(reply.size(), 74U);
  EXPECT_EQ(std::vector<std::uint8_t>(reply.begin(), reply.begin() + 32), cellBytes("5820"));
  EXPECT_EQ(std::vector<std::uint8_t>(reply.begin() + 33, reply.begin() + 42), bytesOf("AT\r\r\nOK\r\n"));
  EXPECT_EQ(std::vector<std::uint8_t>(reply.begin() + 42, reply.end()), cellBytes("3"));
  const auto trace = beacon.trace();
  ASSERT_EQ(trace.size(), 4U);
  EXPECT_EQ(trace[1].type, 3);
  EXPECT_EQ(trace[2].data, bytesOf("AT\r\n"));
  for (std::size_t i = 1; i < trace.size(); ++i) {
    EXPECT_LE(trace[i - 1].receivedAt, trace[i].receivedAt);
  }
}

TEST_F(SimulatedBeaconTest, WaitForFramesAndClearTrace) {
  EXPECT_FALSE(beacon.waitForFrames(1, 50ms));
  ASSERT_TRUE(client.sendFrame(4, 0));
  ASSERT_TRUE(client.sendFrame(6, 0));
  EXPECT_TRUE(beacon.waitForFrames(2, 2s));
  beacon.clearTrace();
  EXPECT_TRUE(beacon.trace().empty());
  ASSERT_TRUE(client.sendFrame(5, 0));
  EXPECT_TRUE(beacon.waitForFrames(1, 2s));
  EXPECT_EQ(beacon.trace().at(0).type, 5);
}

TEST_F(SimulatedBeaconTest, EraseThenBlocksAreStoredAtTheirAddresses) {
  std::vector<std::uint8_t> image(4096 + 1);
  for (std::size_t i = 0; i < image.size(); ++i) {
    image[i] = static_cast<std::uint8_t>((i * 31) ^ (i >> 8));
  }
  ASSERT_TRUE(client.sendFrame(10, 0));
  EXPECT_EQ(client.read(1, 2s).size(), 1U);
  for (std::size_t offset = 0; offset < image.size(); offset += 2048) {
    const std::size_t length = std::min<std::size_t>(2048, image.size() - offset);
    ASSERT_TRUE(client.sendFrame(11, static_cast<std::uint32_t>(0x08006400 + offset),
                                 std::span(image).subspan(offset, length)));
    EXPECT_EQ(client.read(1, 2s).size(), 1U) << offset;
  }
  EXPECT_EQ(beacon.eraseCount(), 1U);
  auto flash = beacon.flashImage(image.size() + 1);
  EXPECT_EQ(flash.back(), 0xFF);
  flash.pop_back();
  EXPECT_EQ(flash, image);
  const auto trace = beacon.trace();
  ASSERT_EQ(trace.size(), 4U);
  EXPECT_EQ(trace[2].parameter, 0x08006C00U);
  EXPECT_EQ(trace[3].data.size(), 1U);
}

TEST_F(SimulatedBeaconTest, BlockBelowTheProgramFlashIsRecordedAndNotAnswered) {
  ASSERT_TRUE(client.sendFrame(11, 0x08000000, std::vector<std::uint8_t>{1, 2, 3}));
  ASSERT_TRUE(beacon.waitForFrames(1, 2s));
  EXPECT_TRUE(client.readFor(150ms).empty());
  EXPECT_EQ(beacon.protocolErrors().size(), 1U);
}

TEST_F(SimulatedBeaconTest, ModemAndGnssPassThrough) {
  ASSERT_TRUE(client.sendFrame(3, 0));
  EXPECT_EQ(client.read(1, 2s).size(), 1U);
  ASSERT_TRUE(client.sendFrame(8, 0, bytesOf("ATE0\r\n")));
  EXPECT_EQ(client.read(11, 2s), bytesOf("ATE0\r\r\nOK\r\n"));
  ASSERT_TRUE(client.sendFrame(8, 0, bytesOf("AT+NOSUCH\r\n")));
  EXPECT_EQ(client.read(9, 2s), bytesOf("\r\nERROR\r\n"));
  ASSERT_TRUE(client.sendFrame(9, 0, bytesOf("$PMTK180*3B\r\n")));
  ASSERT_TRUE(beacon.waitForFrames(4, 2s));
  EXPECT_TRUE(client.readFor(100ms).empty());
  EXPECT_EQ(beacon.modemInput(), bytesOf("ATE0\r\nAT+NOSUCH\r\n"));
  EXPECT_EQ(beacon.gnssInput(), bytesOf("$PMTK180*3B\r\n"));
}

// Sends one ModemData frame and returns the answer once `count` bytes of it arrived (or the time-out passed).
std::string modemSays(PtyClient& client, std::span<const std::uint8_t> data, std::size_t count) {
  EXPECT_TRUE(client.sendFrame(8, 0, data));
  const auto answer = client.read(count, 2s);
  return {answer.begin(), answer.end()};
}

std::string modemSays(PtyClient& client, std::string_view text, std::size_t count) {
  return modemSays(client, bytesOf(text), count);
}

TEST_F(SimulatedBeaconTest, ModemTakesAFileUploadAndATextMessageOverTheLine) {
  ASSERT_TRUE(client.sendFrame(3, 0));
  EXPECT_EQ(client.read(1, 2s).size(), 1U);
  EXPECT_EQ(modemSays(client, "ATE0\r\n", 11), "ATE0\r\r\nOK\r\n");
  EXPECT_EQ(modemSays(client, "AT+FSCREATE=C:\\A.AMR\r\n", 6), "\r\nOK\r\n");
  std::vector<std::uint8_t> file(300);
  for (std::size_t i = 0; i < file.size(); ++i) {
    file[i] = static_cast<std::uint8_t>(i * 13);
  }
  for (std::size_t offset = 0; offset < file.size(); offset += 256) {
    const std::size_t size = std::min<std::size_t>(256, file.size() - offset);
    EXPECT_EQ(modemSays(client, "AT+FSWRITE=C:\\A.AMR,1," + std::to_string(size) + ",1000\r\n", 3), "\r\n>");
    EXPECT_EQ(modemSays(client, std::span(file).subspan(offset, size), 6), "\r\nOK\r\n") << offset;
  }
  EXPECT_EQ(modemSays(client, "AT+CMGF=1\r\n", 6), "\r\nOK\r\n");
  EXPECT_EQ(modemSays(client, "AT+CSCS=\"GSM\"\r\n", 6), "\r\nOK\r\n");
  EXPECT_EQ(modemSays(client, "AT+CMGS=\"+79161234567\"\r\n", 4), "\r\n> ");
  EXPECT_EQ(modemSays(client, "866104023456786\x1A", 19), "\r\n+CMGS: 1\r\n\r\nOK\r\n");

  const auto [files, messages] =
      beacon.withGsmModem([](GsmModemModel& modem) { return std::pair(modem.files(), modem.sentMessages()); });
  EXPECT_EQ(files, (ModemDrive::Files{{"A.AMR", file}}));
  EXPECT_EQ(messages, (std::vector<GsmModemModel::SentMessage>{{"+79161234567", "866104023456786"}}));
}

TEST_F(SimulatedBeaconTest, ModemFaultsOfThePlanReachTheModem) {
  beacon.setFaults(FaultPlan().modemStaysOff());
  ASSERT_TRUE(client.sendFrame(3, 0));
  EXPECT_EQ(client.read(1, 2s).size(), 1U);
  ASSERT_TRUE(client.sendFrame(8, 0, bytesOf("AT\r\n")));
  EXPECT_TRUE(client.readFor(150ms).empty());

  beacon.setFaults(FaultPlan().modemDriveSize(100).modemGivesNoPrompt());
  ASSERT_TRUE(client.sendFrame(3, 0));
  EXPECT_EQ(client.read(1, 2s).size(), 1U);
  EXPECT_EQ(modemSays(client, "ATE0\r\n", 11), "ATE0\r\r\nOK\r\n");
  EXPECT_EQ(modemSays(client, "AT+FSMEM\r\n", 28), "\r\n+FSMEM: C:100bytes\r\n\r\nOK\r\n");
  EXPECT_EQ(modemSays(client, "AT+FSCREATE=C:\\A.AMR\r\n", 6), "\r\nOK\r\n");
  ASSERT_TRUE(client.sendFrame(8, 0, bytesOf("AT+FSWRITE=C:\\A.AMR,1,4,1000\r\n")));
  EXPECT_TRUE(client.readFor(150ms).empty());

  beacon.setFaults(FaultPlan().modemGivesNoWriteConfirmation());
  EXPECT_EQ(modemSays(client, "AT+FSWRITE=C:\\A.AMR,1,4,1000\r\n", 3), "\r\n>");
  ASSERT_TRUE(client.sendFrame(8, 0, bytesOf("abcd")));
  EXPECT_TRUE(client.readFor(150ms).empty());
  const auto files = beacon.withGsmModem([](GsmModemModel& modem) { return modem.files(); });
  EXPECT_EQ(files, (ModemDrive::Files{{"A.AMR", bytesOf("abcd")}}));
}

TEST_F(SimulatedBeaconTest, GnssModuleStreamsPacedNmeaWhilePowered) {
  ASSERT_TRUE(client.sendFrame(4, 0));
  ASSERT_EQ(client.read(1, 2s), std::vector<std::uint8_t>{BeaconModel::ackByte});
  const auto poweredAt = Clock::now();
  ASSERT_EQ(client.read(1, 3s), bytesOf("$"));
  const auto burstAt = Clock::now();
  EXPECT_GT(burstAt - poweredAt, 500ms);  // a second after power-on
  EXPECT_EQ(client.read(399, 2s).size(), 399U);
  EXPECT_GT(Clock::now() - burstAt, 300ms);  // 400 bytes at 9600 baud take over 400 ms

  ASSERT_TRUE(client.sendFrame(6, 0));
  bool acknowledged = false;  // after the rest of the bytes already on their way
  for (int i = 0; i < 1000 && !acknowledged; ++i) {
    const auto byte = client.read(1, 2s);
    ASSERT_EQ(byte.size(), 1U);
    acknowledged = byte[0] == BeaconModel::ackByte;
  }
  ASSERT_TRUE(acknowledged);
  EXPECT_TRUE(client.readFor(1500ms).empty());

  beacon.gnssSends("$GPTXT,01,01,02,ANTSTATUS=OK*3B\r\n");  // unframed, as the module's own output
  EXPECT_EQ(client.read(33, 2s), bytesOf("$GPTXT,01,01,02,ANTSTATUS=OK*3B\r\n"));
}

struct FixedModem : ModemModel {
  std::vector<std::uint8_t> onData(std::span<const std::uint8_t>) override { return bytesOf("\r\n+GSN\r\n"); }
};
struct EchoGnss : GnssModel {
  std::vector<std::uint8_t> onData(std::span<const std::uint8_t> data) override { return {data.begin(), data.end()}; }
};

TEST_F(SimulatedBeaconTest, ModelsCanBeReplaced) {
  beacon.setModemModel(std::make_unique<FixedModem>());
  beacon.setGnssModel(std::make_unique<EchoGnss>());
  ASSERT_TRUE(client.sendFrame(3, 0));
  EXPECT_EQ(client.read(1, 2s).size(), 1U);
  ASSERT_TRUE(client.sendFrame(8, 0, bytesOf("AT+GSN\r\n")));
  EXPECT_EQ(client.read(8, 2s), bytesOf("\r\n+GSN\r\n"));
  ASSERT_TRUE(client.sendFrame(4, 0));
  EXPECT_EQ(client.read(1, 2s).size(), 1U);
  ASSERT_TRUE(client.sendFrame(9, 0, std::vector<std::uint8_t>{0xA0}));
  EXPECT_EQ(client.read(1, 2s), std::vector<std::uint8_t>{0xA0});
}

struct BrokenModem : ModemModel {
  std::vector<std::uint8_t> onData(std::span<const std::uint8_t>) override { throw std::runtime_error("broken"); }
};

TEST_F(SimulatedBeaconTest, FailingModelGivesNoAnswerAndTheBeaconGoesOn) {
  beacon.setModemModel(std::make_unique<BrokenModem>());
  ASSERT_TRUE(client.sendFrame(3, 0));
  EXPECT_EQ(client.read(1, 2s).size(), 1U);
  ASSERT_TRUE(client.sendFrame(8, 0, bytesOf("AT\r\n")));
  ASSERT_TRUE(beacon.waitForFrames(2, 2s));
  EXPECT_TRUE(client.readFor(100ms).empty());
  ASSERT_EQ(beacon.protocolErrors().size(), 1U);
  EXPECT_NE(beacon.protocolErrors()[0].find("broken"), std::string::npos);
  ASSERT_TRUE(client.sendFrame(3, 0));
  EXPECT_EQ(client.read(1, 2s).size(), 1U);
}

TEST_F(SimulatedBeaconTest, OverlongLengthIsAProtocolErrorAndTheLineRecovers) {
  ASSERT_TRUE(client.send(std::vector<std::uint8_t>{0x0B, 0, 0x64, 0, 0x08, 0xB8, 0x0B, 0, 0, 1, 2, 3}));
  std::this_thread::sleep_for(50ms);
  ASSERT_TRUE(client.sendFrame(3, 0));
  EXPECT_EQ(client.read(1, 2s).size(), 1U);
  const auto errors = beacon.protocolErrors();
  ASSERT_EQ(errors.size(), 1U);
  EXPECT_NE(errors[0].find("3000"), std::string::npos);
  ASSERT_EQ(beacon.trace().size(), 1U);
}

TEST_F(SimulatedBeaconTest, StalePartialFrameIsDropped) {
  ASSERT_TRUE(client.send(std::vector<std::uint8_t>{0x01, 0x60, 0x04}));
  std::this_thread::sleep_for(2300ms);
  ASSERT_TRUE(client.sendFrame(1, ownerPhone));
  EXPECT_EQ(client.read(32, 2s), cellBytes("00000"));
  EXPECT_EQ(beacon.protocolErrors().size(), 1U);
}

TEST_F(SimulatedBeaconTest, ObserverSeesEveryFrame) {
  std::atomic<int> seen{0};
  beacon.setFrameObserver([&](const FrameRecord& frame) {
    if (frame.type == 3) {
      ++seen;
    }
  });
  ASSERT_TRUE(client.sendFrame(3, 0));
  ASSERT_TRUE(client.sendFrame(3, 0));
  EXPECT_EQ(client.read(2, 2s).size(), 2U);
  EXPECT_EQ(seen.load(), 2);
  beacon.setFrameObserver(nullptr);
}

// --- faults ---

TEST_F(SimulatedBeaconTest, DropReplyOfTheNthFrameOfAType) {
  beacon.setFaults(FaultPlan{}.dropReply(3, 2));
  ASSERT_TRUE(client.sendFrame(3, 0));
  EXPECT_EQ(client.read(1, 2s).size(), 1U);
  ASSERT_TRUE(client.sendFrame(4, 0));  // another type does not count
  EXPECT_EQ(client.read(1, 2s).size(), 1U);
  ASSERT_TRUE(client.sendFrame(3, 0));
  ASSERT_TRUE(beacon.waitForFrames(3, 2s));
  EXPECT_TRUE(client.readFor(150ms).empty());
  ASSERT_TRUE(client.sendFrame(3, 0));
  EXPECT_EQ(client.read(1, 2s).size(), 1U);
  EXPECT_EQ(beacon.trace().size(), 4U);
}

TEST_F(SimulatedBeaconTest, DropEveryReplyOfAType) {
  beacon.setFaults(FaultPlan{}.dropReply(10, FaultPlan::everyFrame));
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(client.sendFrame(10, 0));
  }
  ASSERT_TRUE(beacon.waitForFrames(3, 2s));
  EXPECT_TRUE(client.readFor(100ms).empty());
  EXPECT_EQ(beacon.eraseCount(), 3U);  // the beacon acted, only the answer is lost
}

TEST_F(SimulatedBeaconTest, SetFaultsRestartsTheCounters) {
  beacon.setFaults(FaultPlan{}.dropReply(3, 2));
  ASSERT_TRUE(client.sendFrame(3, 0));
  EXPECT_EQ(client.read(1, 2s).size(), 1U);
  beacon.setFaults(FaultPlan{}.dropReply(3, 2));
  ASSERT_TRUE(client.sendFrame(3, 0));  // first again under the new plan
  EXPECT_EQ(client.read(1, 2s).size(), 1U);
  ASSERT_TRUE(client.sendFrame(3, 0));
  ASSERT_TRUE(beacon.waitForFrames(3, 2s));
  EXPECT_TRUE(client.readFor(100ms).empty());
  beacon.setFaults({});
  ASSERT_TRUE(client.sendFrame(3, 0));
  EXPECT_EQ(client.read(1, 2s).size(), 1U);
}

TEST_F(SimulatedBeaconTest, DelayedReplyArrivesLate) {
  beacon.setFaults(FaultPlan{}.delayReply(1, 1, 300ms));
  const auto start = Clock::now();
  ASSERT_TRUE(client.sendFrame(1, ownerPhone));
  EXPECT_TRUE(client.read(1, 200ms).empty());
  const auto reply = client.read(32, 2s);
  const auto elapsed = Clock::now() - start;
  EXPECT_EQ(reply, cellBytes("00000"));
  EXPECT_GE(elapsed, 300ms);
  EXPECT_LT(elapsed, 1500ms);

  const auto again = Clock::now();  // the second read is answered at once
  ASSERT_TRUE(client.sendFrame(1, ownerPhone));
  EXPECT_EQ(client.read(32, 2s).size(), 32U);
  EXPECT_LT(Clock::now() - again, 250ms);
}

TEST_F(SimulatedBeaconTest, ShortReply) {
  beacon.setFaults(FaultPlan{}.shortReply(1, 1, 5));
  ASSERT_TRUE(client.sendFrame(1, 0x08080620));
  EXPECT_EQ(client.read(32, 300ms), bytesOf("23000"));
}

TEST_F(SimulatedBeaconTest, GarbageReply) {
  beacon.setFaults(FaultPlan{}.garbageReply(1, 1));
  ASSERT_TRUE(client.sendFrame(1, 0x08080620));
  const auto reply = client.read(32, 2s);
  ASSERT_EQ(reply.size(), 32U);
  const auto real = cellBytes("2300070010001700");
  for (std::size_t i = 0; i < reply.size(); ++i) {
    EXPECT_NE(reply[i], real[i]) << i;
  }
  EXPECT_TRUE(client.readFor(100ms).empty());
}

TEST_F(SimulatedBeaconTest, FloodInsteadOfTheReply) {
  beacon.setFaults(FaultPlan{}.flood(8, 1, 3000));
  ASSERT_TRUE(client.sendFrame(3, 0));
  EXPECT_EQ(client.read(1, 2s).size(), 1U);
  ASSERT_TRUE(client.sendFrame(8, 0, bytesOf("AT\r\n")));
  const auto flood = client.read(3000, 2s);
  ASSERT_EQ(flood.size(), 3000U);
  EXPECT_EQ(std::string(flood.begin(), flood.end()).find("OK"), std::string::npos);
  EXPECT_TRUE(client.readFor(50ms).empty());
  ASSERT_TRUE(client.sendFrame(8, 0, bytesOf("AT\r\n")));
  EXPECT_EQ(client.read(9, 2s), bytesOf("AT\r\r\nOK\r\n"));
}

TEST_F(SimulatedBeaconTest, FloodLargerThanThePtyBufferWaitsForTheReader) {
  beacon.setFaults(FaultPlan{}.flood(3, 1, 200'000));
  ASSERT_TRUE(client.sendFrame(3, 0));
  const std::clock_t before = std::clock();
  std::this_thread::sleep_for(200ms);  // the client's input queue fills up meanwhile
  EXPECT_LT(static_cast<double>(std::clock() - before) / CLOCKS_PER_SEC, 0.1);  // waits, does not spin
  EXPECT_EQ(client.read(200'000, 5s).size(), 200'000U);
  ASSERT_TRUE(client.sendFrame(3, 0));
  EXPECT_EQ(client.read(1, 2s).size(), 1U);
}

TEST_F(SimulatedBeaconTest, HangUpAfterNFramesWithoutAnsweringTheLast) {
  beacon.setFaults(FaultPlan{}.hangUpAfter(2));
  ASSERT_TRUE(client.sendFrame(3, 0));
  EXPECT_EQ(client.read(1, 2s).size(), 1U);
  ASSERT_TRUE(client.sendFrame(2, ownerPhone, cellBytes("777")));
  EXPECT_TRUE(client.waitForHangUp(2s));
  EXPECT_TRUE(beacon.isHungUp());
  EXPECT_EQ(beacon.trace().size(), 2U);
  EXPECT_EQ(textOf(beacon.settingsCell(ownerPhone)), "00000");  // not acted on
  EXPECT_TRUE(client.read(1, 50ms).empty());
  EXPECT_FALSE(client.sendFrame(3, 0));  // writes fail on a hung-up line
}

TEST_F(SimulatedBeaconTest, HangUpOnRequest) {
  ASSERT_TRUE(client.sendFrame(3, 0));
  EXPECT_EQ(client.read(1, 2s).size(), 1U);
  beacon.hangUp();
  EXPECT_TRUE(beacon.isHungUp());
  EXPECT_TRUE(client.waitForHangUp(1s));
  beacon.hangUp();  // a second time is harmless
  EXPECT_EQ(beacon.trace().size(), 1U);
}

// Pulled out, its path is gone, as a USB device's, and stays gone for the beacon's life: a beacon made
// now (by another test running beside this one) gets a path of its own, so a client that opens the old
// path again finds nothing rather than that other beacon.
TEST(SimulatedBeacon, APulledOutBeaconsPathLeadsToNoOtherBeacon) {
  SimulatedBeacon beacon;
  {
    PtyClient client(beacon.portPath());
    beacon.hangUp();
    EXPECT_TRUE(client.waitForHangUp(1s));
  }
  EXPECT_NE(::access(beacon.portPath().c_str(), F_OK), 0);
  SimulatedBeacon next;
  EXPECT_NE(next.portPath(), beacon.portPath());
}

TEST_F(SimulatedBeaconTest, ThrottledFrameIsActedOnAfterItsLineTime) {
  beacon.setFaults(FaultPlan{}.throttle(9600));
  const std::vector<std::uint8_t> block(951, 0x42);  // 960 bytes on the line: 1 s at 9600 baud
  const auto start = Clock::now();
  ASSERT_TRUE(client.sendFrame(11, 0x08006400, block));
  EXPECT_FALSE(beacon.waitForFrames(1, 800ms));
  EXPECT_EQ(client.read(1, 3s).size(), 1U);
  const auto elapsed = Clock::now() - start;
  EXPECT_GE(elapsed, 990ms);
  EXPECT_LT(elapsed, 2500ms);
}

TEST_F(SimulatedBeaconTest, ThrottledReplyIsReleasedAtTheLineRate) {
  beacon.setFaults(FaultPlan{}.throttle(9600).flood(3, 1, 480));  // 480 bytes: 0.5 s
  const auto start = Clock::now();
  ASSERT_TRUE(client.sendFrame(3, 0));
  const auto early = client.read(480, 250ms);
  // What the line can have carried by the time the read returned (later than asked, on a loaded machine).
  const auto earlyMs = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
  EXPECT_GT(early.size(), 0U);
  EXPECT_LE(early.size(), static_cast<std::size_t>(earlyMs) * 960 / 1000 + 10);
  EXPECT_LT(early.size(), 480U);
  const auto rest = client.read(480 - early.size(), 2s);
  const auto elapsed = Clock::now() - start;
  EXPECT_EQ(early.size() + rest.size(), 480U);
  EXPECT_GE(elapsed, 500ms);
  EXPECT_LT(elapsed, 2s);
}

TEST(SimulatedBeacon, FaultsGivenAtConstruction) {
  SimulatedBeacon beacon(FaultPlan{}.dropReply(1, 1));
  PtyClient client(beacon.portPath());
  ASSERT_TRUE(client.sendFrame(1, ownerPhone));
  ASSERT_TRUE(beacon.waitForFrames(1, 2s));
  EXPECT_TRUE(client.readFor(100ms).empty());
}

TEST(SimulatedBeacon, StopsCleanlyWithAClientAttachedAndAReplyPending) {
  auto beacon = std::make_unique<SimulatedBeacon>(FaultPlan{}.delayReply(3, 1, 10s));
  PtyClient client(beacon->portPath());
  ASSERT_TRUE(client.sendFrame(3, 0));
  ASSERT_TRUE(beacon->waitForFrames(1, 2s));
  const auto start = Clock::now();
  beacon.reset();
  EXPECT_LT(Clock::now() - start, 1s);
  EXPECT_TRUE(client.waitForHangUp(1s));
}

TEST(SimulatedBeacon, ServesClientsOneAfterAnother) {
  SimulatedBeacon beacon;
  for (int i = 0; i < 3; ++i) {
    PtyClient client(beacon.portPath());
    ASSERT_TRUE(client.sendFrame(1, 0x08080560));
    EXPECT_EQ(textOf(client.read(32, 2s)), "1200") << i;
  }
  EXPECT_EQ(beacon.trace().size(), 3U);
  EXPECT_TRUE(beacon.protocolErrors().empty());
}

TEST(SimulatedBeacon, IdleWithoutClientDoesNotSpin) {
  SimulatedBeacon beacon;
  const std::clock_t before = std::clock();
  std::this_thread::sleep_for(300ms);
  const double cpuSeconds = static_cast<double>(std::clock() - before) / CLOCKS_PER_SEC;
  EXPECT_LT(cpuSeconds, 0.1);
}

}  // namespace
}  // namespace orsa::sim
