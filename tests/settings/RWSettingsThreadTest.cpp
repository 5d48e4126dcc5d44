#include "settings/RWSettingsThread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <string>
#include <vector>

#include "settings/ExchangeOrder.h"
#include "settings/ReplyDump.h"
#include "support/SimRig.h"

namespace orsa::settings {
namespace {

using namespace std::chrono_literals;
using orsa::testing::SimRig;

constexpr std::uint8_t kRead = 1;
constexpr std::uint8_t kWrite = 2;

std::string cellText(const std::array<std::uint8_t, 32>& cell) {
    const auto zero = std::find(cell.begin(), cell.end(), std::uint8_t{0});
    return std::string(cell.begin(), std::min(zero, cell.begin() + 31));
}

class SettingsExchange : public ::testing::Test {
protected:
    // Everything the callbacks were asked to do, in order.
    std::vector<std::string> events;
    std::vector<std::string> dumps;

    RWSettingsThread::Callbacks callbacks() {
        RWSettingsThread::Callbacks c;
        c.showResult = [this](const RWSettingsThread& w) {
            events.push_back("result:" + std::to_string(w.resultCode) + ":" + w.messageText);
        };
        c.showProgressWindow = [this](const RWSettingsThread& w) {
            events.push_back("window:" + w.progressCaption);
        };
        c.showProgress = [this](const RWSettingsThread& w) {
            events.push_back("progress:" + std::to_string(w.progressPosition) + "/" +
                             std::to_string(w.progressMax));
        };
        c.hideProgressWindow = [this](const RWSettingsThread&) { events.push_back("hide"); };
        c.showRecord = [this](const RWSettingsThread&) { events.push_back("showRecord"); };
        c.fillSummary = [this](const RWSettingsThread&) { events.push_back("fillSummary"); };
        c.replyDump = [this](const std::string& line) { dumps.push_back(line); };
        return c;
    }

    void run(std::int32_t mode) {
        RWSettingsThread worker(rig.link(), record, replyLock, callbacks());
        worker.mode = mode;
        ASSERT_TRUE(worker.start());
        worker.join();
        EXPECT_TRUE(worker.finished());
    }

    std::vector<std::string> eventsOfKind(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const std::string& e : events) {
            if (e.rfind(prefix, 0) == 0) {
                out.push_back(e);
            }
        }
        return out;
    }

    SimRig rig;
    SettingsRecord record;
    std::mutex replyLock;
};

TEST_F(SettingsExchange, ReadAsksForEverySlotInExchangeOrderAndShowsTheRecord) {
    rig.beacon->setSettingsCell(parameterOf(SlotId::ServerHost), "srv.example.org");
    rig.beacon->setSettingsCell(parameterOf(SlotId::BalanceCode), "\xCA\xEE\xE4");  // "Код"
    record.setText(SlotId::WialonPassword, "stale");

    run(RWSettingsThread::kReadMode);

    const auto trace = rig.beacon->trace();
    ASSERT_EQ(trace.size(), 30u);
    for (std::size_t p = 0; p < 29; ++p) {
        EXPECT_EQ(trace[p].type, kRead);
        EXPECT_EQ(trace[p].parameter, exchangeOrder[p].parameter) << "position " << p;
        EXPECT_TRUE(trace[p].data.empty());
    }
    EXPECT_EQ(trace[29].type, kRead);
    EXPECT_EQ(trace[29].parameter, 0x080802C0u);

    // The pause after each request keeps the requests at least 100 ms apart (less a little
    // scheduling jitter on the beacon's side).
    for (std::size_t p = 1; p < 29; ++p) {
        EXPECT_GE(trace[p].receivedAt - trace[p - 1].receivedAt, 90ms) << "position " << p;
    }

    for (const ExchangeEntry& entry : exchangeOrder) {
        EXPECT_EQ(record.text(entry.slot), cellText(rig.beacon->settingsCell(entry.parameter)))
            << slotName(entry.slot);
    }
    EXPECT_EQ(record.text(SlotId::ServerHost), "srv.example.org");
    EXPECT_EQ(record.text(SlotId::WialonPassword), "") << "the record is cleared before a read";

    std::vector<std::string> progress = eventsOfKind("progress:");
    ASSERT_EQ(progress.size(), 29u);
    EXPECT_EQ(progress.front(), "progress:0/29");
    EXPECT_EQ(progress.back(), "progress:28/29");
    EXPECT_EQ(eventsOfKind("window:").front(), "window:Чтение настроек...");
    EXPECT_TRUE(eventsOfKind("result:").empty()) << "a successful read shows no message";
    const std::vector<std::string> tail(events.end() - 3, events.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"showRecord", "fillSummary", "hide"}));

    ASSERT_EQ(dumps.size(), 58u) << "a line and a separator per slot";
    EXPECT_EQ(dumps[1], "\r\n\r\n");
    std::string emptyReply;
    for (int i = 0; i < 32; ++i) {
        emptyReply += "0x00 ";
    }
    EXPECT_EQ(dumps[2 * 11], emptyReply) << "the empty password cell";
    EXPECT_EQ(dumps[2 * 23].rfind("К о д 0x00 0x00 ", 0), 0u) << dumps[2 * 23];
    EXPECT_FALSE(rig.channel.isOpen());
}

TEST_F(SettingsExchange, ReplyWithoutTerminatorKeepsThirtyOneCharacters) {
    rig.beacon->setSettingsCell(parameterOf(SlotId::ServerHost), std::string(32, 'h'));
    run(RWSettingsThread::kReadMode);
    EXPECT_EQ(record.text(SlotId::ServerHost), std::string(31, 'h'));
    EXPECT_EQ(record.bytes(SlotId::ServerHost)[31], 0);
    EXPECT_EQ(record.text(SlotId::ServerPort), "23351") << "the next slot is untouched";
}

TEST_F(SettingsExchange, ReadFailureLeavesTheEarlierSlotsAndShowsNothing) {
    rig.beacon->setFaults(sim::FaultPlan().dropReply(kRead, 6));  // the slot at position 5
    record.RestoreDefaults("+7");
    const auto start = std::chrono::steady_clock::now();
    run(RWSettingsThread::kReadMode);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 4000ms);

    EXPECT_EQ(rig.beacon->trace().size(), 6u) << "no further request after the failure";
    for (std::size_t p = 0; p < 29; ++p) {
        const SlotId slot = exchangeOrder[p].slot;
        if (p < 5) {
            EXPECT_EQ(record.text(slot), cellText(rig.beacon->settingsCell(exchangeOrder[p].parameter)))
                << slotName(slot);
        } else {
            EXPECT_EQ(record.text(slot), "") << slotName(slot);
        }
    }
    EXPECT_TRUE(eventsOfKind("showRecord").empty());
    EXPECT_TRUE(eventsOfKind("fillSummary").empty());
    EXPECT_EQ(eventsOfKind("progress:").size(), 5u);
    EXPECT_EQ(dumps.size(), 12u) << "the failed reply is dumped too";
    const std::vector<std::string> tail(events.end() - 2, events.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"result:4:Ошибка во время чтения параметров", "hide"}));
    EXPECT_FALSE(rig.channel.isOpen());
}

TEST_F(SettingsExchange, WriteSendsTheFirstTwentyFiveCellsWhole) {
    record.RestoreDefaults("+79001234567");
    record.setText(SlotId::ConstantSlotB, "XXtail");
    record.overwriteText(SlotId::ConstantSlotB, "1");
    record.setText(SlotId::DeviceImei, "never written");

    run(RWSettingsThread::kWriteMode);

    const auto trace = rig.beacon->trace();
    ASSERT_EQ(trace.size(), 25u);
    std::size_t quickGaps = 0;
    for (std::size_t p = 0; p < 25; ++p) {
        const ExchangeEntry& entry = exchangeOrder[p];
        EXPECT_EQ(trace[p].type, kWrite);
        EXPECT_EQ(trace[p].parameter, entry.parameter);
        const auto& cell = record.bytes(entry.slot);
        EXPECT_EQ(trace[p].data, std::vector<std::uint8_t>(cell.begin(), cell.end()))
            << slotName(entry.slot);
        EXPECT_EQ(rig.beacon->settingsCell(entry.parameter), cell);
        if (p > 0 && trace[p].receivedAt - trace[p - 1].receivedAt < 90ms) {
            ++quickGaps;
        }
    }
    EXPECT_GE(quickGaps, 12u) << "a write does not pause between cells";
    EXPECT_EQ(trace[24].data[2], 't') << "the bytes after the terminator travel too";

    std::vector<std::string> progress = eventsOfKind("progress:");
    ASSERT_EQ(progress.size(), 25u);
    EXPECT_EQ(progress.front(), "progress:0/25");
    EXPECT_EQ(progress.back(), "progress:24/25");
    EXPECT_EQ(eventsOfKind("window:").back(), "window:Запись настроек...");
    const std::vector<std::string> tail(events.end() - 3, events.end());
    EXPECT_EQ(tail,
              (std::vector<std::string>{"hide", "result:3:Настройки успешно записаны", "hide"}));
    EXPECT_TRUE(dumps.empty());
    EXPECT_FALSE(rig.channel.isOpen());
}

TEST_F(SettingsExchange, WriteFailureAtTheThirdCellAndANewWriteAfterwards) {
    record.RestoreDefaults("+7");
    rig.beacon->setFaults(sim::FaultPlan().dropReply(kWrite, 3));
    run(RWSettingsThread::kWriteMode);
    EXPECT_EQ(rig.beacon->trace().size(), 3u);
    EXPECT_EQ(eventsOfKind("progress:"),
              (std::vector<std::string>{"progress:0/25", "progress:1/25"}));
    const std::vector<std::string> tail(events.end() - 2, events.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"result:4:Ошибка во время записи параметров", "hide"}));

    rig.beacon->setFaults({});
    rig.beacon->clearTrace();
    events.clear();
    run(RWSettingsThread::kWriteMode);
    EXPECT_EQ(rig.beacon->trace().size(), 25u);
    EXPECT_EQ(eventsOfKind("result:"),
              (std::vector<std::string>{"result:3:Настройки успешно записаны"}));
}

TEST_F(SettingsExchange, MissingBeaconLeavesTheRecordAlone) {
    rig.unplug();
    record.RestoreDefaults("+7");
    const SettingsRecord before = record;
    run(RWSettingsThread::kReadMode);
    EXPECT_EQ(record, before);
    EXPECT_TRUE(rig.beacon->trace().empty());
    EXPECT_EQ(events, (std::vector<std::string>{"result:4:Устройство не подключено", "hide"}));
    EXPECT_FALSE(rig.channel.isOpen());
}

TEST_F(SettingsExchange, SecondStartIsRefusedWhileARunIsActive) {
    std::promise<void> firstProgress;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    bool signalled = false;

    RWSettingsThread::Callbacks holding = callbacks();
    holding.showProgress = [&](const RWSettingsThread&) {
        if (!signalled) {
            signalled = true;
            firstProgress.set_value();
            released.wait_for(10s);
        }
    };
    RWSettingsThread first(rig.link(), record, replyLock, holding);
    first.mode = RWSettingsThread::kReadMode;
    ASSERT_TRUE(first.start());
    ASSERT_EQ(firstProgress.get_future().wait_for(10s), std::future_status::ready);

    SettingsRecord other;
    RWSettingsThread second(rig.link(), other, replyLock, callbacks());
    second.mode = RWSettingsThread::kWriteMode;
    EXPECT_FALSE(second.start());
    EXPECT_FALSE(second.refusalMessage().empty());

    release.set_value();
    first.join();
    EXPECT_EQ(rig.beacon->trace().size(), 30u);
    EXPECT_EQ(eventsOfKind("result:").size(), 0u);

    RWSettingsThread third(rig.link(), record, replyLock, callbacks());
    third.mode = RWSettingsThread::kReadMode;
    EXPECT_TRUE(third.start()) << "a finished run frees the channel";
    third.join();
}

TEST_F(SettingsExchange, StoppingAbandonsTheRunWithoutAMessage) {
    rig.beacon->setFaults(sim::FaultPlan().dropReply(kRead, 1));
    RWSettingsThread worker(rig.link(), record, replyLock, callbacks());
    worker.mode = RWSettingsThread::kReadMode;
    ASSERT_TRUE(worker.start());
    ASSERT_TRUE(rig.beacon->waitForFrames(1, 5s));
    const auto start = std::chrono::steady_clock::now();
    worker.stopAndJoin();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2000ms) << "the 4000 ms wait is cut short";
    EXPECT_TRUE(eventsOfKind("result:").empty());
    EXPECT_EQ(rig.beacon->trace().size(), 1u);
    EXPECT_FALSE(rig.channel.isOpen());
}

TEST(ReplyDump, BytesAsCharactersAndZerosSpelledOut) {
    const std::vector<std::uint8_t> reply = {'5', '8', 0, 0xC0, 0xB9};
    EXPECT_EQ(replyDumpLine(reply), "5 8 0x00 А № ");
    std::vector<std::uint8_t> longReply(40, 'a');
    EXPECT_EQ(replyDumpLine(longReply).size(), 64u) << "only the first 32 bytes";
    EXPECT_EQ(replyDumpLine({}), "");
}

}  // namespace
}  // namespace orsa::settings
