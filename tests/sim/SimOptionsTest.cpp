#include "sim/SimOptions.h"

#include <gtest/gtest.h>

namespace orsa::sim {
namespace {

using namespace std::chrono_literals;

SimOptionsResult parse(std::vector<std::string_view> args) { return parseSimOptions(args); }

TEST(SimOptions, NoArgumentsServeWithoutFaults) {
  const auto result = parse({});
  ASSERT_TRUE(result.options);
  EXPECT_TRUE(result.options->faults.empty());
  EXPECT_TRUE(result.options->linkPath.empty());
  EXPECT_FALSE(result.options->trace);
  EXPECT_FALSE(result.options->help);
}

TEST(SimOptions, EveryOptionReachesThePlan) {
  const auto result = parse({"--link",
                             "/tmp/beacon",
                             "--throttle",
                             "9600",
                             "--drop",
                             "1:3",
                             "--delay",
                             "2:1:1500",
                             "--short=3:2:0",
                             "--garbage",
                             "8:0",
                             "--flood",
                             "9:4:300",
                             "--hangup-after",
                             "12",
                             "--trace",
                             "--modem-stays-off",
                             "--modem-no-prompt",
                             "--modem-no-write-ok",
                             "--modem-drive-size=0",
                             "--modem-no-sim",
                             "--modem-no-network",
                             "--modem-refuses-sms",
                             "--modem-call-busy",
                             "--modem-lacks",
                             "+cbc,I",
                             "--modem-lacks=+CCID",
                             "--nmea=/tmp/capture.log",
                             "--gnss-silent-from",
                             "packet-size",
                             "--gnss-sync-from=3",
                             "--gnss-unacked-packet",
                             "2",
                             "--gnss-reject-packet-always=4"});
  ASSERT_TRUE(result.options) << result.error;
  const auto& o = *result.options;
  EXPECT_EQ(o.linkPath, "/tmp/beacon");
  EXPECT_TRUE(o.trace);
  EXPECT_EQ(o.faults.throttleBaud(), 9600U);
  EXPECT_EQ(o.faults.hangUpAfterFrames(), 12U);
  EXPECT_TRUE(o.faults.faultFor(1, 3).drop);
  EXPECT_FALSE(o.faults.faultFor(1, 2).drop);
  EXPECT_EQ(o.faults.faultFor(2, 1).delay, 1500ms);
  EXPECT_EQ(o.faults.faultFor(3, 2).shortBytes, 0U);
  EXPECT_TRUE(o.faults.faultFor(8, 1).garbage);
  EXPECT_TRUE(o.faults.faultFor(8, 99).garbage);
  EXPECT_EQ(o.faults.faultFor(9, 4).floodBytes, 300U);
  const ModemFaults& modem = o.faults.modemFaults();
  EXPECT_TRUE(modem.staysOff);
  EXPECT_TRUE(modem.noPrompt);
  EXPECT_TRUE(modem.noWriteConfirmation);
  EXPECT_EQ(modem.driveSize, 0U);
  EXPECT_TRUE(modem.simAbsent);
  EXPECT_TRUE(modem.noNetwork);
  EXPECT_TRUE(modem.refusesSms);
  EXPECT_TRUE(modem.callBusy);
  EXPECT_EQ(modem.lacks, (std::set<std::string>{"+CBC", "+CCID", "I"}));
  EXPECT_EQ(o.nmeaPath, "/tmp/capture.log");
  EXPECT_EQ(o.faults.gnssFaults(), (GnssFaults{GnssStage::PacketSize, 3, 2, 4, true}));
}

TEST(SimOptions, Help) {
  const auto result = parse({"--help"});
  ASSERT_TRUE(result.options);
  EXPECT_TRUE(result.options->help);
  EXPECT_NE(simUsage().find("--hangup-after N"), std::string::npos);
}

TEST(SimOptions, BadCommandLinesAreRefusedWithAReason) {
  const std::vector<std::vector<std::string_view>> bad{
      {"--bogus"},
      {"--drop"},
      {"--drop", "1"},
      {"--drop", "1:2:3"},
      {"--drop", "256:1"},
      {"--drop", "x:1"},
      {"--delay", "1:1"},
      {"--delay", "1:1:-5"},
      {"--short", "1:1:"},
      {"--flood", "1:1"},
      {"--throttle", "0"},
      {"--throttle", "fast"},
      {"--hangup-after", "0"},
      {"--link", ""},
      {"--trace=yes"},
      {"positional"},
      {"--modem-drive-size"},
      {"--modem-drive-size", "-1"},
      {"--modem-drive-size", "8k"},
      {"--modem-no-prompt=yes"},
      {"--modem-no-sim=yes"},
      {"--modem-lacks"},
      {"--modem-lacks", ""},
      {"--modem-lacks", "CBC"},
      {"--modem-lacks", "+CBC,"},
      {"--modem-lacks", "+C-BC"},
      {"--modem-lacks", "AT+CBC"},
  };
  for (const auto& args : bad) {
    const auto result = parse(args);
    EXPECT_FALSE(result.options) << args[0];
    EXPECT_FALSE(result.error.empty()) << args[0];
  }
}

}  // namespace
}  // namespace orsa::sim
