#include "cli/CliContext.h"

#include <cstdio>
#include <iostream>

#include "cli/ExitCode.h"
#include "cli/Terminal.h"
#include "link/SerialPortMap.h"

namespace orsa::cli {

CliContext::CliContext(GlobalOptions options, std::ostream& outStream, std::ostream& errStream,
                       std::unique_ptr<link::SerialPortMap> portMap, bool interactive)
    : out(outStream),
      err(errStream),
      host(options.port ? link::PortChoice{false, *options.port} : link::PortChoice{}),
      options_(options),
      portMap_(portMap ? std::move(portMap) : link::makeSystemSerialPortMap()),
      interactive_(interactive || (&errStream == &std::cerr && standardErrorIsTerminal())) {
  link::SerialChannel::TraceSink sink;
  if (options.trace) {
    sink = [this](link::SerialChannel::Direction direction, std::span<const std::uint8_t> bytes) {
      err << (direction == link::SerialChannel::Direction::Sent ? "-> " : "<- ") << hexBytes(bytes.data(), bytes.size())
          << '\n';
    };
  }
  if (options.recorder) sink = options.recorder->sink(std::move(sink));
  if (sink) channel.setTraceSink(std::move(sink));
}

void CliContext::reportNotConnected() {
  err << "orsactl: " << link::kNotConnectedMessage;
  if (const std::string reason = channel.lastError(); !reason.empty()) err << ": " << reason;
  err << '\n';
}

int CliContext::failed(const std::string& message) {
  if (message == link::kNotConnectedMessage) {
    reportNotConnected();
    return kExitNotConnected;
  }
  err << "orsactl: " << message << '\n';
  return kExitFailed;
}

std::string hexBytes(const std::uint8_t* bytes, std::size_t count) {
  std::string text;
  text.reserve(count * 3);
  char digits[4];
  for (std::size_t i = 0; i < count; ++i) {
    std::snprintf(digits, sizeof digits, i == 0 ? "%02x" : " %02x", bytes[i]);
    text += digits;
  }
  return text;
}

}  // namespace orsa::cli
