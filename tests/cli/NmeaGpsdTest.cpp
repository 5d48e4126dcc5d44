#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <map>
#include <regex>
#include <sstream>
#include <thread>

#include "cli/Orsactl.h"
#include "sim/SimulatedBeacon.h"
#include "support/FakePortMap.h"
#include "support/TempDir.h"

extern char** environ;

namespace orsa::cli {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct Position {
  double latitude;
  double longitude;
};

// A port nobody listens on right now, for gpsd to take.
int freePort() {
  const int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(s);
  return ntohs(address.sin_port);
}

// gpsd reading the module's stream from `device`, stopped when the object goes.
class Gpsd {
 public:
  Gpsd(const std::string& program, const std::string& device, int port) {
    const std::string portText = std::to_string(port);
    // -b: read-only, so gpsd never probes or reconfigures what it takes for a receiver.
    std::vector<std::string> words{program, "-N", "-n", "-b", "-S", portText, device};
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    if (::posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) pid_ = -1;
  }
  ~Gpsd() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
  bool running() const { return pid_ > 0; }

 private:
  pid_t pid_ = -1;
};

// The fixes gpsd reports over its JSON protocol within `span`, by UTC time of day.
std::map<std::string, Position> gpsdFixes(int port, std::chrono::seconds span) {
  std::map<std::string, Position> fixes;
  const auto until = Clock::now() + span;
  int s = -1;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  while (Clock::now() < until) {  // gpsd takes a moment to listen
    s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) break;
    ::close(s);
    s = -1;
    std::this_thread::sleep_for(50ms);
  }
  if (s < 0) return fixes;
  const std::string watch = "?WATCH={\"enable\":true,\"json\":true};\n";
  ::send(s, watch.data(), watch.size(), 0);
  timeval slice{0, 200'000};
  ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &slice, sizeof slice);
  std::string received;
  char chunk[4096];
  while (Clock::now() < until) {
    const ssize_t n = ::recv(s, chunk, sizeof chunk, 0);
    if (n == 0) break;
    if (n > 0) received.append(chunk, static_cast<std::size_t>(n));
  }
  ::close(s);
  static const std::regex tpv(
      R"(\{"class":"TPV"[^\n]*"mode":[23][^\n]*"time":"[0-9-]+T([0-9:]{8})[^\n]*"lat":(-?[0-9.]+),"lon":(-?[0-9.]+))");
  for (std::sregex_iterator it(received.begin(), received.end(), tpv), end; it != end; ++it) {
    fixes[(*it)[1]] = {std::stod((*it)[2]), std::stod((*it)[3])};
  }
  return fixes;
}

// The positions our decoder printed, one status line an epoch, by UTC time of day.
std::map<std::string, Position> decodedFixes(const std::string& lines) {
  std::map<std::string, Position> fixes;
  static const std::regex status(R"(([0-9.]+)° ([NS]) ([0-9.]+)° ([EW]) \|[^\n]* UTC ([0-9:]{8}))");
  for (std::sregex_iterator it(lines.begin(), lines.end(), status), end; it != end; ++it) {
    const double latitude = std::stod((*it)[1]) * ((*it)[2] == "S" ? -1 : 1);
    const double longitude = std::stod((*it)[3]) * ((*it)[4] == "W" ? -1 : 1);
    fixes[(*it)[5]] = {latitude, longitude};
  }
  return fixes;
}

std::string findGpsd() {
  for (const char* candidate : {"/usr/sbin/gpsd", "/usr/bin/gpsd", "/usr/local/sbin/gpsd"}) {
    if (::access(candidate, X_OK) == 0) return candidate;
  }
  return {};
}

int orsactl(const std::vector<std::string>& args, std::ostringstream& out) {
  std::ostringstream err;
  const int status = runOrsactl(args, out, err, std::make_unique<orsa::testing::FakePortMap>());
  EXPECT_EQ(err.str().find("Устройство не подключено"), std::string::npos) << err.str();
  return status;
}

// gpsd is the reference reader of NMEA: served through `orsactl nmea --pty`, the module's stream
// must give gpsd the positions our own decoder shows for the same seconds.
TEST(NmeaGpsd, GpsdAndOurDecoderAgreeOnThePositionOfEachSecond) {
  const std::string gpsd = findGpsd();
  if (gpsd.empty()) GTEST_SKIP() << "gpsd is not installed (scripts/install-deps.sh installs it)";
  sim::SimulatedBeacon beacon;
  const orsa::testing::TempDir dir("orsa-gnss-");
  const fs::path link = dir / "gnss";
  std::ostringstream ignored;
  ASSERT_EQ(orsactl({"--port", beacon.portPath(), "service", "gnss-on"}, ignored), 0);

  std::ostringstream statusLines;
  auto relay = std::async(std::launch::async, [&] {
    return orsactl({"--port", beacon.portPath(), "nmea", "--pty", link.string(), "--decode", "--seconds", "8"},
                   statusLines);
  });
  const auto linkDeadline = Clock::now() + 5s;
  while (!fs::is_symlink(link) && Clock::now() < linkDeadline) std::this_thread::sleep_for(20ms);
  ASSERT_TRUE(fs::is_symlink(link));

  const int port = freePort();
  std::map<std::string, Position> theirs;
  {
    Gpsd daemon(gpsd, link.string(), port);
    ASSERT_TRUE(daemon.running());
    theirs = gpsdFixes(port, 6s);
  }
  ASSERT_EQ(relay.get(), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(link))) << "the link goes with the relay";

  const std::map<std::string, Position> ours = decodedFixes(statusLines.str());
  ASSERT_FALSE(theirs.empty()) << "gpsd reported no fix";
  ASSERT_FALSE(ours.empty()) << statusLines.str();
  int compared = 0;
  for (const auto& [time, position] : theirs) {
    const auto it = ours.find(time);
    if (it == ours.end()) continue;
    ++compared;
    // Our line shows six decimals, about 0.1 m.
    EXPECT_NEAR(it->second.latitude, position.latitude, 1e-6) << time;
    EXPECT_NEAR(it->second.longitude, position.longitude, 1e-6) << time;
  }
  EXPECT_GE(compared, 2) << "gpsd and the decoder should share several seconds";
}

}  // namespace
}  // namespace orsa::cli
