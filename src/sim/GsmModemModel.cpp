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
constexpr std::uint8_t ctrlZ = 0x1A;
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

}  // namespace

GsmModemModel::GsmModemModel() = default;

void GsmModemModel::setImei(std::string imei) {
  if (imei.size() != 15 || imei.find_first_not_of("0123456789") != std::string::npos) {
    throw std::invalid_argument("an IMEI is 15 decimal digits, not \"" + imei + "\"");
  }
  imei_ = std::move(imei);
}

void GsmModemModel::onPowerOn() {
  echo_ = true;
  textMode_ = false;
  characterSet_ = "IRA";
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
  if (byte == '\r') {
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
  if (body.front() == '+') {
    const auto equals = body.find('=');
    const std::string name = upperCase(body.substr(0, equals));
    const auto arguments = equals == std::string_view::npos ? std::nullopt : std::optional(body.substr(equals + 1));
    executeExtended(name, arguments, answer);
    return;
  }
  const std::string command = upperCase(body);
  if (command == "E" || command == "E0" || command == "E1") {
    echo_ = command == "E1";
    answer += okAnswer;
  } else if (command == "H" || command == "H0") {
    activeCall_.reset();
    answer += okAnswer;
  } else if (command.front() == 'D') {
    dial(body.substr(1), answer);
  } else {
    answer += errorAnswer;
  }
}

void GsmModemModel::executeExtended(std::string_view name, std::optional<std::string_view> arguments,
                                    std::string& answer) {
  if (name == "+GSN" && !arguments) {
    information(answer, imei_);
  } else if (name == "+CPBW" && arguments) {
    writePhonebook(*arguments, answer);
  } else if (name == "+CMGF" && arguments && (*arguments == "0" || *arguments == "1")) {
    textMode_ = *arguments == "1";
    answer += okAnswer;
  } else if (name == "+CSCS" && arguments) {
    const auto set = quoted(*arguments);
    const bool known = set && (*set == "GSM" || *set == "UCS2" || *set == "IRA" || *set == "HEX" || *set == "PCCP936");
    if (known) {
      characterSet_ = *set;
    }
    answer += known ? okAnswer : errorAnswer;
  } else if (name == "+CMGS" && arguments) {
    beginMessage(*arguments, answer);
  } else if (name == "+FSMEM" && !arguments) {
    information(answer, "+FSMEM: C:" + std::to_string(drive_.freeBytes()) + "bytes");
  } else if ((name == "+FSCREATE" || name == "+FSDEL") && arguments) {
    const auto file = ModemDrive::nameFromPath(*arguments);
    const bool done = file && (name == "+FSCREATE" ? drive_.create(*file) : drive_.remove(*file));
    answer += done ? okAnswer : errorAnswer;
  } else if (name == "+FSWRITE" && arguments) {
    beginFileWrite(*arguments, answer);
  } else {
    answer += errorAnswer;
  }
}

void GsmModemModel::dial(std::string_view rest, std::string& answer) {
  // Only voice calls (the number ends with ';'); one call at a time.
  if (!rest.ends_with(';') || !isDialString(rest.substr(0, rest.size() - 1)) || activeCall_) {
    answer += errorAnswer;
    return;
  }
  activeCall_ = std::string(rest.substr(0, rest.size() - 1));
  answer += okAnswer;
}

void GsmModemModel::writePhonebook(std::string_view arguments, std::string& answer) {
  const auto fields = splitArguments(arguments);
  const auto index = integer(fields[0], 1, phonebookSize);
  if (!index || fields.size() > 4) {
    answer += errorAnswer;
    return;
  }
  if (fields.size() == 1) {  // the index alone clears the entry
    phonebook_.erase(static_cast<int>(*index));
    answer += okAnswer;
    return;
  }
  PhonebookEntry entry;
  const auto number = quoted(fields[1]);
  if (!number || !isPhoneNumber(*number)) {
    answer += errorAnswer;
    return;
  }
  entry.number = *number;
  entry.type = number->starts_with('+') ? 145 : 129;
  if (fields.size() > 2 && !fields[2].empty()) {
    const auto type = integer(fields[2], 128, 255);
    if (!type) {
      answer += errorAnswer;
      return;
    }
    entry.type = static_cast<int>(*type);
  }
  if (fields.size() > 3) {
    const auto text = quoted(fields[3]);
    if (!text) {
      answer += errorAnswer;
      return;
    }
    entry.text = *text;
  }
  phonebook_[static_cast<int>(*index)] = std::move(entry);
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
  if (faults_.noPrompt) {
    return;
  }
  messageNumber_ = *number;
  messageText_.clear();
  input_ = Input::MessageText;
  answer += messagePrompt;
}

void GsmModemModel::takeMessageByte(std::uint8_t byte, std::string& answer) {
  if (byte != ctrlZ) {
    messageText_.push_back(static_cast<char>(byte));
    if (echo_) {
      answer.push_back(static_cast<char>(byte));
    }
    return;
  }
  sentMessages_.push_back({std::exchange(messageNumber_, {}), std::exchange(messageText_, {})});
  input_ = Input::Command;
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
