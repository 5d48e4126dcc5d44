#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "service/ServiceMessages.h"
#include "service/ServiceRig.h"
#include "service/ServiceThread.h"
#include "settings/Cp1251.h"
#include "settings/TempDir.h"

namespace orsa::service {
namespace {

using test::ServiceRig;
using test::ServiceRun;
using Lines = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

constexpr std::uint8_t kModemData = 8;

class ServiceUploadTest : public ::testing::Test {
 protected:
  ServiceUploadTest() { rig.startModem(); }

  Bytes makeFile(const std::string& name, std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i * 37 + name.size()) % 256);
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
  Lines commandsStartingWith(const std::string& prefix) const {
    Lines found;
    for (const std::string& frame : rig.modemFrames()) {
      if (frame.rfind(prefix, 0) == 0) found.push_back(frame);
    }
    return found;
  }

  ServiceRig rig;
  settings::test::TempDir folder;
};

TEST_F(ServiceUploadTest, FilesArriveByteForByteInChunksOfAtMost256) {
  // Keyed by the name in the modem, which is Windows-1251.
  std::map<std::string, Bytes> expected;
  for (const auto& [name, size] : {std::pair<std::string, std::size_t>{"EMPTY.AMR", 0},
                                   {"FULL.AMR", 256},
                                   {"OVER.AMR", 257},
                                   {"Длинный.amr", 3000}}) {
    expected[settings::Cp1251::fromUtf8(name)] = makeFile(name, size);
  }
  rig.sim.beacon->withGsmModem([](sim::GsmModemModel& m) {
    m.drive().create("FULL.AMR");
    return m.drive().write("FULL.AMR", Bytes(500, 0xEE), true);
  });
  const std::int32_t freeBefore = 76288 - 500;
  UploadList list = scan();

  ServiceRun outcome = rig.run(ServiceThread::kUploadFiles, {}, list);

  ASSERT_TRUE(outcome.reachedAim) << ::testing::PrintToString(outcome.log);
  const sim::ModemDrive::Files files = modemFiles();
  ASSERT_EQ(files.size(), 4u);
  for (const auto& [name, bytes] : expected) {
    ASSERT_TRUE(files.contains(name)) << name;
    EXPECT_EQ(files.at(name), bytes) << name;
  }
  Lines log{"Cвободной памяти: " + std::to_string(freeBefore + 500) + " (байт)"};
  for (const UploadFile& file : list.files) log.push_back("Запись файла " + fs::path(file.path).filename().string());
  log.push_back("Cвободной памяти: " + std::to_string(76288 - 3513) + " (байт)");
  log.push_back("Файлы успешно записаны");
  EXPECT_EQ(outcome.log, log) << "the old copy's space counts as free after the delete";

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
  ASSERT_FALSE(outcome.progress.empty());
  EXPECT_EQ(outcome.progress.back(), (std::pair<std::int32_t, std::int32_t>{3513, 3513}));
  EXPECT_FALSE(rig.sim.channel.isOpen());
}

TEST_F(ServiceUploadTest, EmptyListStillAsksForMemoryTwiceAndSucceeds) {
  ServiceRun outcome = rig.run(ServiceThread::kUploadFiles);
  EXPECT_EQ(outcome.log,
            (Lines{"Cвободной памяти: 76288 (байт)", "Cвободной памяти: 76288 (байт)", "Файлы успешно записаны"}));
  EXPECT_EQ(rig.modemFrames(), (Lines{"AT\r\n", "AT+FSMEM\r\n", "AT\r\n", "AT+FSMEM\r\n"}));
}

TEST_F(ServiceUploadTest, FilesThatFillTheDriveExactlyAreRefusedAfterTheDeletes) {
  makeFile("A.AMR", 1000);
  rig.sim.beacon->setFaults(sim::FaultPlan().modemDriveSize(1000));
  ServiceRun outcome = rig.run(ServiceThread::kUploadFiles, {}, scan());
  EXPECT_EQ(outcome.log, (Lines{"Cвободной памяти: 1000 (байт)", "Не хватает памяти на модеме для записи файлов"}));
  EXPECT_FALSE(outcome.reachedAim);
  EXPECT_EQ(commandsStartingWith("AT+FSDEL=").size(), 1u);
  EXPECT_TRUE(commandsStartingWith("AT+FSCREATE=").empty());
}

TEST_F(ServiceUploadTest, WriteFailuresEndTheUploadWithTheirMessage) {
  makeFile("A.AMR", 300);
  // Frames of a one-file upload: AT, FSDEL, FSMEM, AT, FSCREATE, then FSWRITE as the sixth.
  struct Case {
    sim::FaultPlan faults;
    const char* message;
  };
  for (const Case& c : {Case{sim::FaultPlan().modemGivesNoPrompt(), messages::kNoPromptAnswer},
                        Case{sim::FaultPlan().garbageReply(kModemData, 6), messages::kNoPrompt},
                        Case{sim::FaultPlan().modemGivesNoWriteConfirmation(), messages::kNoConfirmationAnswer},
                        Case{sim::FaultPlan().garbageReply(kModemData, 7), messages::kNoConfirmation}}) {
    SCOPED_TRACE(c.message);
    rig.sim.beacon->setFaults({});
    rig.run(ServiceThread::kModemOff);  // a modem left waiting for file bytes forgets them at power-on
    rig.startModem();
    rig.sim.beacon->setFaults(c.faults);
    rig.sim.beacon->clearTrace();
    ServiceRun outcome = rig.run(ServiceThread::kUploadFiles, {}, scan());
    ASSERT_EQ(outcome.log.size(), 3u) << ::testing::PrintToString(outcome.log);
    EXPECT_EQ(outcome.log[1], "Запись файла A.AMR");
    EXPECT_EQ(outcome.log[2], c.message);
    EXPECT_FALSE(outcome.reachedAim);
    EXPECT_EQ(commandsStartingWith("AT+FSWRITE=").size(), 1u) << "no second chunk after a failed one";
    EXPECT_FALSE(rig.sim.channel.isOpen());
  }
}

TEST_F(ServiceUploadTest, NoUsableMemoryAnswerStopsBeforeAnythingIsCreated) {
  makeFile("A.AMR", 10);
  rig.run(ServiceThread::kModemOff);
  rig.sim.beacon->clearTrace();
  ServiceRun outcome = rig.run(ServiceThread::kUploadFiles, {}, scan());
  EXPECT_EQ(outcome.log, Lines{messages::kNoFreeMemoryAnswer});
  EXPECT_EQ(commandsStartingWith("AT+FSMEM").size(), 5u);
  EXPECT_TRUE(commandsStartingWith("AT+FSCREATE=").empty());
}

TEST_F(ServiceUploadTest, FilesThatCannotBeCopiedWholeStopTheUploadBeforeTheModemsCopiesAreDeleted) {
  makeFile("A.AMR", 10);
  makeFile("B.AMR", 10);
  UploadList list = scan();
  rig.sim.beacon->withGsmModem([](sim::GsmModemModel& m) { return m.drive().create("A.AMR"); });

  makeFile("B.AMR", 11);
  ServiceRun changed = rig.run(ServiceThread::kUploadFiles, {}, list);
  ASSERT_EQ(changed.log.size(), 1u);
  EXPECT_NE(changed.log[0].find("B.AMR"), std::string::npos) << changed.log[0];
  EXPECT_NE(changed.log[0].find(messages::kFileChanged), std::string::npos) << changed.log[0];

  fs::remove(folder / "B.AMR");
  ServiceRun missing = rig.run(ServiceThread::kUploadFiles, {}, list);
  ASSERT_EQ(missing.log.size(), 1u);
  EXPECT_NE(missing.log[0].find(messages::kFileUnreadable), std::string::npos) << missing.log[0];
  EXPECT_FALSE(missing.reachedAim);

  makeFile("B.AMR", 10);
  makeFile("a.amr", 10);
  ServiceRun sameName = rig.run(ServiceThread::kUploadFiles, {}, scan());
  ASSERT_EQ(sameName.log.size(), 1u) << "A.AMR and a.amr are one file in the modem, and writes append";
  EXPECT_NE(sameName.log[0].find(messages::kDuplicateName), std::string::npos) << sameName.log[0];

  EXPECT_TRUE(rig.sim.beacon->trace().empty());
  EXPECT_TRUE(modemFiles().contains("A.AMR"));
}

}  // namespace
}  // namespace orsa::service
