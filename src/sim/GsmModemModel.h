#pragma once

#include "sim/ModemDrive.h"
#include "sim/ModemFaults.h"
#include "sim/ModemModel.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orsa::sim {

// A SIM800/SIM900-class GSM modem as the beacon's firmware sees it: a byte stream of AT command
// lines ended by CR or LF (the LF of a CR LF pair is dropped), echoed until "ATE0", each answered
// with "\r\nOK\r\n", "\r\nERROR\r\n", a numeric "+CME ERROR: <n>" / "+CMS ERROR: <n>" line (the
// firmware runs its modem with AT+CMEE=1), a call result (NO CARRIER, BUSY) or information lines
// framed by CR LF before the OK. It keeps what the service operations leave behind: SIM phonebook
// entries, sent text messages, the state of a voice call and the files on its drive "C:". The echo,
// the SMS mode and character set, the error report mode and any half-entered command, message or
// file write are forgotten when the power comes on again.
//
// Commands: AT, ATE0/ATE1, ATI (modelText), ATD<number>; (voice call), ATH/ATH0, AT+GSN (the
// IMEI), AT+CGMR (revisionText), AT+CCID (the ICCID), AT+CPIN? ("+CPIN: READY"), AT+CSQ ("+CSQ:
// <rssi>,0", "+CSQ: 99,99" when the signal is unknown), AT+CREG? ("+CREG: 0,1"), AT+COPS? ("+COPS:
// 0,0,\"MTS RUS\""), AT+CBC ("+CBC: 0,85,4012"), AT+CMEE? / AT+CMEE=<0-2>, AT+CPBW, AT+CMGF,
// AT+CSCS, AT+CMGS (text mode only; prompt "\r\n> ", text up to Ctrl-Z, which sends it, or ESC,
// which drops it without a word), AT+FSMEM (answer "+FSMEM: C:<free>bytes"), AT+FSLS=C:\ (one line
// per file name), AT+FSFLSIZE=C:\NAME ("+FSFLSIZE: <bytes>"), AT+FSCREATE, AT+FSDEL and
// AT+FSWRITE=C:\NAME,<mode>,<size>,<timeout> (prompt "\r\n>", then exactly <size> raw bytes, 1 to
// 10240, ESC and Ctrl-Z included; mode 0 replaces the contents, 1 appends). A write to a file that
// was not created, or that would not fit, is refused with ERROR instead of the prompt; so is a file
// name with a control character or one of " , ; : / \. The write time-out is not modelled: the
// modem waits for the bytes however long they take. Anything else, including the other forms of
// these commands (AT+CSQ?, AT+CPIN), is answered with ERROR.
//
// Faults (ModemFaults): no prompt, no write confirmation, the drive's size, no SIM card (AT+CPIN?,
// AT+CCID and AT+CPBW get +CME ERROR: 10, AT+CMGS +CMS ERROR: 310, ATD NO CARRIER; "+CREG: 0,0",
// "+COPS: 0"), no network ("+CREG: 0,2", "+COPS: 0", "+CSQ: 99,99", ATD NO CARRIER, the message
// +CMS ERROR: 331 after Ctrl-Z), messages refused (+CMS ERROR: 500 instead of the prompt), a busy
// called number (ATD BUSY) and commands the modem lacks (ERROR).
class GsmModemModel final : public ModemModel {
 public:
  static constexpr std::string_view defaultImei = "866104023456786";  // as the beacon's IMEI cell
  static constexpr std::size_t defaultDriveCapacity = 76288;
  static constexpr int phonebookSize = 250;
  static constexpr std::string_view modelText = "SIM800 R14.18";                 // ATI
  static constexpr std::string_view revisionText = "Revision:1418B05SIM800L24";  // AT+CGMR
  static constexpr std::string_view defaultIccid = "89701012345678901234";
  static constexpr int defaultSignalQuality = 18;
  static constexpr int unknownSignalQuality = 99;

  struct PhonebookEntry {
    std::string number;
    int type = 129;
    std::string text;
    bool operator==(const PhonebookEntry&) const = default;
  };
  struct SentMessage {
    std::string number;
    std::string text;  // the bytes before Ctrl-Z, as the modem received them
    bool operator==(const SentMessage&) const = default;
  };

  GsmModemModel();

  std::vector<std::uint8_t> onData(std::span<const std::uint8_t> data) override;
  void onPowerOn() override;
  void applyFaults(const ModemFaults& faults) override;

  const std::string& imei() const { return imei_; }
  void setImei(std::string imei);  // throws std::invalid_argument unless it is 15 decimal digits
  const std::string& iccid() const { return iccid_; }
  // The rssi of AT+CSQ: 0 to 31, or unknownSignalQuality; throws std::invalid_argument otherwise.
  int signalQuality() const { return signalQuality_; }
  void setSignalQuality(int rssi);

  bool echoes() const { return echo_; }
  bool textMode() const { return textMode_; }  // AT+CMGF=1
  const std::string& characterSet() const { return characterSet_; }
  const std::map<int, PhonebookEntry>& phonebook() const { return phonebook_; }
  const std::vector<SentMessage>& sentMessages() const { return sentMessages_; }
  // The number of the voice call in progress, as dialled; empty when there is none.
  const std::optional<std::string>& activeCall() const { return activeCall_; }
  ModemDrive& drive() { return drive_; }
  const ModemDrive& drive() const { return drive_; }
  const ModemDrive::Files& files() const { return drive_.files(); }

 private:
  enum class Input { Command, MessageText, FileData };

  // How an extended command is given: AT+X, AT+X? or AT+X=<arguments>.
  enum class Form { Action, Read, Set };

  void takeCommandByte(std::uint8_t byte, std::string& answer);
  void execute(std::string_view line, std::string& answer);
  void executeBasic(std::string_view command, std::string& answer);
  void executeExtended(std::string_view name, Form form, std::string_view arguments, std::string& answer);
  bool reportStatus(std::string_view name, Form form, std::string& answer) const;
  void listFiles(std::string_view path, std::string& answer) const;
  void dial(std::string_view rest, std::string& answer);
  void writePhonebook(std::string_view arguments, std::string& answer);
  void beginMessage(std::string_view arguments, std::string& answer);
  void takeMessageByte(std::uint8_t byte, std::string& answer);
  void beginFileWrite(std::string_view arguments, std::string& answer);
  void takeFileByte(std::uint8_t byte, std::string& answer);

  std::string imei_{defaultImei};
  std::string iccid_{defaultIccid};
  int signalQuality_ = defaultSignalQuality;
  ModemFaults faults_;
  ModemDrive drive_{defaultDriveCapacity};
  std::map<int, PhonebookEntry> phonebook_;
  std::vector<SentMessage> sentMessages_;
  std::optional<std::string> activeCall_;

  // Lost at power-on.
  bool echo_ = true;
  bool textMode_ = false;
  std::string characterSet_ = "IRA";
  int errorReports_ = 1;  // AT+CMEE; the answers are numeric whatever it is
  Input input_ = Input::Command;
  std::string line_;
  bool lineTooLong_ = false;
  std::string messageNumber_;
  std::string messageText_;
  std::string writeName_;
  bool writeReplaces_ = false;
  std::size_t writeSize_ = 0;
  std::vector<std::uint8_t> writeBytes_;
};

}  // namespace orsa::sim
