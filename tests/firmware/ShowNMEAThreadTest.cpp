#include "firmware/ShowNMEAThread.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "support/DeviceEnd.h"
#include "support/SimRig.h"

namespace orsa::firmware {
namespace {

using namespace std::chrono_literals;
using orsa::testing::DeviceEnd;
using orsa::testing::SimRig;

// The module's side played by hand on a pseudo-terminal; the drains are collected as they come.
struct RelayRig {
  RelayRig() : host(link::PortChoice{false, module.portPath()}) {}

  ShowNMEAThread::Callbacks callbacks() {
    ShowNMEAThread::Callbacks c;
    c.drain = [this](std::string_view stream) {
      const std::lock_guard lock(mutex);
      drains.emplace_back(stream);
      changed.notify_all();
    };
    c.showResult = [this](const ShowNMEAThread& relay) {
      const std::lock_guard lock(mutex);
      results.push_back(relay.messageText);
    };
    return c;
  }
  bool waitForDrains(std::size_t count) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, 5s, [&] { return drains.size() >= count; });
  }

  DeviceEnd module;
  testing::FakePortMap map;
  link::SerialChannel channel;
  link::ChannelGate gate;
  link::DirectWorkerHost host;
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> drains;
  std::vector<std::string> results;
};

TEST(ShowNMEAThread, EveryByteOfASecondArrivesInOrderWithZeroBytesLeftOut) {
  RelayRig rig;
  ShowNMEAThread relay({rig.channel, rig.map, rig.gate, rig.host}, rig.callbacks());
  ASSERT_TRUE(relay.start());
  ASSERT_TRUE(rig.waitForDrains(1));
  const std::size_t first = rig.drains.size();
  // Half a sentence, a zero byte in it, then the rest of the second's bytes.
  rig.module.write(std::string("$GPGGA,202640.000,4404.1306,N,\0", 31) + "12118.8515,W,2,10,0.98");
  ASSERT_TRUE(rig.waitForDrains(first + 1));
  rig.module.write(",1127.7,M,-19.6,M,0000,0000*6C\r\n");
  ASSERT_TRUE(rig.waitForDrains(first + 2));
  relay.stopAndJoin();

  std::string stream;
  for (const auto& drain : rig.drains) stream += drain;
  EXPECT_EQ(stream, "$GPGGA,202640.000,4404.1306,N,12118.8515,W,2,10,0.98,1127.7,M,-19.6,M,0000,0000*6C\r\n");
  EXPECT_EQ(rig.drains[first], "$GPGGA,202640.000,4404.1306,N,12118.8515,W,2,10,0.98");
  EXPECT_TRUE(rig.results.empty());
  EXPECT_TRUE(rig.channel.isOpen()) << "stopping the relay leaves the channel to the next operation";
  EXPECT_FALSE(rig.gate.holder());
}

TEST(ShowNMEAThread, AMissingBeaconIsReportedOnceAndTheChannelClosed) {
  SimRig sim;
  sim.unplug();
  RelayRig rig;
  ShowNMEAThread relay(sim.link(), rig.callbacks());
  ASSERT_TRUE(relay.start());
  relay.join();
  EXPECT_EQ(rig.results, std::vector<std::string>{"Устройство не подключено"});
  EXPECT_EQ(relay.resultCode, link::kResultFailure);
  EXPECT_TRUE(rig.drains.empty());
  EXPECT_FALSE(sim.channel.isOpen());
}

}  // namespace
}  // namespace orsa::firmware
