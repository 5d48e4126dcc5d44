// orsa-beacon-sim: the simulated beacon as a process of its own. Prints the port path first, then
// serves until SIGINT or SIGTERM.
#include "orsa/Version.h"
#include "sim/MtkGnssModule.h"
#include "sim/NmeaCapture.h"
#include "sim/ReplayBeacon.h"
#include "sim/SessionReplay.h"
#include "sim/SimOptions.h"
#include "sim/SimulatedBeacon.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <limits.h>
#include <pthread.h>
#include <string>
#include <string_view>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string hexLine(const orsa::sim::FrameRecord& frame, std::chrono::steady_clock::time_point started) {
  const double seconds = std::chrono::duration<double>(frame.receivedAt - started).count();
  char head[96];
  std::snprintf(head, sizeof head, "[%10.3f] type %u parameter 0x%08X length %zu:", seconds,
                static_cast<unsigned>(frame.type), frame.parameter, frame.data.size());
  std::string line = head;
  line.reserve(line.size() + frame.data.size() * 3 + 1);
  for (const std::uint8_t byte : frame.data) {
    char text[4];
    std::snprintf(text, sizeof text, " %02X", static_cast<unsigned>(byte));
    line += text;
  }
  line += '\n';
  return line;
}

// A symbolic link to the port; removed at exit if it still points there.
class PortLink {
 public:
  PortLink(std::string path, const std::string& target) : path_(std::move(path)), target_(target) {
    struct stat st {};
    if (::lstat(path_.c_str(), &st) == 0) {
      if (!S_ISLNK(st.st_mode)) {
        throw std::runtime_error(path_ + " exists and is not a symbolic link");
      }
      ::unlink(path_.c_str());  // a link left behind by an earlier run
    }
    if (::symlink(target_.c_str(), path_.c_str()) != 0) {
      throw std::runtime_error("cannot create the link " + path_ + ": " + std::strerror(errno));
    }
  }
  ~PortLink() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink(path_.c_str(), buffer, sizeof buffer);
    if (n >= 0 && std::string(buffer, static_cast<std::size_t>(n)) == target_) {
      ::unlink(path_.c_str());
    }
  }
  PortLink(const PortLink&) = delete;
  PortLink& operator=(const PortLink&) = delete;

 private:
  std::string path_;
  std::string target_;
};

// Announces the port (and links it when asked), then serves until a stop signal.
int serveUntilStopped(const std::string& portPath, const orsa::sim::SimOptions& options, const sigset_t& stopSignals) {
  std::optional<PortLink> link;
  if (!options.linkPath.empty()) {
    link.emplace(options.linkPath, portPath);
  }
  std::cout << portPath << std::endl;
  int signal = 0;
  if (::sigwait(&stopSignals, &signal) != 0) {
    std::cerr << "orsa-beacon-sim: cannot wait for signals\n";
    return 1;
  }
  return 0;
}

// Serves a recorded session until a stop signal; a recording that cannot be read is a usage error.
int replay(const orsa::sim::SimOptions& options, const sigset_t& stopSignals) {
  std::vector<orsa::sim::RecordedExchange> exchanges;
  try {
    exchanges = orsa::sim::readRecording(options.replayPath);
  } catch (const std::exception& e) {
    std::cerr << "orsa-beacon-sim: " << options.replayPath << ": " << e.what() << '\n';
    return 2;
  }
  try {
    orsa::sim::ReplayBeacon beacon(std::move(exchanges), [](const std::string& text) {
      const std::string line = "orsa-beacon-sim: replay: " + text + '\n';
      std::fwrite(line.data(), 1, line.size(), stderr);
    });
    return serveUntilStopped(beacon.portPath(), options, stopSignals);
  } catch (const std::exception& e) {
    std::cerr << "orsa-beacon-sim: " << e.what() << '\n';
    return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  auto parsed = orsa::sim::parseSimOptions(args);
  if (!parsed.options) {
    std::cerr << "orsa-beacon-sim: " << parsed.error << "\nTry 'orsa-beacon-sim --help'.\n";
    return 2;
  }
  const orsa::sim::SimOptions& options = *parsed.options;
  if (options.help) {
    std::cout << orsa::sim::simUsage();
    return 0;
  }
  if (options.version) {
    std::cout << "orsa-beacon-sim " << orsa::kVersion << '\n';
    return 0;
  }

  // Block the stop signals before any thread starts, so that only sigwait below receives them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  if (::pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr) != 0) {
    std::cerr << "orsa-beacon-sim: cannot block signals\n";
    return 1;
  }

  if (!options.replayPath.empty()) {
    return replay(options, stopSignals);
  }

  try {
    orsa::sim::SimulatedBeacon beacon(options.faults);
    if (!options.nmeaPath.empty()) {
      beacon.setGnssModel(
          std::make_unique<orsa::sim::MtkGnssModule>(orsa::sim::NmeaCapture::fromFile(options.nmeaPath)));
    }
    if (options.trace) {
      const auto started = std::chrono::steady_clock::now();
      beacon.setFrameObserver([started](const orsa::sim::FrameRecord& frame) {
        const std::string line = hexLine(frame, started);
        std::fwrite(line.data(), 1, line.size(), stderr);
      });
    }
    return serveUntilStopped(beacon.portPath(), options, stopSignals);
  } catch (const std::exception& e) {
    std::cerr << "orsa-beacon-sim: " << e.what() << '\n';
    return 1;
  }
}
