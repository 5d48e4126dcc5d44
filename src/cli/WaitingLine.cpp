#include "cli/WaitingLine.h"

#include <cstdio>
#include <set>
#include <memory>
#include <optional>
#include <ostream>
#include <thread>

#include "cli/ExitCode.h"
#include "cli/ResultLog.h"
#include "cli/StopRequest.h"

namespace orsa::cli {

namespace {

using namespace std::chrono_literals;

// How long one look at the watcher may take before the waiting thread asks whether to go on.
constexpr auto kWatchSlice = 1s;

// The watcher's next event, waited for on a thread of its own so that Ctrl-C can end the wait.
// Nothing when Ctrl-C came or the watcher has ended.
std::optional<link::PortEvent> nextEvent(link::PortWatcher& watcher) {
  StopRequest stopRequest;  // made before the thread, which inherits the blocked signals
  std::optional<link::PortEvent> event;
  {
    std::jthread waiter([&](const std::stop_token& token) {
      while (!event && !token.stop_requested() && !watcher.stopped()) event = watcher.next(kWatchSlice);
      stopRequest.finish();
    });
    if (stopRequest.wait(std::nullopt)) watcher.stop();
  }
  return event;
}

std::string orDash(const std::string& text) { return text.empty() ? "—" : text; }

std::string secondsText(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f с", seconds);
  return text;
}

}  // namespace

int runWaitingLine(const WaitOptions& options, const CommandRun& run, link::PortWatcher& watcher, std::ostream& out,
                   std::ostream& err, bool interactive) {
  // Held for the whole line: Ctrl-C while a beacon is worked on goes to that work's own stop, which
  // finishes the slot or block on the wire, instead of ending the program.
  const StopRequest signalsHeld;
  std::unique_ptr<ResultLog> log;
  if (!options.logPath.empty()) {
    std::string error;
    log = ResultLog::open(options.logPath, error);
    if (!log) {
      err << "orsactl: " << error << '\n';
      return kExitFailed;
    }
  }

  std::set<std::string> finished;  // ports worked on whose beacon is not yet pulled out
  int beacons = 0;
  int failures = 0;
  bool cutShort = false;
  err << "Ожидание маяка: подключите его (Ctrl+C — конец работы)\n";
  for (;;) {
    const auto event = nextEvent(watcher);
    if (!event) break;
    const std::string& port = event->port.portName;
    if (event->kind == link::PortEvent::Kind::Disappeared) {
      if (finished.erase(port) > 0) err << port << ": маяк отключён, подключите следующий\n";
      continue;
    }
    if (finished.contains(port)) continue;

    LineOptions line = options.line;
    line.ports = {port};
    const auto runs = runPorts(line, run, err, interactive);
    const PortRun& done = *runs.front();
    const std::string serial = event->port.usb.serialNumber;
    const std::string result = resultOf(done, line);
    const std::string time = localTimeText();
    ++beacons;
    if (done.status != kExitSuccess) ++failures;
    out << time << "  " << port << "  " << orDash(serial) << "  IMEI " << orDash(done.imei) << "  " << result << "  "
        << secondsText(done.seconds) << '\n'
        << std::flush;
    if (interactive) err << '\a' << std::flush;
    finished.insert(port);
    if (log) {
      std::string error;
      if (!log->append({time, port, serial, done.imei, options.operation, done.status, result, done.seconds}, error)) {
        err << "orsactl: " << error << '\n';
        return kExitFailed;  // a line whose record is lost stops rather than goes on unrecorded
      }
    }
    if (done.status == kExitStopped) {
      cutShort = true;
      break;
    }
    err << port << ": отключите маяк\n";
  }
  out << "Итого: маяков " << beacons << ", успешно " << beacons - failures << ", с ошибкой " << failures << '\n';
  if (cutShort) return kExitStopped;
  return failures > 0 ? kExitFailed : kExitSuccess;
}

}  // namespace orsa::cli
