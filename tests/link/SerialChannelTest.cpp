#include "link/SerialChannel.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <optional>
#include <thread>

#include "support/BeaconFigures.h"
#include "support/FakeSerialPort.h"
#include "support/DeviceEnd.h"
#include "support/TestClock.h"

namespace orsa::link {
namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;
using orsa::testing::DeviceEnd;
using orsa::testing::FakeLine;
using orsa::testing::TestClock;
using Bytes = std::vector<std::uint8_t>;
namespace figures = orsa::testing::figures;

class SerialChannelTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(channel.open(pty.portPath())) << channel.lastError(); }
  DeviceEnd pty;
  SerialChannel channel;
};

TEST(SerialPort, AnEmptyReadIsNothingNowAndOnlyAHangUpEndsTheLine) {
  DeviceEnd pty;
  OpenResult opened = openSerialPort(pty.portPath());
  ASSERT_TRUE(opened.port) << opened.error;
  std::array<std::uint8_t, 16> chunk{};
  // What a purge between poll() and read() leaves: a read that finds nothing.
  EXPECT_EQ(opened.port->readAvailable(chunk), 0);
  pty.write("x");
  EXPECT_EQ(opened.port->waitReadable(), SerialPort::WaitResult::Readable);
  EXPECT_EQ(opened.port->readAvailable(chunk), 1);

  pty.hangUp();
  if (opened.port->waitReadable() == SerialPort::WaitResult::Readable) {
    EXPECT_EQ(opened.port->readAvailable(chunk), -1);
  }
}

// The channel's contract with the line, on a port the test plays: what reaches the driver in which
// order, and when a wait ends.
class SerialChannelContract : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(channel.open("COM5")); }

  // Waits for the waiter, ending its wait by a stop if it does not end by itself.
  static std::optional<bool> outcome(std::future<bool>& waiter, std::stop_source& stop) {
    if (waiter.wait_for(10s) == std::future_status::ready) return waiter.get();
    stop.request_stop();
    waiter.get();
    return std::nullopt;
  }

  std::shared_ptr<FakeLine> line = std::make_shared<FakeLine>();
  SerialChannel channel{FakeLine::opener(line)};
};

TEST_F(SerialChannelContract, EverySendPurgesTheDriverFirstSoOnlyTheNewReplyIsReceived) {
  line->deliver("stale reply");
  ASSERT_TRUE(channel.waitForBytes(11, 5000));
  line->holdInDriver("tail of the stale reply");
  ASSERT_TRUE(channel.sendCommand(CommandType::ModemOn, 0));
  EXPECT_EQ(channel.receivedCount(), 0u);
  const auto buffer = channel.receiveBufferCopy();
  EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](auto b) { return b == 0; }));
  ASSERT_TRUE(line->waitForWrites(1, 5s));
  EXPECT_EQ(line->events(), (std::vector<std::string>{"purge", "write"}));
  EXPECT_EQ(line->writes()[0], Bytes(figures::kModemOnFrame.begin(), figures::kModemOnFrame.end()));

  line->deliver("5820");
  ASSERT_TRUE(channel.waitForBytes(4, 5000));
  EXPECT_EQ(channel.receivedText(), "5820") << "nothing the driver held before the send";
}

TEST_F(SerialChannelContract, AWaitEndsOnTheExactCountAndCountsBytesBeforeTheClock) {
  EXPECT_TRUE(channel.waitForBytes(0, 5000)) << "zero bytes are there at once";
  line->deliver("ab");
  ASSERT_TRUE(channel.waitForBytes(2, 5000));
  EXPECT_FALSE(channel.waitForBytes(3, 0)) << "two of three are not enough";
  EXPECT_TRUE(channel.waitForBytes(2, 0)) << "bytes already there count even with the time-out spent";
  EXPECT_TRUE(channel.waitForBytes(2, -1));

  std::stop_source stop;
  auto waiter = std::async(std::launch::async, [&] { return channel.waitForBytes(3, 60000, stop.get_token()); });
  line->deliver("c");
  EXPECT_EQ(outcome(waiter, stop), true) << "the wait wakes when the last awaited byte arrives";
}

TEST_F(SerialChannelContract, AStopEndsAWaitAsFailed) {
  std::stop_source stop;
  auto waiter = std::async(std::launch::async, [&] { return channel.waitForBytes(1, 60000, stop.get_token()); });
  stop.request_stop();
  ASSERT_EQ(waiter.wait_for(10s), std::future_status::ready) << "not the minute of the time-out";
  EXPECT_FALSE(waiter.get());
}

TEST_F(SerialChannelTest, SecondOpenOfTheSamePortIsRefusedUntilClosed) {
  SerialChannel other;
  EXPECT_FALSE(other.open(pty.portPath()));
  channel.close();
#ifdef _WIN32
  // The pipe's end takes the next client once it has seen this one go, when next it is used.
  pty.read(1, 50ms);
#endif
  EXPECT_TRUE(other.open(pty.portPath())) << other.lastError();
}

TEST_F(SerialChannelTest, CloseIsHarmlessWhenRepeated) {
  channel.close();
  channel.close();
  EXPECT_FALSE(channel.isOpen());
  EXPECT_FALSE(channel.waitForBytes(1, 20)) << "a frame sent while closed is lost";
}

TEST_F(SerialChannelTest, BinaryBytesPassUnchangedBothWays) {
  // CR, LF, XON, XOFF, ^C, ^D, DEL and NUL are what a cooked terminal would eat or translate.
  Bytes tricky = {0x0D, 0x0A, 0x11, 0x13, 0x03, 0x04, 0x7F, 0x00, 0xFF, 0x1A, 0x0D};
  ASSERT_TRUE(channel.writeRaw(tricky.data(), tricky.size()));
  EXPECT_EQ(pty.read(tricky.size(), 1s), tricky);
  EXPECT_TRUE(pty.read(1, 50ms).empty()) << "sent exactly once";

  pty.write(tricky);
  ASSERT_TRUE(channel.waitForBytes(static_cast<std::uint32_t>(tricky.size()), 1000));
  EXPECT_EQ(channel.receivedBytes(), tricky);
}

TEST(SerialChannelTimeOut, AWaitFailsOnlyOnceItsTimeOutIsExceededAndABytesAtTheDeadlineStillCounts) {
  TestClock clock;
  auto line = std::make_shared<FakeLine>();
  SerialChannel channel(FakeLine::opener(line), clock);
  ASSERT_TRUE(channel.open("COM5"));

  auto atDeadline = std::async(std::launch::async, [&] { return channel.waitForBytes(1, 4000); });
  ASSERT_TRUE(clock.waitForWaiter());
  clock.advance(4000ms);
  line->deliver("x");
  EXPECT_TRUE(atDeadline.get()) << "still waiting when exactly the time-out has passed";
  EXPECT_EQ(clock.timeOuts(), 0u);

  ASSERT_TRUE(channel.sendCommand(CommandType::ModemOn, 0));
  const auto start = clock.now();
  auto timedOut = std::async(std::launch::async, [&] { return channel.waitForBytes(1, 4000); });
  ASSERT_TRUE(clock.expireNextWait());
  EXPECT_FALSE(timedOut.get());
  EXPECT_EQ(clock.timeOuts(), 1u);
  EXPECT_EQ(clock.now() - start, 4000ms + TestClock::kPastDeadline) << "the deadline is the time-out from the call";
}

TEST_F(SerialChannelTest, FullBufferKeepsAZeroAfterTheData) {
  pty.write(Bytes(5000, 'A'));
  ASSERT_TRUE(channel.waitForBytes(4095, 2000));
  EXPECT_FALSE(channel.waitForBytes(4096, 300)) << "never more than the buffer holds";
  EXPECT_EQ(channel.receivedCount(), 4095u);
  auto buffer = channel.receiveBufferCopy();
  EXPECT_EQ(buffer[4094], 'A');
  EXPECT_EQ(buffer[4095], 0);
  EXPECT_EQ(channel.receivedText().size(), 4095u);
  // The next send empties it again.
  ASSERT_TRUE(channel.sendCommand(CommandType::ModemOn, 0));
  EXPECT_EQ(channel.receivedCount(), 0u);
}

TEST_F(SerialChannelTest, CloseDoesNotCutTheLastFrame) {
  Bytes block(2500, 0);
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i);
  ASSERT_TRUE(channel.sendCommand(CommandType::WriteFirmwareBlock, 0x08006400, 2500, block.data()));
  channel.close();
  Bytes got = pty.read(2509, 2s);
  ASSERT_EQ(got.size(), 2509u);
  EXPECT_EQ(Bytes(got.begin() + 9, got.end()), block);
}

TEST_F(SerialChannelTest, HangUpDuringAWaitEndsItAtOnceWithoutHarm) {
  auto start = SteadyClock::now();
  auto waiter = std::async(std::launch::async, [&] { return channel.waitForBytes(1, 60000); });
  std::this_thread::sleep_for(50ms);
  pty.hangUp();
  EXPECT_FALSE(waiter.get());
  EXPECT_LT(SteadyClock::now() - start, 10s) << "not the minute of the time-out";
  EXPECT_TRUE(channel.lineLost());
  // Sends after the hang-up are lost, not fatal; close still ends promptly.
  EXPECT_TRUE(channel.sendCommand(CommandType::ModemOn, 0));
  EXPECT_FALSE(channel.waitForBytes(1, 50));
  auto closing = SteadyClock::now();
  channel.close();
  EXPECT_LT(SteadyClock::now() - closing, 6s);
  EXPECT_FALSE(channel.isOpen());
}

TEST_F(SerialChannelTest, TraceShowsFramesSentAndBytesReceived) {
  std::mutex lock;
  std::vector<std::pair<SerialChannel::Direction, Bytes>> seen;
  channel.setTraceSink([&](SerialChannel::Direction d, std::span<const std::uint8_t> bytes) {
    std::lock_guard guard(lock);
    seen.emplace_back(d, Bytes(bytes.begin(), bytes.end()));
  });
  ASSERT_TRUE(channel.sendCommand(CommandType::GnssOn, 0));
  pty.read(9, 1s);
  pty.write("\x01");
  ASSERT_TRUE(channel.waitForBytes(1, 1000));
  channel.close();
  std::lock_guard guard(lock);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].first, SerialChannel::Direction::Sent);
  EXPECT_EQ(seen[0].second, (Bytes{4, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(seen[1].first, SerialChannel::Direction::Received);
  EXPECT_EQ(seen[1].second, (Bytes{1}));
}

}  // namespace
}  // namespace orsa::link
