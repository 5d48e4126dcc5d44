#include "sim/GsmModemModel.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <stdexcept>
#include <utility>

namespace orsa::sim {

namespace {

constexpr std::string_view okAnswer = "\r\nOK\r\n";
constexpr std::string_view errorAnswer = "\r\nERROR\r\n";
constexpr std::string_view messagePrompt = "\r\n> ";
constexpr std::string_view writePrompt = "\r\n>";
constexpr std::string_view noCarrierAnswer = "\r\nNO CARRIER\r\n";
constexpr std::string_view busyAnswer = "\r\nBUSY\r\n";
constexpr std::uint8_t ctrlZ = 0x1A;
constexpr std::uint8_t escape = 0x1B;
// Error codes of 3GPP TS 27.005 and 27.007.
constexpr int simNotInserted = 10;        // +CME ERROR
constexpr int smsSimNotInserted = 310;    // +CMS ERROR
constexpr int smsNoNetworkService = 331;  // +CMS ERROR
constexpr int smsUnknownError = 500;      // +CMS ERROR
// Longer command lines are refused as a whole, as the modem's own input buffer would.
constexpr std::size_t maxCommandLine = 556;
// The most bytes one AT+FSWRITE takes.
constexpr long maxWriteSize = 10240;

void information(std::string& answer, std::string_view text) {
  answer += "\r\n";
  answer += text;
  answer += "\r\n";
  answer += okAnswer;
}

void cmeError(std::string& answer, int code) { answer += "\r\n+CME ERROR: " + std::to_string(code) + "\r\n"; }

void cmsError(std::string& answer, int code) { answer += "\r\n+CMS ERROR: " + std::to_string(code) + "\r\n"; }

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string upperCase(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(), upper);
  return result;
}

// Whether the line so far can still be the start of a command: the "AT" prefix, in either case.
bool startsLikeCommand(std::string_view line) {
  return upper(line[0]) == 'A' && (line.size() == 1 || upper(line[1]) == 'T');
}

// Arguments separated by commas outside double quotes.
std::vector<std::string_view> splitArguments(std::string_view text) {
  std::vector<std::string_view> arguments;
  bool inQuotes = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"') {
      inQuotes = !inQuotes;
    } else if (text[i] == ',' && !inQuotes) {
      arguments.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  arguments.push_back(text.substr(start));
  return arguments;
}

std::optional<std::string> quoted(std::string_view text) {
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') {
    return std::nullopt;
  }
  text = text.substr(1, text.size() - 2);
  if (text.find('"') != std::string_view::npos) {
    return std::nullopt;
  }
  return std::string(text);
}

std::optional<long> integer(std::string_view text, long min, long max) {
  long value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc{} || end != text.data() + text.size() || value < min || value > max) {
    return std::nullopt;
  }
  return value;
}

bool isLetterOrDigit(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

bool isPhoneNumber(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789+*#") == std::string_view::npos;
}

// A dial string may carry spaces, dashes and brackets for the reader; the modem skips them.
bool isDialString(std::string_view text) {
  std::string digits;
  std::copy_if(text.begin(), text.end(), std::back_inserter(digits),
               [](char c) { return c != ' ' && c != '-' && c != '(' && c != ')'; });
  return isPhoneNumber(digits);
}

// The fields of AT+CPBW after the index: "<number>"[,<type>[,"<text>"]].
std::optional<GsmModemModel::PhonebookEntry> phonebookEntry(std::span<const std::string_view> fields) {
  GsmModemModel::PhonebookEntry entry;
  const auto number = quoted(fields[0]);
  if (!number || !isPhoneNumber(*number)) {
    return std::nullopt;
  }
  entry.number = *number;
  entry.type = number->starts_with('+') ? 145 : 129;
  if (fields.size() > 1 && !fields[1].empty()) {
    const auto type = integer(fields[1], 128, 255);
    if (!type) {
      return std::nullopt;
    }
    entry.type = static_cast<int>(*type);
  }
  if (fields.size() > 2) {
    const auto text = quoted(fields[2]);
    if (!text) {
      return std::nullopt;
    }
    entry.text = *text;
  }
  return entry;
}

}  // namespace

GsmModemModel::GsmModemModel() = default;

void GsmModemModel::setImei(std::string imei) {
  if (imei.size() != 15 || imei.find_first_not_of("0123456789") != std::string::npos) {
    throw std::invalid_argument("an IMEI is 15 decimal digits, not \"" + imei + "\"");
  }
  imei_ = std::move(imei);
}

void GsmModemModel::setSignalQuality(int rssi) {
  if ((rssi < 0 || rssi > 31) && rssi != unknownSignalQuality) {
    throw std::invalid_argument("an rssi is 0 to 31 or 99, not " + std::to_string(rssi));
  }
  signalQuality_ = rssi;
}

void GsmModemModel::onPowerOn() {
  echo_ = true;
  textMode_ = false;
  characterSet_ = "IRA";
  errorReports_ = 1;
  input_ = Input::Command;
  line_.clear();
  lineTooLong_ = false;
  messageNumber_.clear();
  messageText_.clear();
  writeName_.clear();
  writeBytes_.clear();
  activeCall_.reset();
}

void GsmModemModel::applyFaults(const ModemFaults& faults) {
  const bool hadDriveSize = faults_.driveSize.has_value();
  faults_ = faults;
  if (faults_.driveSize) {
    drive_.setCapacity(*faults_.driveSize);
  } else if (hadDriveSize) {
    drive_.setCapacity(defaultDriveCapacity);
  }
}

std::vector<std::uint8_t> GsmModemModel::onData(std::span<const std::uint8_t> data) {
  std::string answer;
  bool lineJustEnded = false;
  for (const std::uint8_t byte : data) {
    // The LF of a CR LF pair belongs to the line the CR ended, also when that line switched the
    // modem over to message text or file bytes.
    if (std::exchange(lineJustEnded, false) && byte == '\n') {
      continue;
    }
    switch (input_) {
      case Input::Command:
        takeCommandByte(byte, answer);
        lineJustEnded = byte == '\r';
        break;
      case Input::MessageText:
        takeMessageByte(byte, answer);
        break;
      case Input::FileData:
        takeFileByte(byte, answer);
        break;
    }
  }
  return {answer.begin(), answer.end()};
}

void GsmModemModel::takeCommandByte(std::uint8_t byte, std::string& answer) {
  if (echo_) {
    answer.push_back(static_cast<char>(byte));
  }
  // A LF ends a line as a CR does, so that a line broken by one can never run as a single command.
  if (byte == '\r' || byte == '\n') {
    const std::string line = std::exchange(line_, {});
    if (std::exchange(lineTooLong_, false)) {
      answer += errorAnswer;
    } else if (line.size() >= 2) {
      execute(line, answer);
    }
    return;
  }
  if (line_.size() >= maxCommandLine) {
    lineTooLong_ = true;
    return;
  }
  line_.push_back(static_cast<char>(byte));
  // Whatever comes before "AT" is line noise to a modem and is dropped.
  while (!line_.empty() && !startsLikeCommand(line_)) {
    line_.erase(0, 1);
  }
}

void GsmModemModel::execute(std::string_view line, std::string& answer) {
  const std::string_view body = line.substr(2);
  if (body.empty()) {
    answer += okAnswer;
    return;
  }
  if (body.front() != '+') {
    executeBasic(body, answer);
    return;
  }
  const auto nameEnd = std::find_if_not(body.begin() + 1, body.end(), isLetterOrDigit);
  const std::string name = upperCase(std::string_view(body.begin(), nameEnd));
  const std::string_view rest(nameEnd, body.end());
  if (faults_.lacks.contains(name) || !(rest.empty() || rest == "?" || rest.front() == '=')) {
    answer += errorAnswer;
    return;
  }
  if (rest.empty()) {
    executeExtended(name, Form::Action, {}, answer);
  } else if (rest == "?") {
    executeExtended(name, Form::Read, {}, answer);
  } else {
    executeExtended(name, Form::Set, rest.substr(1), answer);
  }
}

void GsmModemModel::executeBasic(std::string_view command, std::string& answer) {
  const std::string upperCommand = upperCase(command);
  if (faults_.lacks.contains(upperCommand.substr(0, 1))) {
    answer += errorAnswer;
    return;
  }
  if (upperCommand == "E" || upperCommand == "E0" || upperCommand == "E1") {
    echo_ = upperCommand == "E1";
    answer += okAnswer;
  } else if (upperCommand == "H" || upperCommand == "H0") {
    activeCall_.reset();
    answer += okAnswer;
  } else if (upperCommand == "I") {
    information(answer, modelText);
  } else if (upperCommand.front() == 'D') {
    dial(command.substr(1), answer);
  } else {
    answer += errorAnswer;
  }
}

void GsmModemModel::executeExtended(std::string_view name, Form form, std::string_view arguments, std::string& answer) {
  if (reportStatus(name, form, answer)) {
    return;
  }
  if (form != Form::Set) {
    if (name == "+FSMEM" && form == Form::Action) {
      information(answer, "+FSMEM: C:" + std::to_string(drive_.freeBytes()) + "bytes");
    } else {
      answer += errorAnswer;
    }
    return;
  }
  if (name == "+CMEE" && (arguments == "0" || arguments == "1" || arguments == "2")) {
    errorReports_ = arguments[0] - '0';
    answer += okAnswer;
  } else if (name == "+CPBW") {
    writePhonebook(arguments, answer);
  } else if (name == "+CMGF" && (arguments == "0" || arguments == "1")) {
    textMode_ = arguments == "1";
    answer += okAnswer;
  } else if (name == "+CSCS") {
    const auto set = quoted(arguments);
    const bool known = set && (*set == "GSM" || *set == "UCS2" || *set == "IRA" || *set == "HEX" || *set == "PCCP936");
    if (known) {
      characterSet_ = *set;
    }
    answer += known ? okAnswer : errorAnswer;
  } else if (name == "+CMGS") {
    beginMessage(arguments, answer);
  } else if (name == "+FSCREATE" || name == "+FSDEL") {
    const auto file = ModemDrive::nameFromPath(arguments);
    const bool done = file && (name == "+FSCREATE" ? drive_.create(*file) : drive_.remove(*file));
    answer += done ? okAnswer : errorAnswer;
  } else if (name == "+FSFLSIZE") {
    const auto file = ModemDrive::nameFromPath(arguments);
    const auto size = file ? drive_.sizeOf(*file) : std::nullopt;
    if (size) {
      information(answer, "+FSFLSIZE: " + std::to_string(*size));
    } else {
      answer += errorAnswer;
    }
  } else if (name == "+FSLS") {
    listFiles(arguments, answer);
  } else if (name == "+FSWRITE") {
    beginFileWrite(arguments, answer);
  } else {
    answer += errorAnswer;
  }
}

// The read-only commands that report on the modem, its SIM card and the network; false for any
// other command.
bool GsmModemModel::reportStatus(std::string_view name, Form form, std::string& answer) const {
  const bool action = form == Form::Action;
  const bool read = form == Form::Read;
  const bool registered = !faults_.simAbsent && !faults_.noNetwork;
  if (name == "+GSN" && action) {
    information(answer, imei_);
  } else if (name == "+CGMR" && action) {
    information(answer, revisionText);
  } else if ((name == "+CPIN" && read) || (name == "+CCID" && action)) {
    if (faults_.simAbsent) {
      cmeError(answer, simNotInserted);
    } else {
      information(answer, name == "+CPIN" ? std::string("+CPIN: READY") : iccid_);
    }
  } else if (name == "+CSQ" && action) {
    const bool known = !faults_.noNetwork && signalQuality_ != unknownSignalQuality;
    information(answer, known ? "+CSQ: " + std::to_string(signalQuality_) + ",0" : "+CSQ: 99,99");
  } else if (name == "+CREG" && read) {
    information(answer, faults_.simAbsent ? "+CREG: 0,0" : faults_.noNetwork ? "+CREG: 0,2" : "+CREG: 0,1");
  } else if (name == "+COPS" && read) {
    information(answer, registered ? "+COPS: 0,0,\"MTS RUS\"" : "+COPS: 0");
  } else if (name == "+CBC" && action) {
    information(answer, "+CBC: 0,85,4012");
  } else if (name == "+CMEE" && read) {
    information(answer, "+CMEE: " + std::to_string(errorReports_));
  } else {
    return false;
  }
  return true;
}

void GsmModemModel::listFiles(std::string_view path, std::string& answer) const {
  if (path.size() != 3 || upper(path[0]) != 'C' || path.substr(1) != ":\\") {
    answer += errorAnswer;
    return;
  }
  for (const auto& [name, contents] : drive_.files()) {
    answer += "\r\n";
    answer += name;
  }
  if (!drive_.files().empty()) {
    answer += "\r\n";
  }
  answer += okAnswer;
}

void GsmModemModel::dial(std::string_view rest, std::string& answer) {
  // Only voice calls (the number ends with ';'); one call at a time.
  if (!rest.ends_with(';') || !isDialString(rest.substr(0, rest.size() - 1)) || activeCall_) {
    answer += errorAnswer;
    return;
  }
  if (faults_.simAbsent || faults_.noNetwork) {
    answer += noCarrierAnswer;
    return;
  }
  if (faults_.callBusy) {
    answer += busyAnswer;
    return;
  }
  activeCall_ = std::string(rest.substr(0, rest.size() - 1));
  answer += okAnswer;
}

void GsmModemModel::writePhonebook(std::string_view arguments, std::string& answer) {
  const auto fields = splitArguments(arguments);
  const auto index = integer(fields[0], 1, phonebookSize);
  // The index alone clears the entry.
  const auto entry = fields.size() > 1 ? phonebookEntry(std::span(fields).subspan(1)) : std::nullopt;
  if (!index || fields.size() > 4 || (fields.size() > 1 && !entry)) {
    answer += errorAnswer;
    return;
  }
  if (faults_.simAbsent) {  // the phonebook lives on the SIM
    cmeError(answer, simNotInserted);
    return;
  }
  if (entry) {
    phonebook_[static_cast<int>(*index)] = *entry;
  } else {
    phonebook_.erase(static_cast<int>(*index));
  }
  answer += okAnswer;
}

void GsmModemModel::beginMessage(std::string_view arguments, std::string& answer) {
  const auto fields = splitArguments(arguments);
  const auto number = quoted(fields[0]);
  const bool typeValid = fields.size() == 1 || (fields.size() == 2 && integer(fields[1], 128, 255));
  // In PDU mode (the power-on default) AT+CMGS takes a length, not a number.
  if (!textMode_ || !number || !isPhoneNumber(*number) || !typeValid) {
    answer += errorAnswer;
    return;
  }
  if (faults_.simAbsent) {
    cmsError(answer, smsSimNotInserted);
    return;
  }
  if (faults_.refusesSms) {
    cmsError(answer, smsUnknownError);
    return;
  }
  if (faults_.noPrompt) {
    return;
  }
  messageNumber_ = *number;
  messageText_.clear();
  input_ = Input::MessageText;
  answer += messagePrompt;
}

void GsmModemModel::takeMessageByte(std::uint8_t byte, std::string& answer) {
  if (byte == escape) {  // the message is dropped and the modem says nothing
    messageNumber_.clear();
    messageText_.clear();
    input_ = Input::Command;
    return;
  }
  if (byte != ctrlZ) {
    messageText_.push_back(static_cast<char>(byte));
    if (echo_) {
      answer.push_back(static_cast<char>(byte));
    }
    return;
  }
  input_ = Input::Command;
  // The faults of a plan applied while the text was being typed count as well.
  if (faults_.simAbsent || faults_.noNetwork) {
    messageNumber_.clear();
    messageText_.clear();
    cmsError(answer, faults_.simAbsent ? smsSimNotInserted : smsNoNetworkService);
    return;
  }
  sentMessages_.push_back({std::exchange(messageNumber_, {}), std::exchange(messageText_, {})});
  information(answer, "+CMGS: " + std::to_string(sentMessages_.size() % 256));
}

void GsmModemModel::beginFileWrite(std::string_view arguments, std::string& answer) {
  const auto fields = splitArguments(arguments);
  if (fields.size() != 4) {
    answer += errorAnswer;
    return;
  }
  const auto file = ModemDrive::nameFromPath(fields[0]);
  const auto mode = integer(fields[1], 0, 1);
  const auto size = integer(fields[2], 1, maxWriteSize);
  const auto timeout = integer(fields[3], 1, 65535);
  const bool replace = mode == 0L;
  if (!file || !mode || !size || !timeout || !drive_.contains(*file) ||
      !drive_.fits(*file, static_cast<std::size_t>(*size), replace)) {
    answer += errorAnswer;
    return;
  }
  if (faults_.noPrompt) {
    return;
  }
  writeName_ = *file;
  writeReplaces_ = replace;
  writeSize_ = static_cast<std::size_t>(*size);
  writeBytes_.clear();
  input_ = Input::FileData;
  answer += writePrompt;
}

void GsmModemModel::takeFileByte(std::uint8_t byte, std::string& answer) {
  writeBytes_.push_back(byte);
  if (writeBytes_.size() < writeSize_) {
    return;
  }
  input_ = Input::Command;
  const bool written = drive_.write(writeName_, writeBytes_, writeReplaces_);
  writeBytes_.clear();
  if (!written) {
    answer += errorAnswer;
  } else if (!faults_.noWriteConfirmation) {
    answer += okAnswer;
  }
}

}  // namespace orsa::sim
