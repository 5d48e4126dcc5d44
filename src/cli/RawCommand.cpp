#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/NumberOption.h"
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

CommandRun defineRaw(CLI::App& app) {
  struct Options {
    std::uint32_t type = 0;
    std::uint32_t parameter = 0;
    std::string hexData;
    std::uint32_t expect = 0;
    std::int32_t timeoutMs = 4000;
  };
  auto options = std::make_shared<Options>();
  app.add_option("TYPE", options->type, "the command type, 0..255 (decimal or 0x hex)")
      ->required()
      ->transform(numberUpTo(255));
  app.add_option("PARAM", options->parameter, "the frame's parameter, e.g. a settings cell's address")
      ->required()
      ->transform(numberUpTo(0xFFFFFFFF));
  app.add_option("HEXDATA", options->hexData, "the data bytes in hex; spaces, ':' and '-' between them are ignored");
  app.add_option("--expect", options->expect, "wait for a reply of N bytes (0..4095, default 0)")
      ->transform(numberUpTo(4095))
      ->option_text("N");
  app.add_option("--timeout", options->timeoutMs, "how long to wait for it (0..1000000, default 4000)")
      ->transform(numberUpTo(1000000))
      ->option_text("MS");
  return [options](CliContext& context) -> int {
    auto data = parseHex(options->hexData);
    if (data.size() > link::CommandFrame::kMaxDataLength) throw UsageError("HEXDATA is longer than 2500 bytes");

    const auto expect = options->expect;
    const auto timeout = options->timeoutMs;
    RawExchange exchange(context.deviceLink(), static_cast<std::uint8_t>(options->type), options->parameter,
                         std::move(data), expect, timeout);
    if (!exchange.start()) return context.failed(exchange.refusalMessage());
    exchange.join();
    if (!exchange.connected) return context.failed(link::kNotConnectedMessage);
    context.out << "reply (" << exchange.reply.size()
                << " bytes): " << hexBytes(exchange.reply.data(), exchange.reply.size())
                << "\ntext: " << readableText(exchange.reply) << '\n';
    if (!exchange.answered) {
      context.err << "orsactl: no reply of " << expect << " bytes within " << timeout << " ms\n";
      return kExitFailed;
    }
    return kExitSuccess;
  };
}

}  // namespace orsa::cli
