// orsactl --record against the simulated beacon, then orsa-beacon-sim --replay of that file: the tool
// cannot tell the recording from the beacon.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/Orsactl.h"
#include "sim/SimulatedBeacon.h"
#include "support/FakePortMap.h"
#include "support/ToolRun.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace orsa::cli {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

using orsa::testing::fileContents;
using orsa::testing::ToolRun;

// The automatic choice finds `port`, so the output does not name it and runs on two ports compare.
ToolRun orsactl(const std::vector<std::string>& args, const std::string& port) {
  std::ostringstream out, err;
  const int status = runOrsactl(
      args, out, err,
      std::make_unique<orsa::testing::FakePortMap>(std::vector<link::SerialPortMap::Entry>{{"ttyACM cdc_acm", port}}));
  return {status, out.str(), err.str()};
}

// orsa-beacon-sim replaying `recording`.
class Replay {
 public:
  explicit Replay(const std::string& recording) : sim_(ORSA_BEACON_SIM_EXE, {"--replay", recording}) {}
  // The port it serves, from its first line; empty when it ended instead.
  std::string port() { return sim_.readLine(10s); }
  // Stops it, when still running, and gives its exit status and standard error.
  std::pair<int, std::string> finish() {
    sim_.signal(SIGTERM);
    const int status = sim_.waitForExit(10s);
    return {status, sim_.errorOutput()};
  }

 private:
  orsa::testing::ChildProcess sim_;
};

class SessionReplay : public ::testing::Test {
 protected:
  std::string path(const std::string& name) const { return (dir / name).string(); }

  // The command against the simulated beacon, recorded, then against the replay of the recording.
  void expectSameRunFromTheReplay(const std::vector<std::string>& command) {
    const std::string recording = path("session.jsonl");
    std::vector<std::string> recorded = {"--record", recording};
    recorded.insert(recorded.end(), command.begin(), command.end());
    const ToolRun live = orsactl(recorded, beacon.portPath());
    ASSERT_EQ(live.status, 0) << live.err;

    Replay replay(recording);
    const std::string port = replay.port();
    ASSERT_FALSE(port.empty());
    const ToolRun replayed = orsactl(command, port);
    EXPECT_EQ(replayed.status, live.status);
    EXPECT_EQ(replayed.out, live.out);
    EXPECT_EQ(replayed.err, live.err);
    const auto [status, errors] = replay.finish();
    EXPECT_EQ(status, 0);
    EXPECT_EQ(errors, "") << "the replay followed the recording to the end";
  }

  sim::SimulatedBeacon beacon;
  orsa::testing::TempDir dir{"session-replay-test-"};
};

TEST_F(SessionReplay, ReadAndFirmwareRunTheSameFromTheRecording) {
  beacon.setSettingsCell(0x08080460, "+79161234567");
  expectSameRunFromTheReplay({"read"});
  const std::string recording = fileContents(path("session.jsonl"));
  EXPECT_EQ(recording.rfind("{\"orsa_session\":1,\"program\":\"orsactl\",\"version\":\"", 0), 0u) << recording;
  EXPECT_NE(recording.find("\"port\":\"auto\""), std::string::npos);
  EXPECT_NE(recording.find("{\"t_ms\":"), std::string::npos);
  EXPECT_NE(recording.find(",\"sent\":\"01"), std::string::npos) << recording;
  EXPECT_NE(recording.find(",\"received\":\""), std::string::npos) << recording;

  const std::string image = path("update.fmw");
  std::ofstream(image, std::ios::binary) << std::string(15, 'H') << std::string(3000, 'P');
  expectSameRunFromTheReplay({"firmware", image});
}

TEST_F(SessionReplay, AFrameTheRecordingDoesNotHaveNextIsLeftUnansweredAndReported) {
  const std::string recording = path("session.jsonl");
  ASSERT_EQ(orsactl({"--record", recording, "raw", "3", "0", "--expect", "1"}, beacon.portPath()).status, 0);
  Replay replay(recording);
  const std::string port = replay.port();
  ASSERT_FALSE(port.empty());
  const ToolRun other = orsactl({"raw", "4", "0", "--expect", "1", "--timeout", "300"}, port);
  EXPECT_EQ(other.status, 1) << other.err;
  EXPECT_EQ(orsactl({"raw", "3", "0", "--expect", "1"}, port).status, 0) << "the replay waits on for its frame";
  const auto [status, errors] = replay.finish();
  EXPECT_EQ(errors,
            "orsa-beacon-sim: replay: no answer to 04 00 00 00 00 00 00 00 00 (9 bytes): the recording expects "
            "03 00 00 00 00 00 00 00 00 (9 bytes) next (line 2)\n");
}

TEST_F(SessionReplay, BadRecordingsAndUnwritableFilesAreUsageErrors) {
  const std::string bad = path("bad.jsonl");
  std::ofstream(bad) << "{\"orsa_session\":1,\"program\":\"orsactl\"}\n{\"t_ms\":1,\"sent\":\"0300\"}\n"
                     << "{\"t_ms\":2,\"received\":\"0g\"}\n";
  Replay replay(bad);
  EXPECT_TRUE(replay.port().empty());
  const auto [status, errors] = replay.finish();
  EXPECT_EQ(status, 2);
  EXPECT_NE(errors.find("line 3: "), std::string::npos) << errors;

  const ToolRun unwritable = orsactl({"--record", path("no/such/folder/session.jsonl"), "read"}, beacon.portPath());
  EXPECT_EQ(unwritable.status, 2);
  EXPECT_NE(unwritable.err.find("cannot create the recording"), std::string::npos) << unwritable.err;
  EXPECT_TRUE(beacon.trace().empty());
}

}  // namespace
}  // namespace orsa::cli
