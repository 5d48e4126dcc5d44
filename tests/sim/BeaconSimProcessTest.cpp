// The orsa-beacon-sim executable: started as a child process, talked to over its pty.
#include "sim/PtyClient.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace orsa::sim {
namespace {

using namespace std::chrono_literals;
using orsa::testing::ChildProcess;
using test::bytesOf;
using test::PtyClient;
using test::textOf;
using Clock = std::chrono::steady_clock;

// orsa-beacon-sim with these options.
ChildProcess beaconSim(std::vector<std::string> args) { return ChildProcess(ORSA_BEACON_SIM_EXE, std::move(args)); }

TEST(BeaconSimProcess, PrintsThePortFirstServesAndExitsZeroOnSigterm) {
  auto sim = beaconSim({});
  const std::string port = sim.readLine(5s);
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
  auto sim = beaconSim({});
  ASSERT_FALSE(sim.readLine(5s).empty());
  sim.signal(SIGINT);
  EXPECT_EQ(sim.waitForExit(5s), 0);
}

TEST(BeaconSimProcess, LinkTraceAndFaults) {
  const orsa::testing::TempDir dir("orsa-sim-test-");
  const auto link = dir / "beacon";
  auto sim = beaconSim({"--link", link.string(), "--trace", "--drop", "3:1", "--short=1:1:4"});
  const std::string port = sim.readLine(5s);
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
}

TEST(BeaconSimProcess, ThrottleAndHangUpOptions) {
  auto sim = beaconSim({"--throttle", "9600", "--hangup-after", "2"});
  const std::string port = sim.readLine(5s);
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
    auto sim = beaconSim(args);
    EXPECT_EQ(sim.waitForExit(5s), 2) << args[0];
    EXPECT_TRUE(sim.standardOutput().empty()) << args[0];
    EXPECT_NE(sim.errorOutput().find("orsa-beacon-sim: "), std::string::npos) << args[0];
  }
}

TEST(BeaconSimProcess, HelpExitsZero) {
  auto sim = beaconSim({"--help"});
  EXPECT_EQ(sim.waitForExit(5s), 0);
  EXPECT_NE(sim.standardOutput().find("--hangup-after"), std::string::npos);
}

}  // namespace
}  // namespace orsa::sim
