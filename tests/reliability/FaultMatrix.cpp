#include <sstream>

#include "reliability/FaultCell.h"
#include "support/BeaconFigures.h"

namespace orsa::reliability {

namespace {

using namespace std::chrono_literals;
using sim::FaultPlan;
using std::chrono::milliseconds;
// The expected messages and time-outs are the beacon's and the screens' own figures, never the
// program's constants: a wrong text or time-out in the program fails its cells.
namespace figures = orsa::testing::figures;

constexpr std::uint8_t kRead = figures::kReadSettingSlot;
constexpr std::uint8_t kWrite = figures::kWriteSettingSlot;
constexpr std::uint8_t kModemOn = figures::kModemOn;
constexpr std::uint8_t kGnssOn = figures::kGnssOn;
constexpr std::uint8_t kModemOff = figures::kModemOff;
constexpr std::uint8_t kGnssOff = figures::kGnssOff;
constexpr std::uint8_t kModemData = figures::kModemData;
constexpr std::uint8_t kErase = figures::kEraseFirmware;
constexpr std::uint8_t kBlock = figures::kWriteFirmwareBlock;

// Room for scheduling, the simulator and a sanitizer's slowness; far less than any time-out that
// would go wrong (a wait that never ends, or one that waits twice).
constexpr milliseconds kMargin = 3000ms;
// More unsolicited bytes than the receive buffer holds.
constexpr std::size_t kFloodBytes = 10000;

constexpr milliseconds kReadTimeout = figures::kReadTimeout;
constexpr milliseconds kWriteTimeout = figures::kWriteTimeout;
// A whole read's pauses after each request: 29 slots and the closing request.
constexpr milliseconds kReadPauses = 30 * figures::kReadPause;
constexpr milliseconds kFirmwareTimeout = figures::kFirmwareTimeout;
constexpr milliseconds kPowerTimeout = figures::kPowerTimeout;
// The modem's time-outs as its users know them: 0.5 s per "AT" of the start, 5 s for any other
// command (this program reads each answer to its final result), 2 s per upload step (the prompt or
// the confirmation of one write), and the 1.5 s pause after the message prompt. A modem that timed
// out gets up to 1 s to fall quiet.
constexpr milliseconds kStartTry = figures::kAtTryTimeout;
constexpr milliseconds kCommand = 5000ms;
constexpr milliseconds kUploadStep = figures::kUploadStepTimeout;
constexpr milliseconds kSmsPromptPause = figures::kSmsPromptPause;
constexpr milliseconds kDrain = 1000ms;
// The upload's pauses after AT, FSDEL, FSMEM, AT and FSCREATE, and the closing FSMEM.
constexpr milliseconds kUploadPauses = 6 * figures::kUploadPause;
constexpr milliseconds kModuleTimeout = figures::kGnssModuleTimeout;
constexpr milliseconds kBeaconTimeout = figures::kPowerTimeout;
// A whole GNSS flash of the matrix's small firmware on the simulator, pauses included.
constexpr milliseconds kGnssFlashRun = 6000ms;
// The relay takes what arrived once a second; the matrix stops it after three.
constexpr milliseconds kRelayRun = 3 * figures::kNmeaDrainPeriod;

constexpr std::string_view kNone = "";
constexpr std::string_view kOneByteAck = "the beacon answers with one byte: a short reply is no reply (see drop)";
constexpr std::string_view kSamePowerStep = "the same power-frame step as GNSS on, whose row shows it";
constexpr std::string_view kRelaySendsNothing = "the relay sends no frame, so there is no reply to spoil";

milliseconds within(milliseconds waits) { return waits + kMargin; }

FaultCell cell(Operation op, std::string_view id, std::string_view fault, FaultPlan plan, std::string_view expected,
               milliseconds budget) {
  return FaultCell{op, id, fault, std::move(plan), RelayEvent::None, expected, within(budget), {}, {}, {}};
}

// A cell whose fault leaves the operation to wait out its time-out: it ends no sooner than that,
// and within the time-out and the margin.
FaultCell timedOut(Operation op, std::string_view id, std::string_view fault, FaultPlan plan, std::string_view expected,
                   milliseconds timeout) {
  FaultCell c = cell(op, id, fault, std::move(plan), expected, timeout);
  c.waitsAtLeast = timeout;
  return c;
}

// A cell whose operation gets no answer from the `nth` frame of `type` on.
FaultCell silentFrom(std::uint8_t type, unsigned nth, FaultCell c) {
  c.silentFrom = SilentFrom{type, nth};
  return c;
}

FaultCell leftOut(Operation op, std::string_view id, std::string_view fault, std::string_view reason) {
  return FaultCell{op, id, fault, {}, RelayEvent::None, {}, {}, {}, reason, {}};
}

FaultCell relay(std::string_view id, std::string_view fault, RelayEvent event) {
  return FaultCell{Operation::NmeaRelay, id, fault, {}, event, kNone, within(kRelayRun), {}, {}, {}};
}

std::vector<FaultCell> buildMatrix() {
  using O = Operation;
  std::vector<FaultCell> m;

  // Settings: every slot is its own frame; the faults hit the first.
  m.push_back(silentFrom(kRead, 1,
                         timedOut(O::SettingsRead, "Drop", "no reply", FaultPlan().dropReply(kRead, 1),
                                  figures::kReadFailed, kReadTimeout)));
  m.push_back(cell(O::SettingsRead, "LateWithin", "reply 1 s late", FaultPlan().delayReply(kRead, 1, 1000ms), kNone,
                   1000ms + kReadPauses));
  m.push_back(timedOut(O::SettingsRead, "LatePast", "reply 4.5 s late", FaultPlan().delayReply(kRead, 1, 4500ms),
                       figures::kReadFailed, kReadTimeout));
  m.push_back(timedOut(O::SettingsRead, "Short", "2 of 32 bytes", FaultPlan().shortReply(kRead, 1, 2),
                       figures::kReadFailed, kReadTimeout));
  m.push_back(
      cell(O::SettingsRead, "Garbage", "garbage reply", FaultPlan().garbageReply(kRead, 1), kNone, kReadPauses));
  m.push_back(
      cell(O::SettingsRead, "Flood", "10000-byte flood", FaultPlan().flood(kRead, 1, kFloodBytes), kNone, kReadPauses));
  m.push_back(cell(O::SettingsRead, "HangUp", "hang-up at the 1st frame", FaultPlan().hangUpAfter(1),
                   figures::kReadFailed, kReadTimeout));

  m.push_back(silentFrom(kWrite, 1,
                         timedOut(O::SettingsWrite, "Drop", "no reply", FaultPlan().dropReply(kWrite, 1),
                                  figures::kWriteFailed, kWriteTimeout)));
  m.push_back(cell(O::SettingsWrite, "LateWithin", "reply 1 s late", FaultPlan().delayReply(kWrite, 1, 1000ms),
                   figures::kWriteDone, 2000ms));
  m.push_back(timedOut(O::SettingsWrite, "LatePast", "reply 4.5 s late", FaultPlan().delayReply(kWrite, 1, 4500ms),
                       figures::kWriteFailed, kWriteTimeout));
  m.push_back(leftOut(O::SettingsWrite, "Short", "short reply", kOneByteAck));
  m.push_back(cell(O::SettingsWrite, "Garbage", "garbage reply", FaultPlan().garbageReply(kWrite, 1),
                   figures::kWriteDone, 0ms));
  m.push_back(cell(O::SettingsWrite, "Flood", "10000-byte flood", FaultPlan().flood(kWrite, 1, kFloodBytes),
                   figures::kWriteDone, 0ms));
  m.push_back(cell(O::SettingsWrite, "HangUp", "hang-up at the 3rd frame", FaultPlan().hangUpAfter(3),
                   figures::kWriteFailed, kWriteTimeout));

  // Firmware: one erase, then two blocks.
  m.push_back(silentFrom(kErase, 1,
                         timedOut(O::FirmwareUpdate, "Drop", "no reply to the erase", FaultPlan().dropReply(kErase, 1),
                                  figures::kEraseFailed, kFirmwareTimeout)));
  m.push_back(cell(O::FirmwareUpdate, "LateWithin", "erase reply 2 s late", FaultPlan().delayReply(kErase, 1, 2000ms),
                   figures::kFirmwareDone, 2000ms));
  m.push_back(
      leftOut(O::FirmwareUpdate, "LatePast", "reply past the time-out",
              "ends at the same 10 s wait as no reply; the settings and power rows show the late byte harmless"));
  m.push_back(leftOut(O::FirmwareUpdate, "Short", "short reply", kOneByteAck));
  m.push_back(cell(O::FirmwareUpdate, "Garbage", "garbage erase reply", FaultPlan().garbageReply(kErase, 1),
                   figures::kFirmwareDone, 0ms));
  m.push_back(cell(O::FirmwareUpdate, "Flood", "10000-byte flood for the 1st block",
                   FaultPlan().flood(kBlock, 1, kFloodBytes), figures::kFirmwareDone, 0ms));
  m.push_back(cell(O::FirmwareUpdate, "HangUp", "hang-up at the 1st block", FaultPlan().hangUpAfter(2),
                   "Ошибка во время записи прошивки: маяк отключён, записано 0 из 4096 байт. Прошивка записана не "
                   "полностью, повторите обновление",
                   0ms));

  // The modem's start: the power frame, then up to ten "AT" of 0.5 s each and one "ATE0". A try
  // that timed out leaves the line to fall quiet (up to 1 s) before the next.
  m.push_back(silentFrom(kModemOn, 1,
                         timedOut(O::ModemStart, "Drop", "no reply to ModemOn", FaultPlan().dropReply(kModemOn, 1),
                                  figures::kModemNotStarted, kPowerTimeout)));
  m.push_back(cell(O::ModemStart, "LateWithin", "ModemOn reply 1 s late", FaultPlan().delayReply(kModemOn, 1, 1000ms),
                   figures::kModemConfigured, 1000ms));
  m.push_back(timedOut(O::ModemStart, "LatePast", "ModemOn reply 2.5 s late",
                       FaultPlan().delayReply(kModemOn, 1, 2500ms), figures::kModemNotStarted, kPowerTimeout));
  m.push_back(cell(O::ModemStart, "Short", "3 bytes of the 1st AT answer", FaultPlan().shortReply(kModemData, 1, 3),
                   figures::kModemConfigured, kStartTry + kDrain));
  m.push_back(cell(O::ModemStart, "Garbage", "garbage 1st AT answer", FaultPlan().garbageReply(kModemData, 1),
                   figures::kModemConfigured, kStartTry + kDrain));
  m.push_back(cell(O::ModemStart, "Flood", "10000-byte flood for the 1st AT",
                   FaultPlan().flood(kModemData, 1, kFloodBytes), figures::kModemConfigured, kStartTry + kDrain));
  m.push_back(cell(O::ModemStart, "HangUp", "hang-up at ModemOn", FaultPlan().hangUpAfter(1), figures::kModemNotStarted,
                   kPowerTimeout));
  m.push_back(silentFrom(kModemData, 1,
                         cell(O::ModemStart, "ModemStaysOff", "modem stays off", FaultPlan().modemStaysOff(),
                              "Модем не отвечает на команду AT: модем не ответил", 10 * kStartTry)));

  m.push_back(silentFrom(kModemOff, 1,
                         timedOut(O::ModemOff, "Drop", "no reply", FaultPlan().dropReply(kModemOff, 1),
                                  figures::kModemNotStopped, kPowerTimeout)));
  m.push_back(leftOut(O::ModemOff, "Other", "late, short, garbage, flood, hang-up", kSamePowerStep));
  m.push_back(silentFrom(kGnssOn, 1,
                         timedOut(O::GnssOn, "Drop", "no reply", FaultPlan().dropReply(kGnssOn, 1),
                                  figures::kGnssNotStarted, kPowerTimeout)));
  m.push_back(cell(O::GnssOn, "LateWithin", "reply 1 s late", FaultPlan().delayReply(kGnssOn, 1, 1000ms),
                   figures::kGnssStarted, 1000ms));
  m.push_back(timedOut(O::GnssOn, "LatePast", "reply 2.5 s late", FaultPlan().delayReply(kGnssOn, 1, 2500ms),
                       figures::kGnssNotStarted, kPowerTimeout));
  m.push_back(leftOut(O::GnssOn, "Short", "short reply", kOneByteAck));
  m.push_back(
      cell(O::GnssOn, "Garbage", "garbage reply", FaultPlan().garbageReply(kGnssOn, 1), figures::kGnssStarted, 0ms));
  m.push_back(cell(O::GnssOn, "Flood", "10000-byte flood", FaultPlan().flood(kGnssOn, 1, kFloodBytes),
                   figures::kGnssStarted, 0ms));
  m.push_back(cell(O::GnssOn, "HangUp", "hang-up at the frame", FaultPlan().hangUpAfter(1), figures::kGnssNotStarted,
                   kPowerTimeout));
  m.push_back(silentFrom(kGnssOff, 1,
                         timedOut(O::GnssOff, "Drop", "no reply", FaultPlan().dropReply(kGnssOff, 1),
                                  figures::kGnssNotStopped, kPowerTimeout)));
  m.push_back(leftOut(O::GnssOff, "Other", "late, short, garbage, flood, hang-up", kSamePowerStep));

  // Modem commands, with the modem started first: each answer is read to its final result within
  // 5 s, and every outcome is a line that quotes the modem or says it was silent. "…" ends a line
  // whose quote of garbage is only known to begin so.
  m.push_back(silentFrom(kModemData, 1,
                         cell(O::TestSimCreate, "Drop", "no answer", FaultPlan().dropReply(kModemData, 1),
                              "Ошибка создания тестовой SIM-карты: модем не ответил", kCommand)));
  m.push_back(cell(O::TestSimCreate, "LateWithin", "answer 1 s late", FaultPlan().delayReply(kModemData, 1, 1000ms),
                   figures::kTestSimCreated, 1000ms));
  m.push_back(cell(O::TestSimCreate, "LatePast", "answer 5.5 s late", FaultPlan().delayReply(kModemData, 1, 5500ms),
                   "Ошибка создания тестовой SIM-карты: модем не ответил", kCommand));
  m.push_back(cell(O::TestSimCreate, "Short", "2 bytes of the answer", FaultPlan().shortReply(kModemData, 1, 2),
                   "Ошибка создания тестовой SIM-карты: модем не ответил", kCommand));
  m.push_back(cell(O::TestSimCreate, "Garbage", "garbage answer", FaultPlan().garbageReply(kModemData, 1),
                   "Ошибка создания тестовой SIM-карты: модем ответил «…", kCommand));
  m.push_back(cell(O::TestSimCreate, "Flood", "10000-byte flood", FaultPlan().flood(kModemData, 1, kFloodBytes),
                   "Ошибка создания тестовой SIM-карты: модем ответил «…", kCommand));
  m.push_back(cell(O::TestSimCreate, "HangUp", "hang-up at the command", FaultPlan().hangUpAfter(1),
                   "Ошибка создания тестовой SIM-карты: маяк отключён", 0ms));
  m.push_back(cell(O::TestSimCreate, "ModemWithoutSim", "no SIM card", FaultPlan().modemWithoutSim(),
                   "Ошибка создания тестовой SIM-карты: модем ответил «+CME ERROR: 10»", 0ms));
  m.push_back(silentFrom(kModemData, 1,
                         cell(O::TestSimClear, "Drop", "no answer", FaultPlan().dropReply(kModemData, 1),
                              "Ошибка деактивации тестовой SIM-карты: модем не ответил", kCommand)));

  // The IMEI by SMS: AT+GSN, AT+CMGF, AT+CSCS, AT+CMGS and its prompt, 1.5 s, the text.
  m.push_back(silentFrom(kModemData, 1,
                         cell(O::ImeiSms, "Drop", "no answer to AT+GSN", FaultPlan().dropReply(kModemData, 1),
                              "Модем не сообщил IMEI: модем не ответил", kCommand)));
  m.push_back(cell(O::ImeiSms, "LateWithin", "IMEI answer 1 s late", FaultPlan().delayReply(kModemData, 1, 1000ms),
                   "SMS отправлено (ссылка 1)", 1000ms + kSmsPromptPause));
  m.push_back(cell(O::ImeiSms, "LatePast", "IMEI answer 5.5 s late", FaultPlan().delayReply(kModemData, 1, 5500ms),
                   "Модем не сообщил IMEI: модем не ответил", kCommand));
  m.push_back(cell(O::ImeiSms, "Short", "3 bytes of the IMEI answer", FaultPlan().shortReply(kModemData, 1, 3),
                   "Модем не сообщил IMEI: модем ответил «8» без итогового кода", kCommand));
  m.push_back(cell(O::ImeiSms, "Garbage", "garbage IMEI answer", FaultPlan().garbageReply(kModemData, 1),
                   "Модем не сообщил IMEI: модем ответил «…", kCommand));
  m.push_back(cell(O::ImeiSms, "Flood", "10000-byte flood for AT+GSN", FaultPlan().flood(kModemData, 1, kFloodBytes),
                   "Модем не сообщил IMEI: модем ответил «…", kCommand));
  m.push_back(cell(O::ImeiSms, "HangUp", "hang-up at AT+GSN", FaultPlan().hangUpAfter(1),
                   "Модем не сообщил IMEI: маяк отключён", 0ms));
  m.push_back(cell(O::ImeiSms, "ModemNoPrompt", "modem gives no prompt", FaultPlan().modemGivesNoPrompt(),
                   "SMS не отправлено (AT+CMGS): модем не ответил", kCommand));
  m.push_back(cell(O::ImeiSms, "ModemRefusesSms", "modem refuses the message", FaultPlan().modemRefusesSms(),
                   "SMS не отправлено (AT+CMGS): модем ответил «+CMS ERROR: 500»", 0ms));
  m.push_back(cell(O::ImeiSms, "ModemWithoutNetwork", "no network", FaultPlan().modemWithoutNetwork(),
                   "SMS не отправлено: модем ответил «+CMS ERROR: 331»", kSmsPromptPause));
  m.push_back(leftOut(O::ImeiSms, "NoSendResult", "no answer to the text",
                      "the network's answer is awaited 60 s; ServiceThreadTest runs the refusals"));

  m.push_back(silentFrom(kModemData, 1,
                         cell(O::Call, "Drop", "no answer", FaultPlan().dropReply(kModemData, 1),
                              "Звонок не состоялся: модем не ответил", kCommand)));
  m.push_back(
      cell(O::Call, "HangUp", "hang-up at ATD", FaultPlan().hangUpAfter(1), "Звонок не состоялся: маяк отключён", 0ms));
  m.push_back(cell(O::Call, "ModemFindsCallBusy", "the number is busy", FaultPlan().modemFindsCallBusy(),
                   "Звонок не состоялся: модем ответил «BUSY»", 0ms));
  m.push_back(cell(O::Call, "ModemWithoutNetwork", "no network", FaultPlan().modemWithoutNetwork(),
                   "Звонок не состоялся: модем ответил «NO CARRIER»", 0ms));
  m.push_back(silentFrom(kModemData, 1,
                         cell(O::HangUp, "Drop", "no answer", FaultPlan().dropReply(kModemData, 1),
                              "Звонок не отменен: модем не ответил", kCommand)));

  // Upload of one 300-byte file: AT, FSFLSIZE, FSMEM, FSDEL, AT, FSCREATE, then FSWRITE (7th modem
  // frame) and its data (8th), again for the last 44 bytes, and the size and memory checks.
  m.push_back(silentFrom(
      kModemData, 1,
      cell(O::Upload, "Drop", "no answer at all", FaultPlan().dropReply(kModemData, FaultPlan::everyFrame),
           "Модем не отвечает, запись файлов отменена, файлы в модеме не тронуты: модем не ответил", kCommand)));
  m.push_back(cell(O::Upload, "LateWithin", "prompt 1 s late", FaultPlan().delayReply(kModemData, 7, 1000ms),
                   figures::kFilesWritten, 1000ms + kUploadPauses));
  m.push_back(cell(O::Upload, "LatePast", "prompt 2.5 s late", FaultPlan().delayReply(kModemData, 7, 2500ms),
                   "Ошибка во время записи файла (нет ответа на этапе приглашения): модем не ответил",
                   kUploadStep + kUploadPauses));
  m.push_back(cell(O::Upload, "Short", "3 bytes of the confirmation", FaultPlan().shortReply(kModemData, 8, 3),
                   "Ошибка во время записи файла (нет ответа на этапе подтверждения записи): модем ответил «O» без "
                   "итогового кода",
                   kUploadStep + kUploadPauses));
  m.push_back(cell(O::Upload, "Garbage", "garbage prompt", FaultPlan().garbageReply(kModemData, 7),
                   "Ошибка во время записи файла (нет ответа на этапе приглашения): модем ответил «…",
                   kUploadStep + kUploadPauses));
  m.push_back(cell(O::Upload, "Flood", "10000-byte flood for the data", FaultPlan().flood(kModemData, 8, kFloodBytes),
                   "Ошибка во время записи файла (нет ответа на этапе подтверждения записи): модем ответил «…",
                   kUploadStep + kUploadPauses));
  m.push_back(cell(O::Upload, "HangUp", "hang-up at FSWRITE", FaultPlan().hangUpAfter(7),
                   "Устройство не подключено: на модеме осталось 0 из 300 байт файла A.AMR", kUploadPauses));
  m.push_back(cell(O::Upload, "ModemNoPrompt", "modem gives no prompt", FaultPlan().modemGivesNoPrompt(),
                   "Ошибка во время записи файла (нет ответа на этапе приглашения): модем не ответил",
                   kUploadStep + kUploadPauses));
  m.push_back(cell(O::Upload, "ModemNoConfirmation", "modem confirms no write",
                   FaultPlan().modemGivesNoWriteConfirmation(),
                   "Ошибка во время записи файла (нет ответа на этапе подтверждения записи): модем не ответил",
                   kUploadStep + kUploadPauses));
  m.push_back(cell(O::Upload, "ModemDriveFull", "modem drive of 100 bytes", FaultPlan().modemDriveSize(100),
                   "Не хватает памяти на модеме для записи файлов: нужно 300 байт, доступно 100. Запись файлов "
                   "отменена, файлы в модеме не тронуты",
                   kUploadPauses));

  // The relay is stopped by the user after a drain past the event; it has no message of its own.
  m.push_back(relay("ModuleGarbage", "the module sends garbage", RelayEvent::ModuleGarbage));
  m.push_back(relay("ModuleFlood", "the module sends 8 KiB at once", RelayEvent::ModuleFlood));
  m.push_back(FaultCell{O::NmeaRelay,
                        "HangUp",
                        "the beacon hangs up",
                        {},
                        RelayEvent::BeaconHangsUp,
                        figures::kNotConnected,
                        within(kRelayRun),
                        {},
                        {},
                        {}});
  m.push_back(leftOut(O::NmeaRelay, "Reply", "no reply, late, short, garbage, flood", kRelaySendsNothing));

  // GNSS flash of a 12289-byte image (seven packets): GnssOff, GnssOn, the module's release, its boot
  // ROM, its loader; once the module has left its normal mode a failure brings it back.
  constexpr std::string_view kFlashed = "Прошивка GPS модуля завершена: модуль подтвердил 12289 байт прошивки";
  m.push_back(silentFrom(kGnssOff, 1,
                         timedOut(O::GnssFlash, "Drop", "no reply to GnssOff", FaultPlan().dropReply(kGnssOff, 1),
                                  figures::kGnssNotStopped, kBeaconTimeout)));
  m.push_back(cell(O::GnssFlash, "LateWithin", "GnssOff reply 0.5 s late", FaultPlan().delayReply(kGnssOff, 1, 500ms),
                   kFlashed, 500ms + kGnssFlashRun));
  m.push_back(timedOut(O::GnssFlash, "LatePast", "GnssOff reply 2.5 s late",
                       FaultPlan().delayReply(kGnssOff, 1, 2500ms), figures::kGnssNotStopped, kBeaconTimeout));
  m.push_back(leftOut(O::GnssFlash, "Short", "short reply",
                      "the module's answers are compared byte for byte: a short one is a missing one (the module's "
                      "rows)"));
  m.push_back(cell(O::GnssFlash, "Garbage", "garbage GnssOn reply", FaultPlan().garbageReply(kGnssOn, 1), kFlashed,
                   kGnssFlashRun));
  m.push_back(leftOut(O::GnssFlash, "Flood", "flood",
                      "the beacon's acknowledgements take any byte, as the garbage row shows; a whole flash more"));
  m.push_back(cell(O::GnssFlash, "HangUp", "hang-up at GnssOff", FaultPlan().hangUpAfter(1),
                   "Устройство не подключено: маяк отключён во время прошивки GPS модуля", 0ms));
  m.push_back(cell(O::GnssFlash, "ModuleSilent", "module silent from 0x0A",
                   FaultPlan().gnssSilentFrom(sim::GnssStage::Handshake0A),
                   "Ошибка на этапе 0x0A; модуль возвращён в обычный режим (9600 бод, питание перезапущено)",
                   kModuleTimeout + kGnssFlashRun));
  m.push_back(cell(O::GnssFlash, "PacketUnacknowledged", "module leaves the 1st packet unacknowledged",
                   FaultPlan().gnssLeavesPacketUnacknowledged(1),
                   "Время ожидания ответа от МК истекло: пакет 1 из 7 без ответа; модуль возвращён в обычный режим "
                   "(9600 бод, питание перезапущено)",
                   kModuleTimeout + kGnssFlashRun));
  m.push_back(cell(O::GnssFlash, "PacketRejected", "module rejects the 1st packet every time",
                   FaultPlan().gnssRejectsPacket(1, true),
                   "Ошибка во время записи прошивки: пакет 1 из 7 отвергнут 3 раза (ответ EE); модуль возвращён в "
                   "обычный режим (9600 бод, питание перезапущено)",
                   kGnssFlashRun));
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
