#include <sstream>

#include "firmware/FirmwareMessages.h"
#include "firmware/GPSUpdateThread.h"
#include "firmware/MCUpdateThread.h"
#include "firmware/ShowNMEAThread.h"
#include "link/CommandFrame.h"
#include "reliability/FaultCell.h"
#include "service/ServiceMessages.h"
#include "service/ServiceThread.h"
#include "settings/RWSettingsThread.h"
#include "settings/SettingsMessages.h"

namespace orsa::reliability {

namespace {

using namespace std::chrono_literals;
using link::CommandType;
using sim::FaultPlan;
using std::chrono::milliseconds;
namespace fw = firmware::messages;
namespace sv = service::messages;
namespace st = settings::messages;

constexpr std::uint8_t type(CommandType t) { return static_cast<std::uint8_t>(t); }
constexpr std::uint8_t kRead = type(CommandType::ReadSettingSlot);
constexpr std::uint8_t kWrite = type(CommandType::WriteSettingSlot);
constexpr std::uint8_t kModemOn = type(CommandType::ModemOn);
constexpr std::uint8_t kGnssOn = type(CommandType::GnssOn);
constexpr std::uint8_t kModemOff = type(CommandType::ModemOff);
constexpr std::uint8_t kGnssOff = type(CommandType::GnssOff);
constexpr std::uint8_t kModemData = type(CommandType::ModemData);
constexpr std::uint8_t kErase = type(CommandType::EraseFirmware);
constexpr std::uint8_t kBlock = type(CommandType::WriteFirmwareBlock);

// Room for scheduling, the simulator and a sanitizer's slowness; far less than any time-out that
// would go wrong (a wait that never ends, or one that waits twice).
constexpr milliseconds kMargin = 3000ms;
// More unsolicited bytes than the receive buffer holds.
constexpr std::size_t kFloodBytes = 10000;

constexpr milliseconds kReadTimeout{settings::RWSettingsThread::kReplyTimeoutMs};
// A whole read's pauses after each request: 29 slots and the closing request.
constexpr milliseconds kReadPauses = 30 * settings::RWSettingsThread::kReadPause;
constexpr milliseconds kFirmwareTimeout{firmware::MCUpdateThread::kReplyTimeoutMs};
constexpr milliseconds kPowerTimeout{service::ServiceThread::kPowerTimeoutMs};
constexpr milliseconds kModemTimeout{service::ServiceThread::kModemReplyTimeoutMs};
// Every upload step the matrix reaches: the prompt or the confirmation of one write.
constexpr milliseconds kUploadStep = 2000ms;
constexpr milliseconds kModuleTimeout{firmware::GPSUpdateThread::kModuleTimeoutMs};
constexpr milliseconds kBeaconTimeout{firmware::GPSUpdateThread::kBeaconTimeoutMs};
// A whole GNSS flash of the matrix's small firmware on the simulator, pauses included.
constexpr milliseconds kGnssFlashRun = 6000ms;
constexpr milliseconds kRelayRun = 3 * firmware::ShowNMEAThread::kDrainPeriod;

constexpr std::string_view kNone = "";
constexpr std::string_view kOneByteAck = "the beacon answers with one byte: a short reply is no reply (see drop)";
constexpr std::string_view kSamePowerStep = "the same power-frame step as GNSS on, whose row shows it";
constexpr std::string_view kSmsWait = "each SMS step waits up to 1000 s for the modem";
constexpr std::string_view kRelaySendsNothing = "the relay sends no frame, so there is no reply to spoil";

milliseconds within(milliseconds waits) { return waits + kMargin; }

FaultCell cell(Operation op, std::string_view id, std::string_view fault, FaultPlan plan, std::string_view expected,
               milliseconds budget) {
  return FaultCell{op, id, fault, std::move(plan), RelayEvent::None, expected, within(budget), {}};
}

FaultCell leftOut(Operation op, std::string_view id, std::string_view fault, std::string_view reason) {
  return FaultCell{op, id, fault, {}, RelayEvent::None, {}, {}, reason};
}

FaultCell relay(std::string_view id, std::string_view fault, RelayEvent event) {
  return FaultCell{Operation::NmeaRelay, id, fault, {}, event, kNone, within(kRelayRun), {}};
}

std::vector<FaultCell> buildMatrix() {
  using O = Operation;
  std::vector<FaultCell> m;

  // Settings: every slot is its own frame; the faults hit the first.
  m.push_back(
      cell(O::SettingsRead, "Drop", "no reply", FaultPlan().dropReply(kRead, 1), st::kReadFailed, kReadTimeout));
  m.push_back(cell(O::SettingsRead, "LateWithin", "reply 1 s late", FaultPlan().delayReply(kRead, 1, 1000ms), kNone,
                   1000ms + kReadPauses));
  m.push_back(cell(O::SettingsRead, "LatePast", "reply 4.5 s late", FaultPlan().delayReply(kRead, 1, 4500ms),
                   st::kReadFailed, kReadTimeout));
  m.push_back(cell(O::SettingsRead, "Short", "2 of 32 bytes", FaultPlan().shortReply(kRead, 1, 2), st::kReadFailed,
                   kReadTimeout));
  m.push_back(
      cell(O::SettingsRead, "Garbage", "garbage reply", FaultPlan().garbageReply(kRead, 1), kNone, kReadPauses));
  m.push_back(
      cell(O::SettingsRead, "Flood", "10000-byte flood", FaultPlan().flood(kRead, 1, kFloodBytes), kNone, kReadPauses));
  m.push_back(cell(O::SettingsRead, "HangUp", "hang-up at the 1st frame", FaultPlan().hangUpAfter(1), st::kReadFailed,
                   kReadTimeout));

  m.push_back(
      cell(O::SettingsWrite, "Drop", "no reply", FaultPlan().dropReply(kWrite, 1), st::kWriteFailed, kReadTimeout));
  m.push_back(cell(O::SettingsWrite, "LateWithin", "reply 1 s late", FaultPlan().delayReply(kWrite, 1, 1000ms),
                   st::kWriteDone, 2000ms));
  m.push_back(cell(O::SettingsWrite, "LatePast", "reply 4.5 s late", FaultPlan().delayReply(kWrite, 1, 4500ms),
                   st::kWriteFailed, kReadTimeout));
  m.push_back(leftOut(O::SettingsWrite, "Short", "short reply", kOneByteAck));
  m.push_back(
      cell(O::SettingsWrite, "Garbage", "garbage reply", FaultPlan().garbageReply(kWrite, 1), st::kWriteDone, 0ms));
  m.push_back(cell(O::SettingsWrite, "Flood", "10000-byte flood", FaultPlan().flood(kWrite, 1, kFloodBytes),
                   st::kWriteDone, 0ms));
  m.push_back(cell(O::SettingsWrite, "HangUp", "hang-up at the 3rd frame", FaultPlan().hangUpAfter(3), st::kWriteFailed,
                   kReadTimeout));

  // Firmware: one erase, then two blocks.
  m.push_back(cell(O::FirmwareUpdate, "Drop", "no reply to the erase", FaultPlan().dropReply(kErase, 1),
                   fw::update::kEraseError, kFirmwareTimeout));
  m.push_back(cell(O::FirmwareUpdate, "LateWithin", "erase reply 2 s late", FaultPlan().delayReply(kErase, 1, 2000ms),
                   fw::update::kSuccess, 2000ms));
  m.push_back(
      leftOut(O::FirmwareUpdate, "LatePast", "reply past the time-out",
              "ends at the same 10 s wait as no reply; the settings and power rows show the late byte harmless"));
  m.push_back(leftOut(O::FirmwareUpdate, "Short", "short reply", kOneByteAck));
  m.push_back(cell(O::FirmwareUpdate, "Garbage", "garbage erase reply", FaultPlan().garbageReply(kErase, 1),
                   fw::update::kSuccess, 0ms));
  m.push_back(cell(O::FirmwareUpdate, "Flood", "10000-byte flood for the 1st block",
                   FaultPlan().flood(kBlock, 1, kFloodBytes), fw::update::kSuccess, 0ms));
  m.push_back(cell(O::FirmwareUpdate, "HangUp", "hang-up at the 1st block", FaultPlan().hangUpAfter(2),
                   fw::update::kWriteError, kFirmwareTimeout));

  // The modem's start: the power frame, then up to ten "AT" and one "ATE0".
  m.push_back(cell(O::ModemStart, "Drop", "no reply to ModemOn", FaultPlan().dropReply(kModemOn, 1),
                   sv::kModemNotStarted, kPowerTimeout));
  m.push_back(cell(O::ModemStart, "LateWithin", "ModemOn reply 1 s late", FaultPlan().delayReply(kModemOn, 1, 1000ms),
                   sv::kModemConfigured, 1000ms));
  m.push_back(cell(O::ModemStart, "LatePast", "ModemOn reply 2.5 s late", FaultPlan().delayReply(kModemOn, 1, 2500ms),
                   sv::kModemNotStarted, kPowerTimeout));
  m.push_back(cell(O::ModemStart, "Short", "3 bytes of the 1st AT answer", FaultPlan().shortReply(kModemData, 1, 3),
                   sv::kModemConfigured, kModemTimeout));
  m.push_back(cell(O::ModemStart, "Garbage", "garbage 1st AT answer", FaultPlan().garbageReply(kModemData, 1),
                   sv::kModemConfigured, kModemTimeout));
  m.push_back(cell(O::ModemStart, "Flood", "10000-byte flood for the 1st AT",
                   FaultPlan().flood(kModemData, 1, kFloodBytes), sv::kModemConfigured, 2 * kModemTimeout));
  m.push_back(cell(O::ModemStart, "HangUp", "hang-up at ModemOn", FaultPlan().hangUpAfter(1), sv::kModemNotStarted,
                   kPowerTimeout));
  m.push_back(leftOut(O::ModemStart, "ModemStaysOff", "modem stays off",
                      "ten 0.5 s tries, then the start line stays the last; ServiceThreadTest runs it"));

  m.push_back(
      cell(O::ModemOff, "Drop", "no reply", FaultPlan().dropReply(kModemOff, 1), sv::kModemNotStopped, kPowerTimeout));
  m.push_back(leftOut(O::ModemOff, "Other", "late, short, garbage, flood, hang-up", kSamePowerStep));
  m.push_back(
      cell(O::GnssOn, "Drop", "no reply", FaultPlan().dropReply(kGnssOn, 1), sv::kGnssNotStarted, kPowerTimeout));
  m.push_back(cell(O::GnssOn, "LateWithin", "reply 1 s late", FaultPlan().delayReply(kGnssOn, 1, 1000ms),
                   sv::kGnssStarted, 1000ms));
  m.push_back(cell(O::GnssOn, "LatePast", "reply 2.5 s late", FaultPlan().delayReply(kGnssOn, 1, 2500ms),
                   sv::kGnssNotStarted, kPowerTimeout));
  m.push_back(leftOut(O::GnssOn, "Short", "short reply", kOneByteAck));
  m.push_back(cell(O::GnssOn, "Garbage", "garbage reply", FaultPlan().garbageReply(kGnssOn, 1), sv::kGnssStarted, 0ms));
  m.push_back(
      cell(O::GnssOn, "Flood", "10000-byte flood", FaultPlan().flood(kGnssOn, 1, kFloodBytes), sv::kGnssStarted, 0ms));
  m.push_back(cell(O::GnssOn, "HangUp", "hang-up at the frame", FaultPlan().hangUpAfter(1), sv::kGnssNotStarted,
                   kPowerTimeout));
  m.push_back(
      cell(O::GnssOff, "Drop", "no reply", FaultPlan().dropReply(kGnssOff, 1), sv::kGnssNotStopped, kPowerTimeout));
  m.push_back(leftOut(O::GnssOff, "Other", "late, short, garbage, flood, hang-up", kSamePowerStep));

  // Modem commands, with the modem started first. The test SIM entry speaks only of an answer holding
  // OK or ERR; with neither it ends without a word (ServiceThreadTest holds it to that).
  m.push_back(cell(O::TestSimCreate, "Drop", "no answer", FaultPlan().dropReply(kModemData, 1), kNone, kModemTimeout));
  m.push_back(cell(O::TestSimCreate, "LateWithin", "answer 0.3 s late", FaultPlan().delayReply(kModemData, 1, 300ms),
                   sv::kTestSimCreated, kModemTimeout));
  m.push_back(cell(O::TestSimCreate, "LatePast", "answer 1 s late", FaultPlan().delayReply(kModemData, 1, 1000ms),
                   kNone, kModemTimeout));
  m.push_back(cell(O::TestSimCreate, "Short", "2 bytes of the answer", FaultPlan().shortReply(kModemData, 1, 2), kNone,
                   kModemTimeout));
  m.push_back(cell(O::TestSimCreate, "Garbage", "garbage answer", FaultPlan().garbageReply(kModemData, 1), kNone,
                   kModemTimeout));
  m.push_back(cell(O::TestSimCreate, "Flood", "10000-byte flood", FaultPlan().flood(kModemData, 1, kFloodBytes), kNone,
                   kModemTimeout));
  m.push_back(
      cell(O::TestSimCreate, "HangUp", "hang-up at the command", FaultPlan().hangUpAfter(1), kNone, kModemTimeout));
  m.push_back(cell(O::TestSimClear, "Drop", "no answer", FaultPlan().dropReply(kModemData, 1), kNone, kModemTimeout));

  m.push_back(cell(O::ImeiSms, "LateWithin", "IMEI answer 1 s late", FaultPlan().delayReply(kModemData, 1, 1000ms),
                   sv::kSmsSent, 1000ms + service::ServiceThread::kSmsPromptPause));
  m.push_back(
      cell(O::ImeiSms, "Garbage", "garbage IMEI answer", FaultPlan().garbageReply(kModemData, 1), sv::kNoImei, 0ms));
  m.push_back(cell(O::ImeiSms, "Flood", "10000-byte flood for AT+GSN", FaultPlan().flood(kModemData, 1, kFloodBytes),
                   sv::kNoImei, 0ms));
  m.push_back(leftOut(O::ImeiSms, "Other", "no answer, late past, short, hang-up, no prompt", kSmsWait));
  m.push_back(cell(O::Call, "Drop", "no answer", FaultPlan().dropReply(kModemData, 1), sv::kCalling, 0ms));
  m.push_back(cell(O::Call, "HangUp", "hang-up at ATD", FaultPlan().hangUpAfter(1), sv::kCalling, 0ms));
  m.push_back(cell(O::HangUp, "Drop", "no answer", FaultPlan().dropReply(kModemData, 1), sv::kCallEnded, 0ms));

  // Upload of one 300-byte file: AT, FSDEL, FSMEM, AT, FSCREATE, then FSWRITE (6th modem frame) and
  // its data (7th), and again for the last 44 bytes.
  m.push_back(cell(O::Upload, "Drop", "no answer at all", FaultPlan().dropReply(kModemData, FaultPlan::everyFrame),
                   sv::kNoFreeMemoryAnswer, 1000ms));
  m.push_back(cell(O::Upload, "LateWithin", "prompt 1 s late", FaultPlan().delayReply(kModemData, 6, 1000ms),
                   sv::kFilesWritten, 1000ms + kUploadStep));
  m.push_back(cell(O::Upload, "LatePast", "prompt 2.5 s late", FaultPlan().delayReply(kModemData, 6, 2500ms),
                   sv::kNoPromptAnswer, kUploadStep));
  m.push_back(cell(O::Upload, "Short", "3 bytes of the confirmation", FaultPlan().shortReply(kModemData, 7, 3),
                   sv::kNoConfirmationAnswer, kUploadStep));
  m.push_back(cell(O::Upload, "Garbage", "garbage prompt", FaultPlan().garbageReply(kModemData, 6), sv::kNoPrompt,
                   kUploadStep));
  m.push_back(cell(O::Upload, "Flood", "10000-byte flood for the data", FaultPlan().flood(kModemData, 7, kFloodBytes),
                   sv::kNoConfirmation, kUploadStep));
  m.push_back(
      cell(O::Upload, "HangUp", "hang-up at FSWRITE", FaultPlan().hangUpAfter(6), sv::kNoPromptAnswer, kUploadStep));
  m.push_back(cell(O::Upload, "ModemNoPrompt", "modem gives no prompt", FaultPlan().modemGivesNoPrompt(),
                   sv::kNoPromptAnswer, kUploadStep));
  m.push_back(cell(O::Upload, "ModemNoConfirmation", "modem confirms no write",
                   FaultPlan().modemGivesNoWriteConfirmation(), sv::kNoConfirmationAnswer, kUploadStep));
  m.push_back(cell(O::Upload, "ModemDriveFull", "modem drive of 100 bytes", FaultPlan().modemDriveSize(100),
                   sv::kNotEnoughMemory, 1000ms));

  // The relay is stopped by the user after a drain past the event; it has no message of its own.
  m.push_back(relay("ModuleGarbage", "the module sends garbage", RelayEvent::ModuleGarbage));
  m.push_back(relay("ModuleFlood", "the module sends 8 KiB at once", RelayEvent::ModuleFlood));
  m.push_back(FaultCell{O::NmeaRelay,
                        "HangUp",
                        "the beacon hangs up",
                        {},
                        RelayEvent::BeaconHangsUp,
                        link::kNotConnectedMessage,
                        within(kRelayRun),
                        {}});
  m.push_back(leftOut(O::NmeaRelay, "Reply", "no reply, late, short, garbage, flood", kRelaySendsNothing));

  // GNSS flash: GnssOff, GnssOn, the module's boot ROM, its loader.
  m.push_back(cell(O::GnssFlash, "Drop", "no reply to GnssOff", FaultPlan().dropReply(kGnssOff, 1),
                   fw::gnss::kNotStopped, kBeaconTimeout));
  m.push_back(cell(O::GnssFlash, "LateWithin", "GnssOff reply 0.5 s late", FaultPlan().delayReply(kGnssOff, 1, 500ms),
                   fw::gnss::kDone, 500ms + kGnssFlashRun));
  m.push_back(cell(O::GnssFlash, "LatePast", "GnssOff reply 2.5 s late", FaultPlan().delayReply(kGnssOff, 1, 2500ms),
                   fw::gnss::kNotStopped, kBeaconTimeout));
  m.push_back(leftOut(O::GnssFlash, "Short", "short reply",
                      "every step counts bytes: a short answer is a missing one (the module's rows)"));
  m.push_back(cell(O::GnssFlash, "Garbage", "garbage GnssOn reply", FaultPlan().garbageReply(kGnssOn, 1),
                   fw::gnss::kDone, kGnssFlashRun));
  m.push_back(leftOut(O::GnssFlash, "Flood", "flood",
                      "the beacon's acknowledgements take any byte, as the garbage row shows; a whole flash more"));
  m.push_back(cell(O::GnssFlash, "HangUp", "hang-up at GnssOff", FaultPlan().hangUpAfter(1), fw::gnss::kNotStopped,
                   kBeaconTimeout));
  m.push_back(cell(O::GnssFlash, "ModuleSilent", "module silent from 0x0A",
                   FaultPlan().gnssSilentFrom(sim::GnssStage::Handshake0A), fw::gnss::kStage0A,
                   kModuleTimeout + kGnssFlashRun));
  m.push_back(cell(O::GnssFlash, "PacketUnacknowledged", "module leaves the 1st packet unacknowledged",
                   FaultPlan().gnssLeavesPacketUnacknowledged(1), fw::gnss::kPacketTimeout,
                   kModuleTimeout + kGnssFlashRun));
  m.push_back(leftOut(O::GnssFlash, "NoSync", "module never answers A0",
                      "a hundred 100 ms tries; GPSUpdateThreadTest runs it already"));
  return m;
}

// What an operation that ends without a word does instead, for the table.
std::string_view silentEnding(Operation operation) {
  switch (operation) {
    case Operation::SettingsRead:
      return "none: the record is shown";
    case Operation::NmeaRelay:
      return "none: runs until the user stops it";
    default:
      return "none: neither OK nor ERR came";
  }
}

}  // namespace

std::string_view operationId(Operation operation) {
  switch (operation) {
    case Operation::SettingsRead:
      return "SettingsRead";
    case Operation::SettingsWrite:
      return "SettingsWrite";
    case Operation::FirmwareUpdate:
      return "FirmwareUpdate";
    case Operation::ModemStart:
      return "ModemStart";
    case Operation::ModemOff:
      return "ModemOff";
    case Operation::GnssOn:
      return "GnssOn";
    case Operation::GnssOff:
      return "GnssOff";
    case Operation::TestSimCreate:
      return "TestSimCreate";
    case Operation::TestSimClear:
      return "TestSimClear";
    case Operation::ImeiSms:
      return "ImeiSms";
    case Operation::Call:
      return "Call";
    case Operation::HangUp:
      return "HangUp";
    case Operation::Upload:
      return "Upload";
    case Operation::NmeaRelay:
      return "NmeaRelay";
    case Operation::GnssFlash:
      return "GnssFlash";
  }
  return "Unknown";
}

std::string_view operationTitle(Operation operation) {
  switch (operation) {
    case Operation::SettingsRead:
      return "settings read";
    case Operation::SettingsWrite:
      return "settings write";
    case Operation::FirmwareUpdate:
      return "firmware update";
    case Operation::ModemStart:
      return "service: modem start";
    case Operation::ModemOff:
      return "service: modem off";
    case Operation::GnssOn:
      return "service: GNSS on";
    case Operation::GnssOff:
      return "service: GNSS off";
    case Operation::TestSimCreate:
      return "service: test SIM entry";
    case Operation::TestSimClear:
      return "service: test SIM entry cleared";
    case Operation::ImeiSms:
      return "service: IMEI by SMS";
    case Operation::Call:
      return "service: call";
    case Operation::HangUp:
      return "service: hang up";
    case Operation::Upload:
      return "upload";
    case Operation::NmeaRelay:
      return "NMEA relay";
    case Operation::GnssFlash:
      return "GNSS flash";
  }
  return "unknown";
}

const std::vector<FaultCell>& faultMatrix() {
  static const std::vector<FaultCell> matrix = buildMatrix();
  return matrix;
}

std::vector<FaultCell> runnableCells() {
  std::vector<FaultCell> cells;
  for (const FaultCell& c : faultMatrix()) {
    if (c.leftOut.empty()) cells.push_back(c);
  }
  return cells;
}

void PrintTo(const FaultCell& cell, std::ostream* out) { *out << operationTitle(cell.operation) << ": " << cell.fault; }

std::string markdownTable() {
  std::ostringstream out;
  out << "| operation | fault | expected message | budget |\n|---|---|---|---|\n";
  for (const FaultCell& c : faultMatrix()) {
    out << "| " << operationTitle(c.operation) << " | " << c.fault << " | ";
    if (!c.leftOut.empty()) {
      out << "left out: " << c.leftOut << " | — |\n";
      continue;
    }
    if (c.expected.empty()) {
      out << silentEnding(c.operation);
    } else {
      out << c.expected;
    }
    out << " | " << std::chrono::duration<double>(c.budget).count() << " s |\n";
  }
  return out.str();
}

}  // namespace orsa::reliability
