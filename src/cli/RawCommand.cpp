#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "link/Worker.h"
#include "settings/Cp1251.h"

namespace orsa::cli {

namespace {

std::vector<std::uint8_t> parseHex(const std::string& text) {
  std::string digits;
  for (char c : text) {
    if (c == ' ' || c == ':' || c == '-') continue;
    if (!std::isxdigit(static_cast<unsigned char>(c)))
      throw UsageError("HEXDATA holds a non-hex character '" + std::string(1, c) + "'");
    digits += c;
  }
  if (digits.size() % 2) throw UsageError("HEXDATA needs an even number of hex digits");
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    bytes.push_back(static_cast<std::uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

// The reply as a person reads it: Windows-1251 text, control bytes as escapes.
std::string readableText(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  for (std::uint8_t b : bytes) {
    if (b == '\r')
      text += "\\r";
    else if (b == '\n')
      text += "\\n";
    else if (b < 0x20 || b == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02x", b);
      text += escape;
    } else {
      text += settings::Cp1251::toUtf8(std::string(1, static_cast<char>(b)));
    }
  }
  return text;
}

// One frame out, one wait: the same shape as every exchange, run on a worker like the rest.
class RawExchange final : public link::Worker {
 public:
  RawExchange(link::DeviceLink link, std::uint8_t type, std::uint32_t parameter, std::vector<std::uint8_t> data,
              std::uint32_t expect, std::int32_t timeoutMs)
      : Worker(link, "обмен с устройством"),
        type_(type),
        parameter_(parameter),
        data_(std::move(data)),
        expect_(expect),
        timeoutMs_(timeoutMs) {}
  ~RawExchange() override { stopAndJoin(); }

  bool connected = false;
  bool answered = false;
  std::vector<std::uint8_t> reply;

 protected:
  void run() override {
    connected = connectDevice();
    if (!connected) return;
    sendCommand(type_, parameter_, static_cast<std::uint32_t>(data_.size()), data_.data());
    answered = waitForBytes(expect_, timeoutMs_);
    reply = channel().receivedBytes();
    closeChannel();
  }

 private:
  std::uint8_t type_;
  std::uint32_t parameter_;
  std::vector<std::uint8_t> data_;
  std::uint32_t expect_;
  std::int32_t timeoutMs_;
};

}  // namespace

int runRaw(CliContext& context, Arguments& arguments) {
  const auto expect =
      static_cast<std::uint32_t>(parseNumber(arguments.option("--expect").value_or("0"), "--expect", 4095));
  const auto timeout =
      static_cast<std::int32_t>(parseNumber(arguments.option("--timeout").value_or("4000"), "--timeout", 1000000));
  const auto words = arguments.positionals();
  if (words.size() < 2 || words.size() > 3) throw UsageError("raw needs TYPE and PARAM, and optionally HEXDATA");
  const auto type = static_cast<std::uint8_t>(parseNumber(words[0], "TYPE", 255));
  const auto parameter = static_cast<std::uint32_t>(parseNumber(words[1], "PARAM", 0xFFFFFFFF));
  auto data = words.size() == 3 ? parseHex(words[2]) : std::vector<std::uint8_t>{};
  if (data.size() > link::CommandFrame::kMaxDataLength) throw UsageError("HEXDATA is longer than 2500 bytes");

  RawExchange exchange(context.deviceLink(), type, parameter, std::move(data), expect, timeout);
  if (!exchange.start()) {
    context.err << exchange.refusalMessage() << '\n';
    return kExitFailed;
  }
  exchange.join();
  if (!exchange.connected) {
    context.reportNotConnected();
    return kExitNotConnected;
  }
  context.out << "reply (" << exchange.reply.size()
              << " bytes): " << hexBytes(exchange.reply.data(), exchange.reply.size())
              << "\ntext: " << readableText(exchange.reply) << '\n';
  if (!exchange.answered) {
    context.err << "no reply of " << expect << " bytes within " << timeout << " ms\n";
    return kExitFailed;
  }
  return kExitSuccess;
}

}  // namespace orsa::cli
