// A beacon pulled out of the USB socket and plugged in again, as the window's one channel sees it
// across operations: the operation under way ends with its message at once, and the beacon, back under
// another device name, is found by the automatic port choice at the next operation.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>

#include "link/ChannelGate.h"
#include "link/SerialChannel.h"
#include "link/WorkerHost.h"
#include "settings/RWSettingsThread.h"
#include "settings/SlotId.h"
#include "sim/SimulatedBeacon.h"
#include "support/BeaconFigures.h"
#include "support/FakePortMap.h"
#include "support/TestClock.h"

namespace orsa::settings {
namespace {

using namespace std::chrono_literals;
namespace figures = orsa::testing::figures;

class UnplugReplug : public ::testing::Test {
 protected:
  struct Outcome {
    std::int32_t code = link::kResultNone;
    std::string message;
    link::Clock::Duration took{};  // on the test's clock
  };

  // One read on the long-lived channel, with the automatic port choice, as the window does it.
  Outcome read() {
    RWSettingsThread::Callbacks callbacks;
    Outcome outcome;
    callbacks.showResult = [&](const RWSettingsThread& worker) {
      outcome.code = worker.resultCode;
      outcome.message = worker.messageText;
    };
    RWSettingsThread worker({channel, map, gate, host}, record, replyLock, callbacks);
    worker.mode = RWSettingsThread::kReadMode;
    const auto start = clock.now();
    EXPECT_TRUE(worker.start());
    worker.join();
    outcome.took = clock.now() - start;
    return outcome;
  }

  static void plugIn(sim::SimulatedBeacon& beacon, orsa::testing::FakePortMap& into) {
    into.offer({{"ttyS0 serial8250", "/dev/ttyS0"}, {"ttyACM cdc_acm", beacon.portPath()}});
  }

  orsa::testing::FakePortMap map;
  // The pauses pass at once; no wait here may run out, as every answer comes or the line goes.
  orsa::testing::TestClock clock;
  link::SerialChannel channel{&link::openSerialPort, clock};
  link::ChannelGate gate;
  link::DirectWorkerHost host{link::PortChoice{}};
  SettingsRecord record;
  std::mutex replyLock;
};

TEST_F(UnplugReplug, AnUnplugEndsTheReadAtOnceWithItsMessage) {
  // Pulled out while the fourth slot is being asked for.
  sim::SimulatedBeacon beacon(sim::FaultPlan().hangUpAfter(4));
  plugIn(beacon, map);
  const Outcome outcome = read();
  EXPECT_TRUE(beacon.isHungUp());
  EXPECT_EQ(outcome.code, link::kResultFailure);
  EXPECT_EQ(outcome.message, figures::kReadFailed);
  EXPECT_EQ(outcome.took, 4 * figures::kReadPause) << "the pauses after the four requests, and no time-out";
  EXPECT_EQ(clock.timeOuts(), 0u);
}

TEST_F(UnplugReplug, TheBeaconBackUnderANewNameIsFoundAtTheNextRead) {
  const std::uint32_t imeiCell = parameterOf(SlotId::DeviceImei);
  sim::SimulatedBeacon first;
  // The same beacon once plugged in again: a second simulated one with its settings, made now so
  // that its pseudo-terminal has another name than the first one's, as the next free ttyACM would.
  sim::SimulatedBeacon again;
  ASSERT_NE(again.portPath(), first.portPath());
  first.setSettingsCell(imeiCell, "866104023456789");
  again.setSettingsCell(imeiCell, "866104023456789");
  plugIn(first, map);
  ASSERT_EQ(read().message, "") << "a read that succeeds shows the record, no message";
  ASSERT_EQ(record.text(SlotId::DeviceImei), "866104023456789");

  // Unplugged: the device and its name are gone.
  first.hangUp();
  map.offer({{"ttyS0 serial8250", "/dev/ttyS0"}});
  EXPECT_EQ(read().message, orsa::testing::figures::kNotConnected);

  record.clearAll();
  plugIn(again, map);
  EXPECT_EQ(read().message, "");
  EXPECT_EQ(record.text(SlotId::DeviceImei), "866104023456789");
  EXPECT_EQ(again.trace().size(), 30u);
}

}  // namespace
}  // namespace orsa::settings
