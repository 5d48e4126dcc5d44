#include "service/ServiceThread.h"

#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <thread>

#include "service/ServiceRig.h"
#include "support/Checked.h"
#include "support/TestClock.h"

// Expected texts, frames and figures are written out here as the beacon's users know them, never
// taken from the product's own constants.
namespace orsa::service {
namespace {

using namespace std::chrono_literals;
using test::Line;
using test::ServiceRig;
using test::ServiceRun;
using Lines = std::vector<std::string>;
using Types = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;
using orsa::testing::TestClock;

constexpr std::uint8_t kModemOnFrame = 3;
constexpr std::uint8_t kModemData = 8;

bool startsWith(const std::string& text, std::string_view prefix) { return text.rfind(prefix, 0) == 0; }

TEST(ServiceThreadTest, AbsentBeaconGetsOneWarningBoxAndNothingElse) {
  ServiceRig rig;
  rig.sim.unplug();
  ServiceRun outcome = rig.run(ServiceThread::kModemOn);
  EXPECT_TRUE(outcome.log.empty());
  ASSERT_EQ(outcome.results.size(), 1u);
  EXPECT_EQ(outcome.results[0], (std::pair<std::int32_t, std::string>{4, "Устройство не подключено"}));
  EXPECT_FALSE(outcome.reachedAim);
  EXPECT_TRUE(rig.sim.beacon->trace().empty());
  EXPECT_FALSE(rig.sim.channel.isOpen());
}

// Every operation against a modem that echoes, on the fast line and at the beacon's 9600 baud.
class ServiceOnLineTest : public ::testing::TestWithParam<Line> {
 protected:
  ServiceRig rig{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(Lines, ServiceOnLineTest, ::testing::Values(Line::FullSpeed, Line::At9600), test::lineName);

TEST_P(ServiceOnLineTest, ModemStartIsConfiguredByTheAnswerToATE0Itself) {
  ServiceRun outcome = rig.run(ServiceThread::kModemOn);
  EXPECT_EQ(outcome.log, (Lines{"Запуск модема...", "Модем запущен", "Модем сконфигурирован"}));
  EXPECT_TRUE(outcome.reachedAim);
  EXPECT_EQ(rig.frameTypes(), (Types{kModemOnFrame, kModemData, kModemData}));
  EXPECT_EQ(rig.modemFrames(), (Lines{"AT\r\n", "ATE0\r\n"}));
  EXPECT_FALSE(rig.sim.beacon->withGsmModem([](const sim::GsmModemModel& m) { return m.echoes(); }));
  EXPECT_FALSE(rig.sim.channel.isOpen());
}

TEST_P(ServiceOnLineTest, TestSimEntryIsWrittenThenOverwrittenWithAnEmptyName) {
  rig.startModem();
  using Entry = sim::GsmModemModel::PhonebookEntry;
  auto entry = [&] {
    return rig.sim.beacon->withGsmModem([](const sim::GsmModemModel& m) { return m.phonebook().at(1); });
  };
  ServiceRun created = rig.run(ServiceThread::kCreateTestSimEntry);
  EXPECT_EQ(created.log, Lines{"SIM-карта для тестирования создана"});
  EXPECT_EQ(entry(), (Entry{"00000", 145, "ORSA TEST"}));
  ServiceRun cleared = rig.run(ServiceThread::kClearTestSimEntry);
  EXPECT_EQ(cleared.log, Lines{"SIM-карта для тестирования деактивирована"});
  EXPECT_EQ(entry(), (Entry{"00000", 145, ""}));
  EXPECT_EQ(rig.modemFrames(),
            (Lines{"AT+CPBW=1,\"00000\",145,\"ORSA TEST\"\r\n", "AT+CPBW=1,\"00000\",145,\"\"\r\n"}));

  rig.setFaults(rig.faults().modemWithoutSim());
  ServiceRun refused = rig.run(ServiceThread::kCreateTestSimEntry);
  EXPECT_EQ(refused.log, Lines{"Ошибка создания тестовой SIM-карты: модем ответил «+CME ERROR: 10»"});
  EXPECT_FALSE(refused.reachedAim);
}

TEST_P(ServiceOnLineTest, ImeiGoesOutBySmsOnlyOnceTheNetworkTookIt) {
  rig.startModem();
  ServiceRun outcome;
  // Declared before the lock, so a failed check below releases the lock before it joins.
  std::jthread worker;
  std::unique_lock held(rig.replyLock);
  worker = std::jthread([&] { outcome = rig.run(ServiceThread::kSendImeiSms, "+7 916 123-45-67"); });
  // The answer to AT+GSN is in; the worker must now wait for the lock before anything else goes out.
  ASSERT_TRUE(rig.sim.beacon->waitForFrames(1, 5s));
  EXPECT_FALSE(rig.sim.beacon->waitForFrames(2, 300ms)) << "a frame went out while the reply was held";
  EXPECT_EQ(rig.modemFrames(), Lines{"AT+GSN\r\n"});
  held.unlock();
  worker.join();

  EXPECT_EQ(outcome.log, Lines{"SMS отправлено (ссылка 1)"});
  EXPECT_TRUE(outcome.reachedAim);
  const Lines frames = rig.modemFrames();
  ASSERT_EQ(frames.size(), 5u);
  EXPECT_EQ(frames[1], "AT+CMGF=1\r\n");
  EXPECT_EQ(frames[2], "AT+CSCS=\"GSM\"\r\n");
  EXPECT_EQ(frames[3], "AT+CMGS=\"+79161234567\"\r\n");
  EXPECT_EQ(frames[4], std::string("866104023456786\x1A"));
  const auto trace = rig.sim.beacon->trace();
  ASSERT_EQ(trace.size(), 5u);
  EXPECT_GE(trace[4].receivedAt - trace[3].receivedAt, 1500ms) << "the pause after the prompt";
  using Message = sim::GsmModemModel::SentMessage;
  EXPECT_EQ(rig.sim.beacon->withGsmModem([](const sim::GsmModemModel& m) { return m.sentMessages(); }),
            (std::vector<Message>{{"+79161234567", "866104023456786"}}));
}

TEST_P(ServiceOnLineTest, SmsRefusedAnywhereIsNeverCalledSent) {
  rig.startModem();
  struct Case {
    sim::FaultPlan faults;
    std::size_t framesSent;
    const char* line;
  };
  for (const Case& c : {
           Case{rig.faults().modemLacks("+GSN"), 1, "Модем не сообщил IMEI: модем ответил «ERROR»"},
           Case{rig.faults().modemRefusesSms(), 4, "SMS не отправлено (AT+CMGS): модем ответил «+CMS ERROR: 500»"},
           Case{rig.faults().modemWithoutNetwork(), 5, "SMS не отправлено: модем ответил «+CMS ERROR: 331»"},
       }) {
    SCOPED_TRACE(c.line);
    rig.setFaults(c.faults);
    rig.sim.beacon->clearTrace();
    ServiceRun outcome = rig.run(ServiceThread::kSendImeiSms, "+79161234567");
    EXPECT_EQ(outcome.log, Lines{c.line});
    EXPECT_FALSE(outcome.reachedAim);
    EXPECT_EQ(rig.modemFrames().size(), c.framesSent) << "nothing follows the refusal";
  }
  EXPECT_TRUE(rig.sim.beacon->withGsmModem([](const sim::GsmModemModel& m) { return m.sentMessages().empty(); }));
}

TEST_P(ServiceOnLineTest, CallAndHangUpReportTheModemsAnswer) {
  rig.startModem();
  auto activeCall = [&] {
    return rig.sim.beacon->withGsmModem([](const sim::GsmModemModel& m) { return m.activeCall(); });
  };
  ServiceRun called = rig.run(ServiceThread::kCall, "+7 (916) 123-45-67");
  EXPECT_EQ(called.log, Lines{"Звонок..."});
  EXPECT_TRUE(called.reachedAim);
  EXPECT_EQ(rig.modemFrames(), Lines{"ATD+79161234567;\r\n"});
  EXPECT_EQ(activeCall(), std::optional<std::string>("+79161234567"));

  ServiceRun hungUp = rig.run(ServiceThread::kHangUp);
  EXPECT_EQ(hungUp.log, Lines{"Звонок отменен"});
  EXPECT_EQ(orsa::testing::last(rig.modemFrames()), "ATH0\r\n");
  EXPECT_EQ(activeCall(), std::nullopt);

  rig.setFaults(rig.faults().modemFindsCallBusy());
  ServiceRun busy = rig.run(ServiceThread::kCall, "+79161234567");
  EXPECT_EQ(busy.log, Lines{"Звонок не состоялся: модем ответил «BUSY»"});
  EXPECT_FALSE(busy.reachedAim);
  rig.setFaults(rig.faults().modemLacks("H"));
  ServiceRun notHungUp = rig.run(ServiceThread::kHangUp);
  EXPECT_EQ(notHungUp.log, Lines{"Звонок не отменен: модем ответил «ERROR»"});
  EXPECT_FALSE(notHungUp.reachedAim);
  EXPECT_FALSE(rig.sim.channel.isOpen());
}

TEST_P(ServiceOnLineTest, DiagnosticsReadEveryAnswerAndNameWhatTheModemLacks) {
  rig.startModem();
  rig.setFaults(rig.faults().modemLacks("+CBC"));
  ServiceRun outcome = rig.run(ServiceThread::kModemInfo);
  EXPECT_EQ(outcome.log, (Lines{"Модель: SIM800 R14.18", "Прошивка модема: 1418B05SIM800L24", "IMEI: 866104023456786",
                                "SIM-карта: готова (READY)", "ICCID: 89701012345678901234", "Сигнал: -77 дБм (CSQ 18)",
                                "Регистрация в сети: домашняя сеть (1)", "Оператор: MTS RUS",
                                "Напряжение питания: не поддерживается"}));
  EXPECT_TRUE(outcome.reachedAim);
  ASSERT_EQ(rig.lastInfo.size(), 9u);
  EXPECT_EQ(rig.lastInfo[5].number, -77);
  EXPECT_EQ(rig.lastInfo[8].state, ModemInfoItem::State::Unsupported);
}

// Operations that cannot be carried out with what was typed send nothing at all.
TEST(ServiceThreadTest, InputThatWouldBreakTheCommandLineIsRefusedBeforeAnythingIsSent) {
  ServiceRig rig;
  rig.startModem();
  for (const std::string& phone :
       {std::string("+7916;\r\nAT+CPBW=1,\"1\""), std::string("12"), std::string(21, '1'), std::string("+7916\"123")}) {
    SCOPED_TRACE(phone);
    for (const auto mode : {ServiceThread::kSendImeiSms, ServiceThread::kCall}) {
      ServiceRun refused = rig.run(mode, phone);
      ASSERT_EQ(refused.log.size(), 1u);
      EXPECT_TRUE(startsWith(refused.log[0], "Неверный номер телефона «")) << refused.log[0];
      EXPECT_FALSE(refused.reachedAim);
    }
  }
  EXPECT_TRUE(rig.sim.beacon->trace().empty());
}

// A modem that is switched off answers nothing; each operation says so within 10 s.
class ModemOffTest : public ::testing::TestWithParam<std::int32_t> {};

INSTANTIATE_TEST_SUITE_P(Operations, ModemOffTest,
                         ::testing::Values(ServiceThread::kModemOn, ServiceThread::kCreateTestSimEntry,
                                           ServiceThread::kSendImeiSms, ServiceThread::kCall, ServiceThread::kHangUp,
                                           ServiceThread::kModemInfo),
                         [](const auto& operation) { return "Mode" + std::to_string(operation.param); });

TEST_P(ModemOffTest, EndsWithALineThatSaysTheModemDidNotAnswer) {
  std::promise<void> modemAsked;
  std::once_flag once;
  TestClock clock;
  ServiceRig rig(clock);
  rig.setFaults(sim::FaultPlan().modemStaysOff());
  rig.sim.beacon->setFrameObserver([&](const sim::FrameRecord& frame) {
    if (frame.type == kModemData) std::call_once(once, [&] { modemAsked.set_value(); });
  });
  const auto started = clock.now();
  ServiceRun outcome = rig.run(GetParam(), "+79161234567", {}, [&](ServiceThread&) {
    // The beacon acknowledges a power frame itself; from the first command for the modem on,
    // nothing answers, so every wait may run out.
    const bool asked = modemAsked.get_future().wait_for(5s) == std::future_status::ready;
    clock.passWaits(true);
    EXPECT_TRUE(asked);
  });
  EXPECT_GE(clock.timeOuts(), 1u);
  EXPECT_LT(clock.now() - started, 10s) << "the silence is not waited out command after command";
  ASSERT_FALSE(outcome.log.empty());
  const std::string& last = outcome.log.back();
  EXPECT_TRUE(last.ends_with(": модем не ответил")) << last;
  EXPECT_FALSE(outcome.reachedAim);
  EXPECT_FALSE(rig.sim.channel.isOpen());
}

TEST(ServiceThreadTest, StopEndsAWaitingOperationAtOnceAndLeavesNoPromptOpen) {
  {
    SCOPED_TRACE("a modem that is off: the IMEI question would wait its whole time-out");
    ServiceRig rig;
    rig.setFaults(sim::FaultPlan().modemStaysOff());
    Clock::time_point stopped;
    ServiceRun outcome = rig.run(ServiceThread::kSendImeiSms, "+79161234567", {}, [&](ServiceThread& worker) {
      ASSERT_TRUE(rig.sim.beacon->waitForFrames(1, 5s));
      stopped = Clock::now();
      worker.requestStop();
    });
    EXPECT_LT(Clock::now() - stopped, 1s);
    EXPECT_EQ(outcome.log, Lines{"Остановлено"});
    EXPECT_FALSE(outcome.reachedAim);
  }
  {
    SCOPED_TRACE("during the pause after the prompt: ESC takes the modem out of the message text");
    ServiceRig rig;
    rig.startModem();
    ServiceRun outcome = rig.run(ServiceThread::kSendImeiSms, "+79161234567", {}, [&](ServiceThread& worker) {
      ASSERT_TRUE(rig.sim.beacon->waitForFrames(4, 5s));
      worker.requestStop();
    });
    EXPECT_EQ(outcome.log, Lines{"Остановлено"});
    ASSERT_TRUE(rig.sim.beacon->waitForFrames(5, 5s));
    EXPECT_EQ(orsa::testing::last(rig.modemFrames()), "\x1B");
    ServiceRun next = rig.run(ServiceThread::kCreateTestSimEntry);
    EXPECT_EQ(next.log, Lines{"SIM-карта для тестирования создана"}) << "the modem takes commands again";
    EXPECT_TRUE(rig.sim.beacon->withGsmModem([](const sim::GsmModemModel& m) { return m.sentMessages().empty(); }));
  }
}

TEST(ServiceThreadTest, UnknownCodeConnectsAndSendsNothing) {
  ServiceRig rig;
  for (std::int32_t mode : {0, 99}) {
    ServiceRun outcome = rig.run(mode);
    EXPECT_TRUE(outcome.log.empty());
    EXPECT_TRUE(outcome.results.empty());
    EXPECT_FALSE(outcome.reachedAim);
  }
  EXPECT_TRUE(rig.sim.beacon->trace().empty());
  EXPECT_FALSE(rig.sim.channel.isOpen());
}

TEST(ServiceThreadTest, ASecondOperationIsRefusedWhileOneHoldsTheChannel) {
  ServiceRig rig;
  auto claim = rig.sim.gate.tryClaim("чтение настроек");
  ServiceRun refused = rig.run(ServiceThread::kModemOn);
  ASSERT_EQ(refused.log.size(), 1u);
  EXPECT_TRUE(startsWith(refused.log[0], "Устройство занято")) << refused.log[0];
  EXPECT_TRUE(rig.sim.beacon->trace().empty());
}

TEST(ServiceThreadTest, PowerFramesReportByTheirAcknowledgement) {
  struct Case {
    std::int32_t mode;
    std::uint8_t frame;
    const char* success;
    const char* failure;
  };
  for (const Case& c :
       {Case{ServiceThread::kModemOff, 5, "Модем остановлен", "Модем не остановлен"},
        Case{ServiceThread::kGnssOn, 4, "GPS/ГЛОНАСС модуль запущен", "GPS/ГЛОНАСС модуль не запущен"},
        Case{ServiceThread::kGnssOff, 6, "GPS/ГЛОНАСС модуль остановлен", "GPS/ГЛОНАСС модуль не остановлен"}}) {
    SCOPED_TRACE(c.success);
    TestClock clock;
    ServiceRig rig(clock);
    rig.setFaults(sim::FaultPlan().garbageReply(c.frame, 1).dropReply(c.frame, 2));
    // A running module's NMEA would count as the acknowledgement too.
    rig.sim.beacon->withGnssModule([](sim::MtkGnssModule& module) { module.setCapture({}); });
    ServiceRun acknowledged = rig.run(c.mode);
    EXPECT_EQ(acknowledged.log, Lines{c.success}) << "any byte counts";
    EXPECT_TRUE(acknowledged.reachedAim);
    EXPECT_EQ(clock.timeOuts(), 0u);
    ServiceRun silent = rig.run(c.mode, {}, {}, [&](ServiceThread&) {
      const bool sent = rig.sim.beacon->waitForFrames(2, 5s);
      clock.passWaits(true);  // its answer was dropped
      EXPECT_TRUE(sent);
    });
    EXPECT_EQ(clock.timeOuts(), 1u) << "the silent frame's wait ran out";
    EXPECT_EQ(silent.log, Lines{c.failure});
    EXPECT_FALSE(silent.reachedAim);
    ASSERT_EQ(rig.frameTypes(), (Types{c.frame, c.frame}));
    EXPECT_EQ(rig.sim.beacon->trace()[0].data.size(), 0u);
  }
}

TEST(ServiceThreadTest, ModemStartThatGetsNoByteAfterModemOnSendsNoAtCommand) {
  TestClock clock;
  ServiceRig rig(clock);
  rig.setFaults(sim::FaultPlan().dropReply(kModemOnFrame, 1));
  ServiceRun outcome = rig.run(ServiceThread::kModemOn, {}, {}, [&](ServiceThread&) {
    const bool sent = rig.sim.beacon->waitForFrames(1, 5s);
    clock.passWaits(true);  // its answer was dropped
    EXPECT_TRUE(sent);
  });
  EXPECT_EQ(clock.timeOuts(), 1u);
  EXPECT_EQ(outcome.log, (Lines{"Запуск модема...", "Модем не запущен"}));
  EXPECT_FALSE(outcome.reachedAim);
  EXPECT_EQ(rig.frameTypes(), (Types{kModemOnFrame}));
}

}  // namespace
}  // namespace orsa::service
