#include "settings/RWSettingsThread.h"

#include <gtest/gtest.h>

#include <functional>
#include <future>

#include "support/BeaconFigures.h"
#include "support/Checked.h"
#include "support/SimRig.h"
#include "support/TestClock.h"

namespace orsa::settings {
namespace {

using namespace std::chrono_literals;
using Events = std::vector<std::string>;
namespace figures = orsa::testing::figures;
using orsa::testing::at;
using orsa::testing::last;
using orsa::testing::TestClock;

constexpr std::uint8_t kRead = figures::kReadSettingSlot;
constexpr std::uint8_t kWrite = figures::kWriteSettingSlot;

SlotId slotAt(std::size_t position) { return static_cast<SlotId>(figures::kExchangeSlots[position]); }

std::string result(std::int32_t code, std::string_view message) {
  return "result:" + std::to_string(code) + ":" + std::string(message);
}

class RWSettingsThreadTest : public ::testing::Test {
 protected:
  enum class Time { Real, Test };
  explicit RWSettingsThreadTest(Time time = Time::Real)
      : rig({}, time == Time::Test ? static_cast<link::Clock&>(clock) : link::steadyClock()) {}

  // Every callback leaves a line here, in order.
  RWSettingsThread::Callbacks callbacks() {
    const auto log = [this](std::string prefix) {
      return [this, prefix](const RWSettingsThread&) { events.push_back(prefix); };
    };
    RWSettingsThread::Callbacks c;
    c.showResult = [this](const RWSettingsThread& w) {
      events.push_back("result:" + std::to_string(w.resultCode) + ":" + w.messageText);
    };
    c.showProgressWindow = [this](const RWSettingsThread& w) { captions.push_back(w.progressCaption); };
    c.showProgress = [this](const RWSettingsThread& w) {
      progress.push_back(std::to_string(w.progressPosition) + "/" + std::to_string(w.progressMax));
    };
    c.hideProgressWindow = log("hide");
    c.showRecord = log("showRecord");
    c.fillSummary = log("fillSummary");
    c.replyDump = [this](const std::string& line) { dumps.push_back(line); };
    return c;
  }

  // `meanwhile` runs on the test's thread while the worker does.
  void run(std::int32_t mode, const std::function<void()>& meanwhile = {}) {
    RWSettingsThread worker(rig.link(), record, replyLock, callbacks());
    worker.mode = mode;
    ASSERT_TRUE(worker.start());
    if (meanwhile) meanwhile();
    worker.join();
    EXPECT_FALSE(rig.channel.isOpen()) << "every run closes the channel";
  }

  std::string beaconText(std::uint32_t parameter) const {
    const auto cell = rig.beacon->settingsCell(parameter);
    return std::string(cell.begin(), std::find(cell.begin(), cell.begin() + 31, 0));
  }

  TestClock clock;
  orsa::testing::SimRig rig;
  SettingsRecord record;
  std::mutex replyLock;
  Events events, captions, progress, dumps;
};

// The pauses pass at once and a wait runs out only when the test knows no answer is coming.
class RWSettingsThreadOnTestClock : public RWSettingsThreadTest {
 protected:
  RWSettingsThreadOnTestClock() : RWSettingsThreadTest(Time::Test) {}
};

TEST_F(RWSettingsThreadTest, ReadFetchesEverySlotThenShowsTheRecord) {
  rig.beacon->setSettingsCell(figures::kSlotParameters[indexOf(SlotId::ServerHost)], std::string(32, 'h'));
  rig.beacon->setSettingsCell(figures::kSlotParameters[indexOf(SlotId::BalanceCode)], "\xCA\xEE\xE4");  // "Код"
  record.setText(SlotId::WialonPassword, "stale");
  run(RWSettingsThread::kReadMode);

  const auto trace = rig.beacon->trace();
  ASSERT_EQ(trace.size(), 30u);
  for (std::size_t p = 0; p < 30; ++p) {
    EXPECT_EQ(trace[p].type, kRead);
    EXPECT_EQ(trace[p].parameter, p < 29 ? figures::kExchangeParameters[p] : figures::kClosingReadParameter) << p;
    EXPECT_TRUE(trace[p].data.empty());
    // The pause after each request. The beacon's clock reads a frame late when its thread
    // was held up, which shortens the next gap alone: each gap shows that a pause was there, and
    // the whole run that none was cut short.
    if (p > 0 && p < 29) {
      EXPECT_GE(trace[p].receivedAt - trace[p - 1].receivedAt, figures::kReadPause / 2) << p;
    }
  }
  EXPECT_GE(trace[28].receivedAt - trace[0].receivedAt, 28 * figures::kReadPause - figures::kReadPause / 2);
  for (std::size_t slot = 0; slot < figures::kSlotCount; ++slot) {
    if (static_cast<SlotId>(slot) != SlotId::ServerHost) {
      EXPECT_EQ(record.text(static_cast<SlotId>(slot)), beaconText(figures::kSlotParameters[slot])) << slot;
    }
  }
  EXPECT_EQ(record.text(SlotId::ServerHost), std::string(31, 'h')) << "no terminator in the reply";
  EXPECT_EQ(record.text(SlotId::WialonPassword), "");

  EXPECT_EQ(progress.size(), 29u);
  EXPECT_EQ(last(progress), "28/29");
  EXPECT_EQ(at(captions, 0), figures::kReadingCaption);
  EXPECT_EQ(events, (Events{"showRecord", "fillSummary", "hide"})) << "no message after a read";

  ASSERT_EQ(dumps.size(), 58u) << "a line and a separator per slot";
  EXPECT_EQ(dumps[1], "\r\n\r\n");
  std::string zeros;
  for (int i = 0; i < 32; ++i) {
    zeros += "0x00 ";
  }
  EXPECT_EQ(dumps[2 * 11], zeros) << "the empty password cell";
  EXPECT_EQ(dumps[2 * 23].rfind("К о д 0x00 ", 0), 0u) << dumps[2 * 23];
}

TEST_F(RWSettingsThreadOnTestClock, ReadFailureAtTheSixthSlotKeepsTheFirstFive) {
  // "3" and its terminator arrive, the other 30 bytes of the cell never do.
  rig.beacon->setFaults(sim::FaultPlan().shortReply(kRead, 6, 2));
  record.RestoreDefaults("+7");
  const auto start = clock.now();
  run(RWSettingsThread::kReadMode, [&] {
    // The sixth request went out after the purge, so the two bytes counted are its answer's.
    const bool answered = rig.beacon->waitForFrames(6, 10s) && rig.channel.waitForBytes(2, 60000);
    clock.passWaits(true);
    EXPECT_TRUE(answered);
  });
  EXPECT_EQ(clock.timeOuts(), 1u) << "the sixth slot's wait ran out";
  // Six pauses, five answers at once and the sixth slot's whole time-out.
  EXPECT_EQ(clock.now() - start, 6 * figures::kReadPause + figures::kReadTimeout + TestClock::kPastDeadline);

  EXPECT_EQ(rig.beacon->trace().size(), 6u);
  for (std::size_t p = 0; p < 29; ++p) {
    EXPECT_EQ(record.text(slotAt(p)), p < 5 ? beaconText(figures::kExchangeParameters[p]) : "") << p;
  }
  EXPECT_EQ(progress.size(), 5u);
  ASSERT_EQ(dumps.size(), 12u) << "the failed reply is dumped too";
  std::string shortReply = "3 ";
  for (int i = 1; i < 32; ++i) {
    shortReply += "0x00 ";
  }
  EXPECT_EQ(dumps[10], shortReply) << "all 32 bytes of the buffer, the missing ones as zeros";
  EXPECT_EQ(events, (Events{result(4, figures::kReadFailed), "hide"}));
}

TEST_F(RWSettingsThreadTest, WriteSendsTwentyFiveWholeCellsWithoutPauses) {
  record.RestoreDefaults("+79001234567");
  record.setText(SlotId::ConstantSlotB, "XXtail");
  record.overwriteText(SlotId::ConstantSlotB, "1");
  record.setText(SlotId::DeviceImei, "never written");
  run(RWSettingsThread::kWriteMode);

  const auto trace = rig.beacon->trace();
  ASSERT_EQ(trace.size(), 25u);
  std::size_t quickGaps = 0;
  for (std::size_t p = 0; p < 25; ++p) {
    const auto& cell = record.bytes(slotAt(p));
    EXPECT_EQ(trace[p].type, kWrite);
    EXPECT_EQ(trace[p].parameter, figures::kExchangeParameters[p]);
    EXPECT_EQ(trace[p].data, std::vector<std::uint8_t>(cell.begin(), cell.end())) << p;
    quickGaps += p > 0 && trace[p].receivedAt - trace[p - 1].receivedAt < 90ms ? 1 : 0;
  }
  EXPECT_GE(quickGaps, 12u);
  EXPECT_EQ(at(trace[24].data, 2), 't') << "bytes after the terminator travel too";
  EXPECT_EQ(at(progress, 0), "0/25");
  EXPECT_EQ(last(progress), "24/25");
  EXPECT_EQ(last(captions), figures::kWritingCaption);
  EXPECT_EQ(events, (Events{"hide", result(3, figures::kWriteDone), "hide"}));
  EXPECT_TRUE(dumps.empty());
}

TEST_F(RWSettingsThreadOnTestClock, FailuresEndTheRunAndTheNextRunStartsAfresh) {
  record.RestoreDefaults("+7");
  rig.beacon->setFaults(sim::FaultPlan().dropReply(kWrite, 3));
  const auto start = clock.now();
  run(RWSettingsThread::kWriteMode, [&] {
    const bool sent = rig.beacon->waitForFrames(3, 10s);
    clock.passWaits(true);  // its answer was dropped
    EXPECT_TRUE(sent);
  });
  clock.passWaits(false);
  EXPECT_EQ(clock.timeOuts(), 1u);
  EXPECT_EQ(clock.now() - start, figures::kWriteTimeout + TestClock::kPastDeadline) << "writes do not pause";
  EXPECT_EQ(rig.beacon->trace().size(), 3u);
  EXPECT_EQ(progress, (Events{"0/25", "1/25"}));
  EXPECT_EQ(events, (Events{result(4, figures::kWriteFailed), "hide"}));

  rig.beacon->setFaults({});
  events.clear();
  run(RWSettingsThread::kWriteMode);
  EXPECT_EQ(rig.beacon->trace().size(), 3u + 25u);
  EXPECT_EQ(events, (Events{"hide", result(3, figures::kWriteDone), "hide"}));

  rig.unplug();
  events.clear();
  const SettingsRecord before = record;
  run(RWSettingsThread::kReadMode);
  EXPECT_EQ(record, before);
  EXPECT_EQ(events, (Events{result(4, figures::kNotConnected), "hide"}));
}

TEST_F(RWSettingsThreadOnTestClock, SecondStartIsRefusedWhileARunIsActive) {
  std::promise<void> running;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  RWSettingsThread::Callbacks holding = callbacks();
  holding.showProgress = [&, first = true](const RWSettingsThread&) mutable {
    if (std::exchange(first, false)) {
      running.set_value();
      released.wait_for(10s);
    }
  };
  RWSettingsThread first(rig.link(), record, replyLock, holding);
  first.mode = RWSettingsThread::kReadMode;
  ASSERT_TRUE(first.start());
  ASSERT_EQ(running.get_future().wait_for(10s), std::future_status::ready);

  SettingsRecord other;
  RWSettingsThread second(rig.link(), other, replyLock, callbacks());
  second.mode = RWSettingsThread::kWriteMode;
  EXPECT_FALSE(second.start());
  EXPECT_FALSE(second.refusalMessage().empty());

  release.set_value();
  first.join();
  EXPECT_EQ(rig.beacon->trace().size(), 30u) << "the refused start sent nothing";
  RWSettingsThread third(rig.link(), record, replyLock, callbacks());
  third.mode = RWSettingsThread::kReadMode;
  EXPECT_TRUE(third.start()) << "a finished run frees the channel";
}

TEST_F(RWSettingsThreadTest, StoppingCutsTheWaitShortWithoutAMessage) {
  rig.beacon->setFaults(sim::FaultPlan().dropReply(kRead, 1));
  RWSettingsThread worker(rig.link(), record, replyLock, callbacks());
  worker.mode = RWSettingsThread::kReadMode;
  ASSERT_TRUE(worker.start());
  ASSERT_TRUE(rig.beacon->waitForFrames(1, 5s));
  const auto start = std::chrono::steady_clock::now();
  worker.stopAndJoin();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2000ms);
  EXPECT_EQ(events, (Events{"hide"}));
  EXPECT_FALSE(rig.channel.isOpen());
}

}  // namespace
}  // namespace orsa::settings
