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
// lines ended by CR (the LF of a CR LF pair is dropped), echoed until "ATE0", each answered with
// "\r\nOK\r\n", "\r\nERROR\r\n" or an information text framed by CR LF before the OK. It keeps
// what the service operations leave behind: SIM phonebook entries, sent text messages, the state
// of a voice call and the files on its drive "C:". The echo, the SMS mode and character set and
// any half-entered command, message or file write are forgotten when the power comes on again.
//
// Commands: AT, ATE0/ATE1, ATD<number>; (voice call), ATH/ATH0, AT+GSN, AT+CPBW, AT+CMGF,
// AT+CSCS, AT+CMGS (text mode only; prompt "\r\n> ", text up to Ctrl-Z), AT+FSMEM (answer
// "+FSMEM: C:<free>bytes"), AT+FSCREATE, AT+FSDEL and AT+FSWRITE=C:\NAME,<mode>,<size>,<timeout>
// (prompt "\r\n>", then exactly <size> raw bytes, 1 to 10240; mode 0 replaces the contents, 1
// appends). A write to a file that was not created, or that would not fit, is refused with ERROR
// instead of the prompt. The write time-out is not modelled: the modem waits for the bytes however
// long they take. Anything else is answered with ERROR.
class GsmModemModel final : public ModemModel {
 public:
  static constexpr std::string_view defaultImei = "866104023456786";  // as the beacon's IMEI cell
  static constexpr std::size_t defaultDriveCapacity = 76288;
  static constexpr int phonebookSize = 250;

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

  void takeCommandByte(std::uint8_t byte, std::string& answer);
  void execute(std::string_view line, std::string& answer);
  void executeExtended(std::string_view name, std::optional<std::string_view> arguments, std::string& answer);
  void dial(std::string_view rest, std::string& answer);
  void writePhonebook(std::string_view arguments, std::string& answer);
  void beginMessage(std::string_view arguments, std::string& answer);
  void takeMessageByte(std::uint8_t byte, std::string& answer);
  void beginFileWrite(std::string_view arguments, std::string& answer);
  void takeFileByte(std::uint8_t byte, std::string& answer);

  std::string imei_{defaultImei};
  ModemFaults faults_;
  ModemDrive drive_{defaultDriveCapacity};
  std::map<int, PhonebookEntry> phonebook_;
  std::vector<SentMessage> sentMessages_;
  std::optional<std::string> activeCall_;

  // Lost at power-on.
  bool echo_ = true;
  bool textMode_ = false;
  std::string characterSet_ = "IRA";
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
