// The orsa-beacon-sim executable: started as a child process, talked to over its pty.
#include "sim/PtyClient.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace orsa::sim {
namespace {

using namespace std::chrono_literals;
using test::bytesOf;
using test::PtyClient;
using test::textOf;
using Clock = std::chrono::steady_clock;

// A running orsa-beacon-sim with its standard output and error on pipes.
class SimProcess {
 public:
  explicit SimProcess(std::vector<std::string> args) {
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
      throw std::runtime_error("pipe");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    args.insert(args.begin(), ORSA_BEACON_SIM_EXE);
    std::vector<char*> argv;
    for (auto& arg : args) {
      argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const int rc = ::posix_spawn(&pid_, ORSA_BEACON_SIM_EXE, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    out_ = out[0];
    err_ = err[0];
    if (rc != 0) {
      throw std::runtime_error("posix_spawn failed");
    }
  }
  ~SimProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    ::close(out_);
    ::close(err_);
  }
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  // The first line of standard output, without its newline; empty when none came in time.
  std::string firstLine(std::chrono::milliseconds timeout) {
    std::string line;
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
      pollfd pfd{out_, POLLIN, 0};
      if (::poll(&pfd, 1, 50) <= 0) {
        continue;
      }
      char c = 0;
      if (::read(out_, &c, 1) != 1) {
        break;
      }
      if (c == '\n') {
        return line;
      }
      line += c;
    }
    return {};
  }

  // Waits for the exit; the exit status, or -1 when it did not exit normally in time.
  int waitForExit(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
      int status = 0;
      const pid_t done = ::waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(10ms);
    }
    return -1;
  }

  void signal(int sig) { ::kill(pid_, sig); }

  // Everything written to standard error so far (the process has exited or is idle).
  std::string errorOutput() { return drain(err_); }
  std::string standardOutput() { return drain(out_); }

 private:
  static std::string drain(int fd) {
    std::string text;
    pollfd pfd{fd, POLLIN, 0};
    while (::poll(&pfd, 1, 100) > 0) {
      char buffer[4096];
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n <= 0) {
        break;
      }
      text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
  }

  pid_t pid_ = -1;
  int out_ = -1;
  int err_ = -1;
};

TEST(BeaconSimProcess, PrintsThePortFirstServesAndExitsZeroOnSigterm) {
  SimProcess sim({});
  const std::string port = sim.firstLine(5s);
  ASSERT_EQ(port.rfind("/dev/pts/", 0), 0U) << port;
  {
    PtyClient client(port);
    ASSERT_TRUE(client.sendFrame(1, 0x08080480));
    EXPECT_EQ(textOf(client.read(32, 2s)), "5820");
    sim.signal(SIGTERM);  // with the client still attached
    EXPECT_EQ(sim.waitForExit(5s), 0);
    EXPECT_TRUE(client.waitForHangUp(1s));
  }
}

TEST(BeaconSimProcess, ExitsZeroOnSigint) {
  SimProcess sim({});
  ASSERT_FALSE(sim.firstLine(5s).empty());
  sim.signal(SIGINT);
  EXPECT_EQ(sim.waitForExit(5s), 0);
}

TEST(BeaconSimProcess, LinkTraceAndFaults) {
  const auto dir = std::filesystem::temp_directory_path() / ("orsa-sim-test-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const auto link = dir / "beacon";
  SimProcess sim({"--link", link.string(), "--trace", "--drop", "3:1", "--short=1:1:4"});
  const std::string port = sim.firstLine(5s);
  ASSERT_FALSE(port.empty());
  ASSERT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(std::filesystem::read_symlink(link).string(), port);
  {
    PtyClient client(link.string());
    ASSERT_TRUE(client.sendFrame(3, 0));
    EXPECT_TRUE(client.read(1, 300ms).empty());
    ASSERT_TRUE(client.sendFrame(3, 0));
    EXPECT_EQ(client.read(1, 2s).size(), 1U);
    ASSERT_TRUE(client.sendFrame(1, 0x08080620));
    EXPECT_EQ(client.read(32, 300ms), bytesOf("2300"));
    ASSERT_TRUE(client.sendFrame(8, 0, bytesOf("AT\r\n")));
    EXPECT_EQ(client.read(9, 2s), bytesOf("AT\r\r\nOK\r\n"));
  }
  sim.signal(SIGTERM);
  EXPECT_EQ(sim.waitForExit(5s), 0);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
  const std::string trace = sim.errorOutput();
  EXPECT_NE(trace.find("type 3 parameter 0x00000000 length 0"), std::string::npos) << trace;
  EXPECT_NE(trace.find("type 1 parameter 0x08080620 length 0"), std::string::npos) << trace;
  EXPECT_NE(trace.find("type 8 parameter 0x00000000 length 4: 41 54 0D 0A"), std::string::npos) << trace;
  std::filesystem::remove_all(dir);
}

TEST(BeaconSimProcess, ThrottleAndHangUpOptions) {
  SimProcess sim({"--throttle", "9600", "--hangup-after", "2"});
  const std::string port = sim.firstLine(5s);
  ASSERT_FALSE(port.empty());
  PtyClient client(port);
  ASSERT_TRUE(client.sendFrame(1, 0x08080480));
  const auto start = Clock::now();
  EXPECT_EQ(client.read(32, 2s).size(), 32U);
  EXPECT_GE(Clock::now() - start, 30ms);  // 41 bytes on the line at 9600 baud
  ASSERT_TRUE(client.sendFrame(3, 0));
  EXPECT_TRUE(client.waitForHangUp(2s));
  sim.signal(SIGTERM);
  EXPECT_EQ(sim.waitForExit(5s), 0);
}

TEST(BeaconSimProcess, BadOptionsExitTwoWithAMessage) {
  for (const auto& args : std::vector<std::vector<std::string>>{{"--drop", "x"}, {"--nonsense"}, {"--throttle"}}) {
    SimProcess sim(args);
    EXPECT_EQ(sim.waitForExit(5s), 2) << args[0];
    EXPECT_TRUE(sim.standardOutput().empty()) << args[0];
    EXPECT_NE(sim.errorOutput().find("orsa-beacon-sim: "), std::string::npos) << args[0];
  }
}

TEST(BeaconSimProcess, HelpExitsZero) {
  SimProcess sim({"--help"});
  EXPECT_EQ(sim.waitForExit(5s), 0);
  EXPECT_NE(sim.standardOutput().find("--hangup-after"), std::string::npos);
}

}  // namespace
}  // namespace orsa::sim
