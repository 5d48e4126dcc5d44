#include <CLI/CLI.hpp>

#include <chrono>
#include <ctime>
#include <memory>
#include <optional>
#include <ostream>
#include <system_error>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/NmeaPty.h"
#include "cli/NumberOption.h"
#include "cli/StopRequest.h"
#include "firmware/NmeaDecoder.h"
#include "firmware/ShowNMEAThread.h"

namespace orsa::cli {

CommandRun defineNmea(CLI::App& app) {
  struct Options {
    std::uint32_t seconds = 0;
    bool decode = false;
    std::string ptyPath;
  };
  auto options = std::make_shared<Options>();
  CLI::Option* seconds = app.add_option("--seconds", options->seconds, "stop after N seconds instead of at Ctrl-C")
                             ->transform(numberUpTo(365 * 24 * 3600))
                             ->option_text("N");
  app.add_flag("--decode", options->decode, "print the receiver's status once a second instead of the stream");
  CLI::Option* ptyOption =
      app.add_option("--pty", options->ptyPath, "serve the stream on a pseudo-terminal linked at PATH (for gpsd)")
          ->option_text("PATH");
  return [options, seconds, ptyOption](CliContext& context) -> int {
    std::optional<std::chrono::seconds> limit;
    if (seconds->count() > 0) limit = std::chrono::seconds(options->seconds);
    const bool decode = options->decode;

    std::unique_ptr<NmeaPty> pty;
    if (ptyOption->count() > 0) {
      try {
        pty = std::make_unique<NmeaPty>(options->ptyPath);
      } catch (const std::system_error& error) {
        context.err << "--pty " << options->ptyPath << ": " << error.code().message() << '\n';
        return kExitFailed;
      }
      context.err << "NMEA поток: " << options->ptyPath << " -> " << pty->devicePath() << '\n';
    }

    StopRequest stopRequest;  // before the relay's threads exist, so they inherit the blocked signals
    firmware::NmeaDecoder decoder;
    bool notConnected = false;
    firmware::ShowNMEAThread::Callbacks callbacks;
    callbacks.drain = [&](std::string_view stream) {
      if (pty) pty->write(stream);
      if (decode) {
        decoder.feed(stream);
        context.out << firmware::statusLine(decoder.status()) << std::endl;
      } else if (!pty) {
        context.out << stream << std::flush;
      }
    };
    callbacks.showResult = [&](const firmware::ShowNMEAThread&) { notConnected = true; };
    firmware::ShowNMEAThread relay(context.deviceLink(), callbacks);
    if (!relay.start()) return context.failed(relay.refusalMessage());
    // Until Ctrl-C, the time limit, or the relay ending by itself (the beacon went away).
    constexpr std::chrono::seconds kLook{1};
    for (std::chrono::seconds waited{0}; !limit || waited < *limit; waited += kLook) {
      if (stopRequest.wait(kLook) || relay.finished()) break;
    }
    relay.stopAndJoin();
    if (notConnected) return context.failed(link::kNotConnectedMessage);
    return kExitSuccess;
  };
}

}  // namespace orsa::cli
