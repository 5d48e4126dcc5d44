#include "service/ModemReply.h"

#include <array>
#include <cstdio>

namespace orsa::service {

namespace {

using Outcome = ModemReply::Outcome;

struct FinalResult {
  std::string_view text;
  bool prefixOnly;  // followed by a code number
  Outcome outcome;
};

constexpr std::array<FinalResult, 8> kFinalResults{{
    {"OK", false, Outcome::Ok},
    {"ERROR", false, Outcome::Error},
    {"+CME ERROR:", true, Outcome::Error},
    {"+CMS ERROR:", true, Outcome::Error},
    {"NO CARRIER", false, Outcome::NoCarrier},
    {"BUSY", false, Outcome::Busy},
    {"NO ANSWER", false, Outcome::NoAnswer},
    {"NO DIALTONE", false, Outcome::NoDialtone},
}};

std::optional<Outcome> finalOutcome(std::string_view line) {
  for (const FinalResult& result : kFinalResults) {
    if (result.prefixOnly ? line.starts_with(result.text) : line == result.text) return result.outcome;
  }
  return std::nullopt;
}

// The command as the modem echoes it: without its line end or the Ctrl-Z that ends a message.
std::string_view echoOf(std::string_view command) {
  while (!command.empty() && (command.back() == '\r' || command.back() == '\n' || command.back() == '\x1A')) {
    command.remove_suffix(1);
  }
  return command;
}

std::string_view withoutSpacesAndCtrlZ(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\x1A')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\x1A')) text.remove_suffix(1);
  return text;
}

bool isPrompt(std::string_view line) { return !line.empty() && line.front() == '>'; }

std::string printable(std::string_view text) {
  std::string shown;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) {
      shown.push_back(c);
    } else if (c == '\r' || c == '\n') {
      if (!shown.empty() && shown.back() != ' ') shown.push_back(' ');
    } else {
      std::array<char, 5> escaped{};
      std::snprintf(escaped.data(), escaped.size(), "\\x%02X", byte);
      shown += escaped.data();
    }
  }
  while (!shown.empty() && shown.back() == ' ') shown.pop_back();
  constexpr std::size_t kLongest = 120;
  if (shown.size() > kLongest) shown = shown.substr(0, kLongest) + "…";
  return shown;
}

}  // namespace

std::optional<std::string> ModemReply::field(std::string_view prefix) const {
  for (const std::string& line : lines) {
    if (line.starts_with(prefix)) return line.substr(prefix.size());
  }
  return std::nullopt;
}

ModemReply parseModemReply(std::string_view received, std::string_view command, bool promptDue) {
  ModemReply reply;
  reply.received = std::string(received);
  const std::string_view echo = echoOf(command);
  bool echoSeen = echo.empty();
  std::size_t start = 0;
  for (std::size_t i = 0; i < received.size(); ++i) {
    if (received[i] != '\r' && received[i] != '\n') continue;
    const std::string_view line = withoutSpacesAndCtrlZ(received.substr(start, i - start));
    start = i + 1;
    if (line.empty()) continue;
    if (!echoSeen && line == echo) {
      // Whatever came before the echo was there before the command: an unsolicited line.
      echoSeen = true;
      reply.lines.clear();
      reply.received = std::string(received.substr(start));
      continue;
    }
    if (const auto outcome = finalOutcome(line)) {
      reply.outcome = *outcome;
      reply.finalLine = std::string(line);
      return reply;
    }
    if (promptDue && isPrompt(line)) {
      reply.outcome = Outcome::Prompt;
      reply.finalLine = ">";
      return reply;
    }
    reply.lines.emplace_back(line);
  }
  // The prompt is the one answer that ends without a line end.
  if (promptDue && isPrompt(withoutSpacesAndCtrlZ(received.substr(start)))) {
    reply.outcome = Outcome::Prompt;
    reply.finalLine = ">";
  }
  return reply;
}

std::string describeModemReply(const ModemReply& reply) {
  switch (reply.outcome) {
    case Outcome::LineLost:
      return "маяк отключён";
    case Outcome::Stopped:
      return "остановлено";
    case Outcome::Pending:
    case Outcome::TimedOut:
      if (printable(reply.received).empty()) return "модем не ответил";
      return "модем ответил «" + printable(reply.received) + "» без итогового кода";
    default:
      break;
  }
  std::string text;
  for (const std::string& line : reply.lines) text += printable(line) + " ";
  return "модем ответил «" + text + reply.finalLine + "»";
}

}  // namespace orsa::service
