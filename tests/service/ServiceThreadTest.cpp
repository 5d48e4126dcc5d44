#include "service/ServiceThread.h"

#include <gtest/gtest.h>

#include <thread>

#include "service/ServiceMessages.h"
#include "service/ServiceRig.h"

namespace orsa::service {
namespace {

using namespace std::chrono_literals;
using test::ServiceRig;
using test::ServiceRun;
using Lines = std::vector<std::string>;
using Types = std::vector<std::uint8_t>;

constexpr std::uint8_t kModemOnFrame = 3;
constexpr std::uint8_t kModemData = 8;

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

TEST(ServiceThreadTest, ModemStartTurnsTheEchoOffAndClosesTheChannel) {
  ServiceRig rig;
  ServiceRun outcome = rig.run(ServiceThread::kModemOn);
  EXPECT_EQ(outcome.log, (Lines{"Запуск модема...", "Модем запущен", "Модем сконфигурирован"}));
  EXPECT_TRUE(outcome.reachedAim);
  EXPECT_TRUE(outcome.results.empty());
  EXPECT_EQ(rig.frameTypes(), (Types{kModemOnFrame, kModemData, kModemData}));
  EXPECT_EQ(rig.modemFrames(), (Lines{"AT\r\n", "ATE0\r\n"})) << "the echoed \"AT\\r\\r\\nOK\" counts";
  EXPECT_FALSE(rig.sim.beacon->withGsmModem([](const sim::GsmModemModel& m) { return m.echoes(); }));
  EXPECT_FALSE(rig.sim.channel.isOpen());
}

TEST(ServiceThreadTest, ModemStartFailures) {
  {
    SCOPED_TRACE("no byte after ModemOn: no AT command follows");
    ServiceRig rig(sim::FaultPlan().dropReply(kModemOnFrame, 1));
    ServiceRun outcome = rig.run(ServiceThread::kModemOn);
    EXPECT_EQ(outcome.log, (Lines{"Запуск модема...", "Модем не запущен"}));
    EXPECT_FALSE(outcome.reachedAim);
    EXPECT_EQ(rig.frameTypes(), (Types{kModemOnFrame}));
  }
  {
    SCOPED_TRACE("a modem that stays silent: ten tries, then ATE0 all the same");
    ServiceRig rig(sim::FaultPlan().modemStaysOff());
    ServiceRun outcome = rig.run(ServiceThread::kModemOn);
    EXPECT_EQ(outcome.log, (Lines{"Запуск модема..."}));
    EXPECT_FALSE(outcome.reachedAim);
    Lines expected(10, "AT\r\n");
    expected.push_back("ATE0\r\n");
    EXPECT_EQ(rig.modemFrames(), expected);
  }
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
    ServiceRig rig(sim::FaultPlan().garbageReply(c.frame, 1).dropReply(c.frame, 2));
    // A running module's NMEA would count as the acknowledgement too.
    rig.sim.beacon->withGnssModule([](sim::MtkGnssModule& module) { module.setCapture({}); });
    ServiceRun acknowledged = rig.run(c.mode);
    EXPECT_EQ(acknowledged.log, Lines{c.success}) << "any byte counts";
    EXPECT_TRUE(acknowledged.reachedAim);
    ServiceRun silent = rig.run(c.mode);
    EXPECT_EQ(silent.log, Lines{c.failure});
    EXPECT_FALSE(silent.reachedAim);
    EXPECT_EQ(rig.frameTypes(), (Types{c.frame, c.frame}));
    EXPECT_EQ(rig.sim.beacon->trace()[0].data.size(), 0u);
  }
}

TEST(ServiceThreadTest, TestSimEntryIsWrittenThenOverwrittenWithAnEmptyName) {
  ServiceRig rig;
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

  rig.sim.beacon->setFaults(sim::FaultPlan().garbageReply(kModemData, 1));
  ServiceRun garbled = rig.run(ServiceThread::kCreateTestSimEntry);
  EXPECT_TRUE(garbled.log.empty()) << "neither OK nor ERR: nothing to say";
  EXPECT_FALSE(garbled.reachedAim);
}

TEST(ServiceThreadTest, ImeiGoesOutBySmsAfterThePromptUnderTheReplyLock) {
  ServiceRig rig;
  rig.startModem();
  ServiceRun outcome;
  std::unique_lock held(rig.replyLock);
  std::thread worker([&] { outcome = rig.run(ServiceThread::kSendImeiSms, "+79161234567"); });
  // The answer to AT+GSN is in; the worker must now wait for the lock before anything else goes out.
  ASSERT_TRUE(rig.sim.beacon->waitForFrames(1, 5s));
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(rig.modemFrames(), Lines{"AT+GSN\r\n"});
  held.unlock();
  worker.join();

  EXPECT_EQ(outcome.log, Lines{"SMS отправлено"});
  EXPECT_TRUE(outcome.reachedAim);
  ASSERT_TRUE(rig.sim.beacon->waitForFrames(5, 5s)) << "the last frame reaches the beacon though the channel closed";
  const Lines frames = rig.modemFrames();
  ASSERT_EQ(frames.size(), 5u);
  EXPECT_EQ(frames[1], "AT+CMGF=1\r\n");
  EXPECT_EQ(frames[2], "AT+CSCS=\"GSM\"\r\n");
  EXPECT_EQ(frames[3], "AT+CMGS=\"+79161234567\"\r\n");
  EXPECT_EQ(frames[4], std::string("866104023456786\x1A"));
  const auto trace = rig.sim.beacon->trace();
  EXPECT_GE(trace[4].receivedAt - trace[3].receivedAt, 1500ms) << "the pause after the prompt";
  using Message = sim::GsmModemModel::SentMessage;
  EXPECT_EQ(rig.sim.beacon->withGsmModem([](const sim::GsmModemModel& m) { return m.sentMessages(); }),
            (std::vector<Message>{{"+79161234567", "866104023456786"}}));
}

TEST(ServiceThreadTest, NoSmsWithoutAnImeiOrWithATooLongNumber) {
  ServiceRig rig;
  rig.startModem();
  rig.sim.beacon->setFaults(sim::FaultPlan().garbageReply(kModemData, 1));
  ServiceRun noDigit = rig.run(ServiceThread::kSendImeiSms, "+79161234567");
  EXPECT_EQ(noDigit.log, Lines{"Нет IMEI в ответе модема. Передача SMS отменена"});
  EXPECT_FALSE(noDigit.reachedAim);
  EXPECT_EQ(rig.modemFrames(), Lines{"AT+GSN\r\n"});
  rig.sim.beacon->setFaults({});
  rig.sim.beacon->clearTrace();

  // "AT+CMGS=" + quotes + CR LF leave 287 bytes of the 299 for the number; "ATD" and ";\r\n" 293.
  for (const auto& [mode, longest] :
       {std::pair{ServiceThread::kSendImeiSms, 287}, std::pair{ServiceThread::kCall, 293}}) {
    ServiceRun refused = rig.run(mode, std::string(static_cast<std::size_t>(longest) + 1, '1'));
    EXPECT_EQ(refused.log, Lines{messages::kPhoneTooLong});
    EXPECT_FALSE(refused.reachedAim);
    EXPECT_TRUE(rig.sim.beacon->trace().empty()) << "refused before anything is sent";
  }
  ServiceRun longestCall = rig.run(ServiceThread::kCall, std::string(293, '1'));
  EXPECT_EQ(longestCall.log, Lines{"Звонок..."});
}

TEST(ServiceThreadTest, CallAndHangUpReachTheModemThoughTheChannelClosesRightAfter) {
  ServiceRig rig;
  rig.startModem();
  auto activeCall = [&] {
    return rig.sim.beacon->withGsmModem([](const sim::GsmModemModel& m) { return m.activeCall(); });
  };

  ServiceRun called = rig.run(ServiceThread::kCall, "+7 (916) 123-45-67");
  EXPECT_EQ(called.log, Lines{"Звонок..."});
  EXPECT_TRUE(called.reachedAim);
  ASSERT_TRUE(rig.sim.beacon->waitForFrames(1, 5s));
  EXPECT_EQ(rig.modemFrames(), Lines{"ATD+7 (916) 123-45-67;\r\n"});
  EXPECT_EQ(activeCall(), std::optional<std::string>("+7 (916) 123-45-67"));

  ServiceRun hungUp = rig.run(ServiceThread::kHangUp);
  EXPECT_EQ(hungUp.log, Lines{"Звонок отменен"});
  ASSERT_TRUE(rig.sim.beacon->waitForFrames(2, 5s));
  EXPECT_EQ(rig.modemFrames().back(), "ATH0\r\n");
  EXPECT_EQ(activeCall(), std::nullopt);
  EXPECT_FALSE(rig.sim.channel.isOpen());
}

TEST(ServiceThreadTest, UnknownCodeConnectsAndSendsNothing) {
  ServiceRig rig;
  for (std::int32_t mode : {0, 11}) {
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
  EXPECT_EQ(refused.log[0].rfind("Устройство занято", 0), 0u) << refused.log[0];
  EXPECT_TRUE(rig.sim.beacon->trace().empty());
}

}  // namespace
}  // namespace orsa::service
