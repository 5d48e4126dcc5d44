#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "link/Utf8Path.h"
#include "service/ServiceRig.h"
#include "service/ServiceThread.h"
#include "settings/Cp1251.h"
#include "support/TempDir.h"
#include "support/Checked.h"

namespace orsa::service {
namespace {

using namespace std::chrono_literals;
using test::Line;
using test::ServiceRig;
using test::ServiceRun;
using Lines = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

class ServiceUploadTest : public ::testing::TestWithParam<Line> {
 protected:
  ServiceUploadTest() { rig.startModem(); }

  Bytes makeFile(const std::string& name, std::size_t size, std::uint8_t salt = 0) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i * 37 + name.size() + salt) % 256);
    std::ofstream out(folder / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(size));
    return bytes;
  }
  UploadList scan() {
    std::error_code error;
    UploadList list = scanUploadFolder(folder.path(), error);
    EXPECT_FALSE(error);
    return list;
  }
  sim::ModemDrive::Files modemFiles() {
    return rig.sim.beacon->withGsmModem([](const sim::GsmModemModel& m) { return m.files(); });
  }
  void putOnModem(const std::string& name, const Bytes& bytes) {
    rig.sim.beacon->withGsmModem([&](sim::GsmModemModel& m) {
      m.drive().create(name);
      return m.drive().write(name, bytes, true);
    });
  }
  Lines commandsStartingWith(const std::string& prefix) const {
    Lines found;
    for (const std::string& frame : rig.modemFrames()) {
      if (frame.rfind(prefix, 0) == 0) found.push_back(frame);
    }
    return found;
  }

  ServiceRig rig{GetParam()};
  orsa::testing::TempDir folder;
};

INSTANTIATE_TEST_SUITE_P(Lines, ServiceUploadTest, ::testing::Values(Line::FullSpeed, Line::At9600), test::lineName);

TEST_P(ServiceUploadTest, FilesArriveByteForByteInChunksOfAtMost256) {
  // Keyed by the name in the modem, which is Windows-1251.
  std::map<std::string, Bytes> expected;
  for (const auto& [name, size] : {std::pair<std::string, std::size_t>{"EMPTY.AMR", 0},
                                   {"FULL.AMR", 256},
                                   {"OVER.AMR", 257},
                                   {"Длинный.amr", 3000}}) {
    expected[settings::Cp1251::fromUtf8(name)] = makeFile(name, size);
  }
  putOnModem("FULL.AMR", Bytes(500, 0xEE));
  UploadList list = scan();

  ServiceRun outcome = rig.run(ServiceThread::kUploadFiles, {}, list);

  ASSERT_TRUE(outcome.reachedAim) << ::testing::PrintToString(outcome.log);
  const sim::ModemDrive::Files files = modemFiles();
  ASSERT_EQ(files.size(), 4u);
  for (const auto& [name, bytes] : expected) {
    ASSERT_TRUE(files.contains(name)) << name;
    EXPECT_EQ(files.at(name), bytes) << name;
  }
  // The drive holds 76288 bytes; the free space is asked before the old copy is deleted.
  Lines log{"Cвободной памяти: " + std::to_string(76288 - 500) + " (байт)"};
  for (const UploadFile& file : list.files)
    log.push_back("Запись файла " + link::pathText(link::utf8Path(file.path).filename()));
  log.push_back("Cвободной памяти: " + std::to_string(76288 - 3513) + " (байт)");
  log.push_back("Файлы успешно записаны");
  EXPECT_EQ(outcome.log, log);

  std::size_t chunksOf256 = 0;
  Lines shortChunks;
  for (const std::string& command : commandsStartingWith("AT+FSWRITE=")) {
    if (command.find(",1,256,1000\r\n") != std::string::npos) {
      ++chunksOf256;
    } else {
      shortChunks.push_back(command);
    }
  }
  EXPECT_EQ(chunksOf256, 1u + 1u + 11u);
  std::sort(shortChunks.begin(), shortChunks.end());
  EXPECT_EQ(shortChunks, (Lines{"AT+FSWRITE=C:\\OVER.AMR,1,1,1000\r\n",
                                "AT+FSWRITE=C:\\\xC4\xEB\xE8\xED\xED\xFB\xE9.amr,1,184,1000\r\n"}))
      << "the empty file is created and gets no write the modem would refuse";
  EXPECT_EQ(commandsStartingWith("AT+FSDEL=").size(), 4u);
  EXPECT_EQ(commandsStartingWith("AT+FSCREATE=").size(), 4u);
  EXPECT_EQ(commandsStartingWith("AT+FSFLSIZE=").size(), 8u) << "each file's size before and after";
  ASSERT_FALSE(outcome.progress.empty());
  EXPECT_EQ(outcome.progress.back(), (std::pair<std::int32_t, std::int32_t>{3513, 3513}));
  EXPECT_FALSE(rig.sim.channel.isOpen());
}

TEST_P(ServiceUploadTest, EmptyListStillAsksForMemoryTwiceAndSucceeds) {
  ServiceRun outcome = rig.run(ServiceThread::kUploadFiles);
  EXPECT_EQ(outcome.log,
            (Lines{"Cвободной памяти: 76288 (байт)", "Cвободной памяти: 76288 (байт)", "Файлы успешно записаны"}));
  EXPECT_EQ(rig.modemFrames(), (Lines{"AT\r\n", "AT+FSMEM\r\n", "AT\r\n", "AT+FSMEM\r\n"}));
}

TEST_P(ServiceUploadTest, SpaceIsCheckedBeforeAnythingIsDeletedCountingTheCopiesToBeReplaced) {
  const Bytes old(600, 0x5A);
  putOnModem("A.AMR", old);
  rig.setFaults(rig.faults().modemDriveSize(1000));

  makeFile("A.AMR", 1000);
  ServiceRun refused = rig.run(ServiceThread::kUploadFiles, {}, scan());
  EXPECT_EQ(refused.log, (Lines{"Cвободной памяти: 400 (байт)",
                                "Не хватает памяти на модеме для записи файлов: нужно 1000 байт, доступно 1000. "
                                "Запись файлов отменена, файлы в модеме не тронуты"}));
  EXPECT_FALSE(refused.reachedAim);
  EXPECT_TRUE(commandsStartingWith("AT+FSDEL=").empty());
  EXPECT_EQ(modemFiles(), (sim::ModemDrive::Files{{"A.AMR", old}})) << "the old recording is kept";

  const Bytes fresh = makeFile("A.AMR", 999);
  ServiceRun replaced = rig.run(ServiceThread::kUploadFiles, {}, scan());
  EXPECT_TRUE(replaced.reachedAim) << ::testing::PrintToString(replaced.log);
  EXPECT_EQ(modemFiles(), (sim::ModemDrive::Files{{"A.AMR", fresh}}));
}

TEST_P(ServiceUploadTest, WriteFailuresEndTheUploadWithTheirMessageAndTheModemsAnswer) {
  std::ofstream(folder / "A.AMR", std::ios::binary) << std::string(300, 'x');
  struct Case {
    sim::FaultPlan faults;
    std::string message;
    std::string lastFrame;
    std::size_t frames;  // AT, FSFLSIZE, FSMEM, FSDEL, AT, FSCREATE, FSWRITE, and what follows it
  };
  for (const Case& c : {Case{rig.faults().modemGivesNoPrompt(),
                             "Ошибка во время записи файла (нет ответа на этапе приглашения): модем не ответил", "\x1B",
                             8},  // ESC: the modem must not take what follows for file bytes
                        Case{rig.faults().modemLacks("+FSWRITE"),
                             "Ошибка во время записи файла (нет приглашения): модем ответил «ERROR»",
                             "AT+FSWRITE=C:\\A.AMR,1,256,1000\r\n", 7},
                        Case{rig.faults().modemGivesNoWriteConfirmation(),
                             "Ошибка во время записи файла (нет ответа на этапе подтверждения записи): модем не "
                             "ответил",
                             std::string(256, 'x'), 8}}) {
    SCOPED_TRACE(c.message);
    rig.setFaults(rig.faults());
    rig.run(ServiceThread::kModemOff);  // a modem left waiting for file bytes forgets them at power-on
    rig.startModem();
    rig.setFaults(c.faults);
    ServiceRun outcome = rig.run(ServiceThread::kUploadFiles, {}, scan());
    ASSERT_EQ(outcome.log.size(), 3u) << ::testing::PrintToString(outcome.log);
    EXPECT_EQ(outcome.log[1], "Запись файла A.AMR");
    EXPECT_EQ(outcome.log[2], c.message);
    EXPECT_FALSE(outcome.reachedAim);
    EXPECT_EQ(commandsStartingWith("AT+FSWRITE=").size(), 1u) << "no second chunk after a failed one";
    // The last frame may still be on the slow line when the operation has closed its side.
    ASSERT_TRUE(rig.sim.beacon->waitForFrames(c.frames, 5s));
    EXPECT_EQ(rig.modemFrames().size(), c.frames);
    EXPECT_EQ(orsa::testing::last(rig.modemFrames()), c.lastFrame);
    EXPECT_FALSE(rig.sim.channel.isOpen());
  }
}

TEST_P(ServiceUploadTest, UnplugOrStopMidFileSaysHowMuchOfItIsOnTheModem) {
  makeFile("A.AMR", 600);
  // AT, FSFLSIZE, FSMEM, FSDEL, AT, FSCREATE, then FSWRITE and its chunk twice: the 11th frame is
  // the third chunk's write command.
  rig.setFaults(rig.faults().hangUpAfter(11));
  ServiceRun unplugged = rig.run(ServiceThread::kUploadFiles, {}, scan());
  ASSERT_FALSE(unplugged.log.empty());
  EXPECT_EQ(unplugged.log.back(), "Устройство не подключено: на модеме осталось 512 из 600 байт файла A.AMR");
  EXPECT_FALSE(unplugged.reachedAim);
  EXPECT_EQ(modemFiles().at("A.AMR").size(), 512u);

  rig.sim.beacon = std::make_unique<sim::SimulatedBeacon>(rig.faults());
  rig.sim.host.setPortChoice(link::PortChoice{false, rig.sim.beacon->portPath()});
  rig.startModem();
  ServiceRun stopped = rig.run(ServiceThread::kUploadFiles, {}, scan(), [&](ServiceThread& worker) {
    ASSERT_TRUE(rig.sim.beacon->waitForFrames(9, 10s));
    worker.requestStop();
  });
  ASSERT_FALSE(stopped.log.empty());
  const std::size_t onModem = modemFiles().at("A.AMR").size();
  EXPECT_GE(onModem, 256u) << "the chunk whose command was out is finished";
  if (onModem < 600) {
    EXPECT_EQ(stopped.log.back(),
              "Остановлено: на модеме осталось " + std::to_string(onModem) + " из 600 байт файла A.AMR");
  } else {
    // At full speed on a loaded machine the last chunks can be through before the stop is asked
    // for: then no file is cut short, and none is named.
    EXPECT_EQ(stopped.log.back(), "Остановлено");
  }
  ServiceRun next = rig.run(ServiceThread::kCreateTestSimEntry);
  EXPECT_EQ(next.log, Lines{"SIM-карта для тестирования создана"}) << "the modem takes commands again";
}

TEST_P(ServiceUploadTest, NoUsableMemoryAnswerStopsBeforeAnythingIsDeleted) {
  makeFile("A.AMR", 10);
  rig.setFaults(rig.faults().modemLacks("+FSMEM"));
  ServiceRun outcome = rig.run(ServiceThread::kUploadFiles, {}, scan());
  EXPECT_EQ(outcome.log, Lines{"Модем не сообщил свободную память, запись файлов отменена, файлы в модеме не тронуты: "
                               "модем ответил «ERROR»"});
  EXPECT_EQ(commandsStartingWith("AT+FSMEM").size(), 5u);
  EXPECT_TRUE(commandsStartingWith("AT+FSDEL=").empty());
}

TEST(ServiceUploadChecksTest, FilesThatCannotBeCopiedWholeStopTheUploadBeforeAnythingIsSent) {
  ServiceRig rig;
  orsa::testing::TempDir folder;
  auto makeFile = [&](const std::string& name, std::size_t size) {
    std::ofstream(folder / name, std::ios::binary) << std::string(size, 'x');
  };
  auto scan = [&] {
    std::error_code error;
    return scanUploadFolder(folder.path(), error);
  };
  auto expectRefusal = [&](const ServiceRun& run, const std::string& part) {
    ASSERT_EQ(run.log.size(), 1u) << ::testing::PrintToString(run.log);
    EXPECT_NE(run.log[0].find(part), std::string::npos) << run.log[0];
    EXPECT_FALSE(run.reachedAim);
  };
  makeFile("A.AMR", 10);
  makeFile("B.AMR", 10);
  UploadList list = scan();

  makeFile("B.AMR", 11);
  expectRefusal(rig.run(ServiceThread::kUploadFiles, {}, list), "Файл изменился после выбора папки: ");
  fs::remove(folder / "B.AMR");
  expectRefusal(rig.run(ServiceThread::kUploadFiles, {}, list), "Не удаётся прочитать файл ");
  makeFile("B.AMR", 10);
#ifndef _WIN32  // Windows' names cannot differ in letter case alone, nor hold a line break
  makeFile("a.amr", 10);
  // A.AMR and a.amr are one file in the modem, and writes append.
  expectRefusal(rig.run(ServiceThread::kUploadFiles, {}, scan()), "Два файла с одним именем в модеме: ");
  fs::remove(folder / "a.amr");
  makeFile("x\r\nATD112;\r\ny.AMR", 10);
  expectRefusal(rig.run(ServiceThread::kUploadFiles, {}, scan()), "Имя файла не подходит для модема (");
#endif
  EXPECT_TRUE(rig.sim.beacon->trace().empty());
}

}  // namespace
}  // namespace orsa::service
