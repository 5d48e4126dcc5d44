#include "sim/FaultPlan.h"
#include "sim/GsmModemModel.h"
#include "sim/PtyClient.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace orsa::sim {
namespace {

using test::bytesOf;

std::string replyText(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

std::string information(std::string_view text) { return "\r\n" + std::string(text) + "\r\n\r\nOK\r\n"; }

// A powered modem with its echo switched off, as the service operations leave it after their start.
class GsmModemModelTest : public ::testing::Test {
 protected:
  GsmModemModelTest() { EXPECT_EQ(say("ATE0\r\n"), "ATE0\r\r\nOK\r\n"); }

  std::string say(std::string_view bytes) { return replyText(modem.onData(bytesOf(bytes))); }
  std::string say(const std::vector<std::uint8_t>& bytes) { return replyText(modem.onData(bytes)); }

  GsmModemModel modem;
};

TEST_F(GsmModemModelTest, CommandLinesSplitOrJoinedAcrossFrames) {
  EXPECT_EQ(say("AT+G"), "");
  EXPECT_EQ(say("SN\r\nAT\r\n"), "\r\n866104023456786\r\n\r\nOK\r\n\r\nOK\r\n");
  EXPECT_EQ(say(std::string_view("\0\xFFjunk at\r\n", 11)), "\r\nOK\r\n");  // noise before the prefix
  EXPECT_EQ(say("AT+NOSUCH\r\n"), "\r\nERROR\r\n");
  EXPECT_EQ(say("AT\nAT+GSN\r\n"), "\r\nOK\r\n" + information(GsmModemModel::defaultImei));  // a LF ends a line too
  EXPECT_EQ(say("ATE1\r\nAT\r\n"), "\r\nOK\r\nAT\r\r\nOK\r\n");
}

TEST_F(GsmModemModelTest, MessageTextRunsToCtrlZInTheSameOrLaterFrames) {
  EXPECT_EQ(say("AT+CMGS=\"+79161234567\"\r\n"), "\r\nERROR\r\n");  // PDU mode after power-on
  EXPECT_EQ(say("AT+CMGF=1\r\n"), "\r\nOK\r\n");
  EXPECT_EQ(say("AT+CSCS=\"GSM\"\r\n"), "\r\nOK\r\n");
  EXPECT_EQ(say("AT+CMGS=\"+79161234567\"\r\n1234"), "\r\n> ");
  EXPECT_EQ(say("AT\r\n"), "");  // message text, not a command
  EXPECT_EQ(say("5\x1A"
                "AT\r\n"),
            "\r\n+CMGS: 1\r\n\r\nOK\r\n\r\nOK\r\n");
  EXPECT_EQ(say("AT+CMGS=\"00000\"\r\n"), "\r\n> ");
  EXPECT_EQ(say("866104023456786\x1A"), "\r\n+CMGS: 2\r\n\r\nOK\r\n");
  const std::vector<GsmModemModel::SentMessage> expected{{"+79161234567", "1234AT\r\n5"}, {"00000", "866104023456786"}};
  EXPECT_EQ(modem.sentMessages(), expected);
  EXPECT_EQ(modem.characterSet(), "GSM");
}

TEST_F(GsmModemModelTest, FileWriteTakesExactlyTheAnnouncedBytes) {
  EXPECT_EQ(say("AT+FSCREATE=C:\\A.AMR\r\n"), "\r\nOK\r\n");
  // The data begins with a LF and holds CR, Ctrl-Z, ESC and "AT": all of it is file content.
  const std::vector<std::uint8_t> data{'\n', 'A', 'T', '\r', '\n', 0x1A, 0x00, 0x1B};
  auto command = bytesOf("AT+FSWRITE=C:\\A.AMR,1,8,1000\r\n");
  command.insert(command.end(), data.begin(), data.begin() + 2);
  EXPECT_EQ(say(command), "\r\n>");
  EXPECT_EQ(say(std::vector<std::uint8_t>(data.begin() + 2, data.begin() + 7)), "");
  auto last = std::vector<std::uint8_t>(data.begin() + 7, data.end());
  last.insert(last.end(), {'A', 'T', '\r', '\n'});
  EXPECT_EQ(say(last), "\r\nOK\r\n\r\nOK\r\n");
  EXPECT_EQ(modem.files(), (ModemDrive::Files{{"A.AMR", data}}));

  EXPECT_EQ(say("AT+FSWRITE=C:\\A.AMR,1,2,1000\r\nxy"), "\r\n>\r\nOK\r\n");  // mode 1 appends
  EXPECT_EQ(modem.files().at("A.AMR").size(), 10U);
  EXPECT_EQ(say("AT+FSWRITE=C:\\A.AMR,0,3,1000\r\nnew"), "\r\n>\r\nOK\r\n");  // mode 0 replaces
  EXPECT_EQ(modem.files().at("A.AMR"), bytesOf("new"));
}

TEST_F(GsmModemModelTest, DriveReportsItsFreeSpaceAndRefusesWhatDoesNotFit) {
  modem.drive().setCapacity(100);
  EXPECT_EQ(say("AT+FSMEM\r\n"), "\r\n+FSMEM: C:100bytes\r\n\r\nOK\r\n");
  EXPECT_EQ(say("AT+FSCREATE=C:\\A.AMR\r\n"), "\r\nOK\r\n");
  EXPECT_EQ(say("AT+FSCREATE=C:\\a.amr\r\n"), "\r\nERROR\r\n");  // names ignore case
  EXPECT_EQ(say("AT+FSWRITE=C:\\A.AMR,1,60,1000\r\n" + std::string(60, 'x')), "\r\n>\r\nOK\r\n");
  EXPECT_EQ(say("AT+FSMEM\r\n"), "\r\n+FSMEM: C:40bytes\r\n\r\nOK\r\n");
  EXPECT_EQ(say("AT+FSWRITE=C:\\A.AMR,1,41,1000\r\n"), "\r\nERROR\r\n");
  EXPECT_EQ(say("AT\r\n"), "\r\nOK\r\n");                          // still taking commands, not file bytes
  EXPECT_EQ(say("AT+FSWRITE=C:\\A.AMR,0,100,1000\r\n"), "\r\n>");  // replacing frees the old contents
  EXPECT_EQ(say(std::string(100, 'y')), "\r\nOK\r\n");
  EXPECT_EQ(say("AT+FSMEM\r\n"), "\r\n+FSMEM: C:0bytes\r\n\r\nOK\r\n");
  EXPECT_EQ(say("AT+FSDEL=c:\\a.AMR\r\n"), "\r\nOK\r\n");
  EXPECT_EQ(say("AT+FSDEL=C:\\A.AMR\r\n"), "\r\nERROR\r\n");
  EXPECT_EQ(say("AT+FSMEM\r\n"), "\r\n+FSMEM: C:100bytes\r\n\r\nOK\r\n");
  // Names that would end or split the argument on a modem's command line are refused, also for a
  // file that exists.
  ASSERT_TRUE(modem.drive().create("A;B"));
  ASSERT_TRUE(modem.drive().create("A,B"));
  for (const char* refused : {"AT+FSWRITE=C:\\A.AMR,1,1,1000\r\n",  // no such file
                              "AT+FSCREATE=D:\\B.AMR\r\n", "AT+FSCREATE=C:\\SUB\\B.AMR\r\n", "AT+FSCREATE=C:\\\r\n",
                              "AT+FSCREATE=C:\\A\"B\r\n", "AT+FSCREATE=C:\\A:B\r\n", "AT+FSCREATE=C:\\A\x01\r\n",
                              "AT+FSCREATE=C:\\A\x7F\r\n", "AT+FSCREATE=\"C:\\B.AMR\"\r\n", "AT+FSDEL=C:\\A;B\r\n",
                              "AT+FSFLSIZE=C:\\A;B\r\n", "AT+FSDEL=C:\\A,B\r\n", "AT+FSWRITE=C:\\A;B,1,1,1000\r\n"}) {
    EXPECT_EQ(say(refused), "\r\nERROR\r\n") << refused;
  }
  EXPECT_EQ(modem.files().size(), 2U);
  ASSERT_TRUE(modem.drive().remove("A;B"));
  ASSERT_TRUE(modem.drive().remove("A,B"));
  EXPECT_EQ(say("AT+FSCREATE=C:\\B.AMR\r\n"), "\r\nOK\r\n");
  EXPECT_EQ(say("AT+FSWRITE=C:\\B.AMR,1,0,1000\r\n"), "\r\nERROR\r\n");  // a write takes at least one byte
  EXPECT_TRUE(modem.files().at("B.AMR").empty());
}

TEST_F(GsmModemModelTest, DriveListsItsFilesAndTheirSizes) {
  EXPECT_EQ(say("AT+FSLS=C:\\\r\n"), "\r\nOK\r\n");
  EXPECT_EQ(say("AT+FSCREATE=C:\\B.AMR\r\nAT+FSCREATE=C:\\A.AMR\r\n"), "\r\nOK\r\n\r\nOK\r\n");
  EXPECT_EQ(say("AT+FSWRITE=C:\\B.AMR,1,3,1000\r\nxyz"), "\r\n>\r\nOK\r\n");
  EXPECT_EQ(say("AT+FSWRITE=C:\\B.AMR,1,2,1000\r\n\r\n"), "\r\n>\r\nOK\r\n");
  EXPECT_EQ(say("at+fsls=c:\\\r\n"), "\r\nA.AMR\r\nB.AMR\r\n\r\nOK\r\n");
  EXPECT_EQ(say("AT+FSFLSIZE=C:\\b.amr\r\n"), information("+FSFLSIZE: 5"));
  EXPECT_EQ(say("AT+FSFLSIZE=C:\\A.AMR\r\n"), information("+FSFLSIZE: 0"));
  for (const char* refused : {"AT+FSFLSIZE=C:\\C.AMR\r\n", "AT+FSFLSIZE=C:\\\r\n", "AT+FSFLSIZE\r\n",
                              "AT+FSLS=D:\\\r\n", "AT+FSLS=C:\\SUB\\\r\n", "AT+FSLS=C:\r\n", "AT+FSLS\r\n"}) {
    EXPECT_EQ(say(refused), "\r\nERROR\r\n") << refused;
  }
  EXPECT_EQ(say("AT+FSDEL=C:\\A.AMR\r\nAT+FSLS=C:\\\r\n"), "\r\nOK\r\n\r\nB.AMR\r\n\r\nOK\r\n");
}

TEST_F(GsmModemModelTest, InformationCommandsAndTheirFaultedForms) {
  const ModemFaults none;
  const ModemFaults noSim = FaultPlan().modemWithoutSim().modemFaults();
  const ModemFaults noNetwork = FaultPlan().modemWithoutNetwork().modemFaults();
  const ModemFaults refusesSms = FaultPlan().modemRefusesSms().modemFaults();
  const ModemFaults busy = FaultPlan().modemFindsCallBusy().modemFaults();
  const ModemFaults lacks = FaultPlan().modemLacks("+cbc").modemLacks("+CCID").modemLacks("I").modemFaults();
  const std::string error = "\r\nERROR\r\n";
  const std::string noCarrier = "\r\nNO CARRIER\r\n";
  struct Case {
    const ModemFaults& faults;
    std::string_view sent;
    std::string answer;
  };
  // In order, on one modem: the answers of some rows depend on the rows before them.
  const Case cases[] = {
      {none, "ATI\r\n", information("SIM800 R14.18")},
      {none, "AT+CGMR\r\n", information("Revision:1418B05SIM800L24")},
      {none, "AT+CPIN?\r\n", information("+CPIN: READY")},
      {none, "AT+CCID\r\n", information("89701012345678901234")},
      {none, "AT+CSQ\r\n", information("+CSQ: 18,0")},
      {none, "AT+CREG?\r\n", information("+CREG: 0,1")},
      {none, "AT+COPS?\r\n", information("+COPS: 0,0,\"MTS RUS\"")},
      {none, "AT+CBC\r\n", information("+CBC: 0,85,4012")},
      {none, "AT+CMEE?\r\n", information("+CMEE: 1")},
      {none, "AT+CMEE=2\r\nAT+CMEE?\r\n", "\r\nOK\r\n" + information("+CMEE: 2")},
      {none, "AT+CMEE=3\r\n", error},
      // Only the forms a SIM800 has.
      {none, "AT+CPIN\r\n", error},
      {none, "AT+CSQ?\r\n", error},
      {none, "AT+CREG\r\n", error},
      {none, "AT+CBC=1\r\n", error},
      {none, "ATI1\r\n", error},
      {none, "AT+CMGF=1\r\n", "\r\nOK\r\n"},

      {noSim, "AT+CPIN?\r\n", "\r\n+CME ERROR: 10\r\n"},
      {noSim, "AT+CCID\r\n", "\r\n+CME ERROR: 10\r\n"},
      {noSim, "AT+CPBW=1,\"00000\",129,\"X\"\r\n", "\r\n+CME ERROR: 10\r\n"},
      {noSim, "AT+CPBW=1,00000\r\n", error},  // the syntax is checked first
      {noSim, "AT+CMGS=\"00000\"\r\n", "\r\n+CMS ERROR: 310\r\n"},
      {noSim, "ATD00000;\r\n", noCarrier},
      {noSim, "AT+CREG?\r\n", information("+CREG: 0,0")},
      {noSim, "AT+COPS?\r\n", information("+COPS: 0")},
      {noSim, "AT+GSN\r\n", information(GsmModemModel::defaultImei)},

      {noNetwork, "AT+CPIN?\r\n", information("+CPIN: READY")},
      {noNetwork, "AT+CREG?\r\n", information("+CREG: 0,2")},
      {noNetwork, "AT+COPS?\r\n", information("+COPS: 0")},
      {noNetwork, "AT+CSQ\r\n", information("+CSQ: 99,99")},
      {noNetwork, "ATD00000;\r\n", noCarrier},
      {noNetwork, "AT+CMGS=\"00000\"\r\n", "\r\n> "},
      {noNetwork, "text\x1A", "\r\n+CMS ERROR: 331\r\n"},
      {noNetwork, "AT\r\n", "\r\nOK\r\n"},

      {refusesSms, "AT+CMGS=\"00000\"\r\n", "\r\n+CMS ERROR: 500\r\n"},
      {refusesSms, "AT\r\n", "\r\nOK\r\n"},
      {busy, "ATD00000;\r\n", "\r\nBUSY\r\n"},
      {busy, "ATD00000;\r\n", "\r\nBUSY\r\n"},  // no call was left up by the first

      {lacks, "AT+CBC\r\n", error},
      {lacks, "at+ccid\r\n", error},
      {lacks, "ATI\r\n", error},
      {lacks, "AT+CSQ\r\n", information("+CSQ: 18,0")},
  };
  for (const auto& c : cases) {
    modem.applyFaults(c.faults);
    EXPECT_EQ(say(c.sent), c.answer) << c.sent;
  }
  EXPECT_TRUE(modem.phonebook().empty());
  EXPECT_TRUE(modem.sentMessages().empty());
  EXPECT_FALSE(modem.activeCall().has_value());

  modem.applyFaults({});
  modem.setSignalQuality(GsmModemModel::unknownSignalQuality);
  EXPECT_EQ(say("AT+CSQ\r\n"), information("+CSQ: 99,99"));
  modem.setSignalQuality(31);
  EXPECT_EQ(say("AT+CSQ\r\n"), information("+CSQ: 31,0"));
  EXPECT_THROW(modem.setSignalQuality(32), std::invalid_argument);
  EXPECT_THROW(modem.setSignalQuality(-1), std::invalid_argument);
  EXPECT_THROW(FaultPlan().modemLacks("CBC"), std::invalid_argument);
}

TEST_F(GsmModemModelTest, EscapeDropsTheMessageBeingTyped) {
  EXPECT_EQ(say("ATE1\r\nAT+CMGF=1\r\n"), "\r\nOK\r\nAT+CMGF=1\r\r\nOK\r\n");
  EXPECT_EQ(say("AT+CMGS=\"00000\"\r\nab"), "AT+CMGS=\"00000\"\r\r\n> ab");
  EXPECT_EQ(say("c\x1B"), "c");
  EXPECT_EQ(say("AT\r\n"), "AT\r\r\nOK\r\n");  // a command again, not message text
  EXPECT_TRUE(modem.sentMessages().empty());
  EXPECT_EQ(say("AT+CMGS=\"00000\"\r\nd\x1A"), "AT+CMGS=\"00000\"\r\r\n> d\r\n+CMGS: 1\r\n\r\nOK\r\n");
  EXPECT_EQ(modem.sentMessages(), (std::vector<GsmModemModel::SentMessage>{{"00000", "d"}}));
}

TEST_F(GsmModemModelTest, PhonebookImeiAndCall) {
  EXPECT_EQ(say("AT+CPBW=1,\"00000\",145,\"ORSA TEST\"\r\n"), "\r\nOK\r\n");
  EXPECT_EQ(modem.phonebook().at(1), (GsmModemModel::PhonebookEntry{"00000", 145, "ORSA TEST"}));
  EXPECT_EQ(say("AT+CPBW=1,\"00000\",145,\"\"\r\n"), "\r\nOK\r\n");
  EXPECT_EQ(modem.phonebook().at(1), (GsmModemModel::PhonebookEntry{"00000", 145, ""}));
  EXPECT_EQ(say("AT+CPBW=0,\"00000\",145,\"X\"\r\n"), "\r\nERROR\r\n");
  EXPECT_EQ(modem.phonebook().size(), 1U);

  modem.setImei("351234567890123");
  EXPECT_EQ(say("AT+GSN\r\n"), "\r\n351234567890123\r\n\r\nOK\r\n");
  EXPECT_THROW(modem.setImei("35123456789012"), std::invalid_argument);
  EXPECT_THROW(modem.setImei("35123456789012A"), std::invalid_argument);

  EXPECT_EQ(say("ATD+7 (916) 123-45-67;\r\n"), "\r\nOK\r\n");  // spaces, dashes and brackets are ignored
  EXPECT_EQ(modem.activeCall(), "+7 (916) 123-45-67");
  EXPECT_EQ(say("ATD+79160000000;\r\n"), "\r\nERROR\r\n");  // one call at a time
  EXPECT_EQ(say("ATH0\r\n"), "\r\nOK\r\n");
  EXPECT_FALSE(modem.activeCall().has_value());
}

TEST_F(GsmModemModelTest, NoPromptFaultLeavesTheModemTakingCommands) {
  modem.applyFaults(FaultPlan().modemGivesNoPrompt().modemFaults());
  EXPECT_EQ(say("AT+FSCREATE=C:\\A.AMR\r\n"), "\r\nOK\r\n");
  EXPECT_EQ(say("AT+FSWRITE=C:\\A.AMR,1,4,1000\r\n"), "");
  EXPECT_EQ(say("AT+CMGF=1\r\n"), "\r\nOK\r\n");
  EXPECT_EQ(say("AT+CMGS=\"00000\"\r\n"), "");
  EXPECT_EQ(say("AT\r\n"), "\r\nOK\r\n");
  EXPECT_TRUE(modem.files().at("A.AMR").empty());
  EXPECT_TRUE(modem.sentMessages().empty());
}

TEST_F(GsmModemModelTest, NoWriteConfirmationFaultStoresTheBytesSilently) {
  modem.applyFaults(FaultPlan().modemGivesNoWriteConfirmation().modemFaults());
  EXPECT_EQ(say("AT+FSCREATE=C:\\A.AMR\r\n"), "\r\nOK\r\n");
  EXPECT_EQ(say("AT+FSWRITE=C:\\A.AMR,1,4,1000\r\n"), "\r\n>");
  EXPECT_EQ(say("abcd"), "");
  EXPECT_EQ(modem.files().at("A.AMR"), bytesOf("abcd"));
  EXPECT_EQ(say("AT\r\n"), "\r\nOK\r\n");
}

TEST_F(GsmModemModelTest, DriveSizeFaultLastsAsLongAsThePlan) {
  modem.applyFaults(FaultPlan().modemDriveSize(0).modemFaults());
  EXPECT_EQ(say("AT+FSMEM\r\n"), "\r\n+FSMEM: C:0bytes\r\n\r\nOK\r\n");
  modem.applyFaults({});
  EXPECT_EQ(say("AT+FSMEM\r\n"),
            "\r\n+FSMEM: C:" + std::to_string(GsmModemModel::defaultDriveCapacity) + "bytes\r\n\r\nOK\r\n");
}

}  // namespace
}  // namespace orsa::sim
