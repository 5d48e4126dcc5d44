#include "link/Worker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <future>
#include <optional>

#include "support/FakePortMap.h"
#include "support/DeviceEnd.h"
#include "support/TestClock.h"

namespace orsa::link {
namespace {

using namespace std::chrono_literals;
using orsa::testing::DeviceEnd;
using orsa::testing::TestClock;

// An operation in the common shape: connect, one exchange, report through showResult.
class PingWorker final : public Worker {
 public:
  PingWorker(DeviceLink link, std::promise<void>* holdAfterConnect = nullptr)
      : Worker(link, "проверка связи"), hold_(holdAfterConnect) {}
  ~PingWorker() override { stopAndJoin(); }

  std::vector<std::pair<std::int32_t, std::string>> shown;
  std::future<void> released;

 protected:
  void run() override {
    if (!connectDevice()) {
      resultCode = kResultFailure;
      messageText = kNotConnectedMessage;
      synchronize([this] { shown.emplace_back(resultCode, messageText); });
      closeChannel();
      return;
    }
    if (hold_) hold_->get_future().wait_for(5s);
    sendCommand(CommandType::ModemOn, 0);
    bool answered = waitForBytes(1, 2000);
    resultCode = answered ? kResultSuccess : kResultFailure;
    messageText = answered ? "ok" : "no answer";
    synchronize([this] { shown.emplace_back(resultCode, messageText); });
    closeChannel();
  }

 private:
  std::promise<void>* hold_;
};

// The beacon's port, when there is one, as the registry's one USB serial entry.
std::vector<SerialPortMap::Entry> beaconEntry(const std::string& port) {
  if (port.empty()) return {};
  return {{"\\Device\\USBSER000", port}};
}

struct Rig {
  explicit Rig(const std::string& port) : map(beaconEntry(port), "USBSER") {}
  orsa::testing::FakePortMap map;
  // Pauses and time-outs end only when the test moves the time on (or stops the worker).
  TestClock clock{TestClock::Sleeps::OnCommand};
  SerialChannel channel{&openSerialPort, clock};
  ChannelGate gate;
  DirectWorkerHost host;
  DeviceLink link{channel, map, gate, host};
};

TEST(Worker, AbsentBeaconReportsNotConnectedAndLeavesTheChannelClosed) {
  Rig rig("");
  PingWorker worker(rig.link);
  bool finishedSignalled = false;
  worker.setFinishedHandler([&] { finishedSignalled = true; });
  ASSERT_TRUE(worker.start());
  worker.join();
  ASSERT_EQ(worker.shown.size(), 1u);
  EXPECT_EQ(worker.shown[0].first, kResultFailure);
  EXPECT_EQ(worker.shown[0].second, "Устройство не подключено");
  EXPECT_FALSE(rig.channel.isOpen());
  EXPECT_TRUE(finishedSignalled);
  EXPECT_TRUE(worker.finished());
  EXPECT_FALSE(rig.gate.holder()) << "the channel is free again";
}

TEST(Worker, SecondOperationIsRefusedWhileOneHoldsTheChannel) {
  DeviceEnd beacon;
  Rig rig(beacon.portPath());
  std::promise<void> hold;
  PingWorker first(rig.link, &hold);
  ASSERT_TRUE(first.start());
  PingWorker second(rig.link);
  EXPECT_FALSE(second.start());
  EXPECT_NE(second.refusalMessage().find("проверка связи"), std::string::npos);
  EXPECT_TRUE(second.shown.empty()) << "a refused operation sends and shows nothing";
  hold.set_value();
  EXPECT_EQ(beacon.read(9, 2s).size(), 9u);
  beacon.write("\x01");
  first.join();
  ASSERT_EQ(first.shown.size(), 1u);
  EXPECT_EQ(first.shown[0].first, kResultSuccess);

  PingWorker third(rig.link);
  EXPECT_TRUE(third.start()) << "the next operation may start once the first ended";
  third.stopAndJoin();
}

TEST(Worker, StopEndsALongWaitPromptly) {
  DeviceEnd beacon;
  Rig rig(beacon.portPath());
  PingWorker worker(rig.link);
  ASSERT_TRUE(worker.start());
  EXPECT_EQ(beacon.read(9, 2s).size(), 9u);
  ASSERT_TRUE(rig.clock.waitForWaiter());
  const auto start = rig.clock.now();
  worker.stopAndJoin();
  EXPECT_EQ(rig.clock.now(), start) << "no time had to pass";
  EXPECT_EQ(rig.clock.timeOuts(), 0u) << "the stop ended the wait, not its time-out";
  ASSERT_EQ(worker.shown.size(), 1u);
  EXPECT_EQ(worker.shown[0].first, kResultFailure);
}

// Sleeps once, then tries to send; records what the worker base said.
class PauseThenSendWorker final : public Worker {
 public:
  explicit PauseThenSendWorker(DeviceLink link) : Worker(link, "пауза") {}
  ~PauseThenSendWorker() override { stopAndJoin(); }

  std::promise<void> pausing;
  std::optional<bool> pauseCompleted;
  std::optional<bool> sent;

 protected:
  void run() override {
    if (!connectDevice()) return;
    pausing.set_value();
    pauseCompleted = pause(60s);
    sent = sendCommand(CommandType::ModemOn, 0);
  }
};

TEST(Worker, AStopEndsAPauseAsStoppedAndNoFrameFollows) {
  DeviceEnd beacon;
  Rig rig(beacon.portPath());
  PauseThenSendWorker worker(rig.link);
  auto pausing = worker.pausing.get_future();
  ASSERT_TRUE(worker.start());
  ASSERT_EQ(pausing.wait_for(5s), std::future_status::ready);
  worker.stopAndJoin();
  EXPECT_EQ(worker.pauseCompleted, false) << "a pause cut short by a stop reports it";
  EXPECT_EQ(worker.sent, false);
  rig.channel.close();  // lets any frame the worker handed over reach the line
  EXPECT_TRUE(beacon.read(1, 200ms).empty()) << "nothing was sent after the stop";
}

TEST(Worker, APauseThatRunsItsCourseIsFollowedByTheFrame) {
  DeviceEnd beacon;
  Rig rig(beacon.portPath());
  PauseThenSendWorker worker(rig.link);
  auto pausing = worker.pausing.get_future();
  ASSERT_TRUE(worker.start());
  ASSERT_EQ(pausing.wait_for(5s), std::future_status::ready);
  ASSERT_TRUE(rig.clock.waitForWaiter());
  rig.clock.advance(59s);
  EXPECT_TRUE(beacon.read(1, 200ms).empty()) << "nothing before the pause's end";
  rig.clock.advance(1s);
  EXPECT_EQ(beacon.read(9, 5s).size(), 9u) << "the frame after the pause";
  worker.join();
  EXPECT_EQ(worker.pauseCompleted, true);
  EXPECT_EQ(worker.sent, true);
}

// Time that moves only by the sleeps of the worker, each of which first runs the test's script for
// it, on the worker's thread: what the device does while the worker sleeps.
class ScriptedSleeps final : public Clock {
 public:
  std::function<void(int sleep)> duringSleep;
  int sleeps = 0;

  TimePoint now() const override { return now_.load(); }
  bool waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable_any& wake, TimePoint deadline,
                 const std::stop_token& stop, const std::function<bool()>& ready) override {
    return steadyClock().waitUntil(lock, wake, steadyClock().now() + (deadline - now()), stop, ready);
  }
  bool sleepUntil(TimePoint deadline, const std::stop_token& stop) override {
    if (duringSleep) duringSleep(++sleeps);
    if (stop.stop_requested()) return false;
    now_ = std::max(now_.load(), deadline);
    return true;
  }

 private:
  std::atomic<TimePoint> now_{};
};

class QuietLineWorker final : public Worker {
 public:
  QuietLineWorker(DeviceLink link, bool closing) : Worker(link, "тишина"), closing_(closing) {}
  ~QuietLineWorker() override { stopAndJoin(); }

  std::optional<bool> quiet;

 protected:
  void run() override {
    if (connectDevice()) quiet = lineFellQuiet(100ms, 300ms, closing_);
  }

 private:
  bool closing_;
};

TEST(Worker, ALineFallsQuietOnlyAfterAWholeGapWithoutAByteWithinTheLimit) {
  enum class During { Byte, Stop, HangUp };
  struct Case {
    const char* what;
    std::vector<During> sleeps;  // what happens during each sleep, none after the last listed
    bool closing;
    bool quiet;
    int sleepsTaken;
  };
  for (const Case& c : {
           Case{"a byte in every gap until the limit", {During::Byte, During::Byte, During::Byte}, false, false, 3},
           Case{"a byte in the first gap, none in the second", {During::Byte}, false, true, 2},
           Case{"a stop", {During::Stop}, false, false, 1},
           Case{"a stop, in a closing sequence", {During::Stop}, true, true, 1},
           Case{"the line lost", {During::HangUp}, true, false, 1},
       }) {
    SCOPED_TRACE(c.what);
    DeviceEnd beacon;
    ScriptedSleeps clock;
    orsa::testing::FakePortMap map(beaconEntry(beacon.portPath()), "USBSER");
    SerialChannel channel(&openSerialPort, clock);
    ChannelGate gate;
    DirectWorkerHost host;
    QuietLineWorker worker(DeviceLink{channel, map, gate, host}, c.closing);
    clock.duringSleep = [&](int sleep) {
      if (sleep > static_cast<int>(c.sleeps.size())) return;
      switch (c.sleeps[static_cast<std::size_t>(sleep - 1)]) {
        case During::Byte:
          beacon.write("x");
          EXPECT_TRUE(channel.waitForBytes(1, 2000)) << "the byte reached the channel";
          break;
        case During::Stop:
          worker.requestStop();
          break;
        case During::HangUp:
          beacon.hangUp();
          EXPECT_FALSE(channel.waitForBytes(1, 2000)) << "the channel saw the line go";
          break;
      }
    };
    ASSERT_TRUE(worker.start());
    worker.join();
    EXPECT_EQ(worker.quiet, c.quiet);
    EXPECT_EQ(clock.sleeps, c.sleepsTaken);
    EXPECT_EQ(channel.receivedCount(), 0u) << "what came meanwhile was dropped";
  }
}

}  // namespace
}  // namespace orsa::link
