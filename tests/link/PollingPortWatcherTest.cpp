#include "link/PollingPortWatcher.h"

#include <gtest/gtest.h>

#include <future>

#include "support/FakePortMap.h"

namespace orsa::link {
namespace {

using namespace std::chrono_literals;
using orsa::testing::FakePortMap;

// The map as Windows keeps it: the beacon's entries carry "USBSER", other serial ports do not.
TEST(PollingPortWatcher, TellsOfBeaconsPluggedInAndPulledOutAndEndsOnStop) {
  auto owned = std::make_unique<FakePortMap>(
      std::vector<SerialPortMap::Entry>{{"\\Device\\Serial0", "COM1"}, {"\\Device\\USBSER000", "COM7"}}, "USBSER");
  FakePortMap& map = *owned;
  PollingPortWatcher watcher(std::move(owned), 10ms);

  auto first = watcher.next(5s);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->kind, PortEvent::Kind::Appeared) << "there at the start: as if plugged in then";
  EXPECT_EQ(first->port.portName, "COM7");

  map.offer({{"\\Device\\Serial0", "COM1"}, {"\\Device\\USBSER001", "COM9"}});
  std::vector<std::pair<PortEvent::Kind, std::string>> changes;
  for (int i = 0; i < 2; ++i) {
    auto change = watcher.next(5s);
    ASSERT_TRUE(change);
    changes.emplace_back(change->kind, change->port.portName);
  }
  EXPECT_EQ(changes, (std::vector<std::pair<PortEvent::Kind, std::string>>{{PortEvent::Kind::Appeared, "COM9"},
                                                                           {PortEvent::Kind::Disappeared, "COM7"}}));

  // A wait under way ends when another thread stops the watcher, and no later one waits.
  auto waiting = std::async(std::launch::async, [&watcher] { return watcher.next(60s); });
  watcher.stop();
  ASSERT_EQ(waiting.wait_for(30s), std::future_status::ready);
  EXPECT_FALSE(waiting.get());
  EXPECT_TRUE(watcher.stopped());
  map.offer({});
  EXPECT_FALSE(watcher.next(60s)) << "stopped: no look at the map any more";
}

}  // namespace
}  // namespace orsa::link
