#include "sim/FaultPlan.h"

#include <gtest/gtest.h>

namespace orsa::sim {
namespace {

using namespace std::chrono_literals;

TEST(FaultPlan, EmptyPlanChangesNothing) {
  const FaultPlan plan;
  EXPECT_TRUE(plan.empty());
  const auto fault = plan.faultFor(1, 1);
  EXPECT_FALSE(fault.drop);
  EXPECT_EQ(fault.delay, 0ms);
  std::uint32_t noise = 1;
  const std::vector<std::uint8_t> reply{1, 2, 3};
  EXPECT_EQ(applyReplyFault(reply, fault, noise), reply);
  EXPECT_EQ(plan.byteTime(), 0ns);
}

TEST(FaultPlan, RulesApplyToTheirFrameOnly) {
  FaultPlan plan;
  plan.dropReply(3, 2).delayReply(1, 1, 250ms).shortReply(1, 3, 4).garbageReply(2, 1).flood(8, 2, 100);
  EXPECT_FALSE(plan.empty());
  EXPECT_FALSE(plan.faultFor(3, 1).drop);
  EXPECT_TRUE(plan.faultFor(3, 2).drop);
  EXPECT_FALSE(plan.faultFor(4, 2).drop);
  EXPECT_EQ(plan.faultFor(1, 1).delay, 250ms);
  EXPECT_EQ(plan.faultFor(1, 2).delay, 0ms);
  EXPECT_EQ(plan.faultFor(1, 3).shortBytes, 4U);
  EXPECT_TRUE(plan.faultFor(2, 1).garbage);
  EXPECT_EQ(plan.faultFor(8, 2).floodBytes, 100U);
  EXPECT_FALSE(plan.faultFor(8, 1).floodBytes.has_value());
}

TEST(FaultPlan, EveryFrameRulesMergeWithNthRules) {
  FaultPlan plan;
  plan.delayReply(9, FaultPlan::everyFrame, 100).shortReply(9, 2, 1);
  EXPECT_EQ(plan.faultFor(9, 1).delay, 100ms);
  EXPECT_EQ(plan.faultFor(9, 7).delay, 100ms);
  const auto second = plan.faultFor(9, 2);
  EXPECT_EQ(second.delay, 100ms);
  EXPECT_EQ(second.shortBytes, 1U);
}

TEST(FaultPlan, HangUpAndThrottle) {
  FaultPlan plan;
  plan.hangUpAfter(5).throttle(9600);
  EXPECT_EQ(plan.hangUpAfterFrames(), 5U);
  EXPECT_EQ(plan.throttleBaud(), 9600U);
  EXPECT_EQ(plan.byteTime(), std::chrono::nanoseconds(1'041'666));
  plan.hangUpAfter(0).throttle(0);
  EXPECT_TRUE(plan.empty());
}

TEST(ApplyReplyFault, GarbageKeepsLengthAndChangesEveryByte) {
  FaultPlan::ReplyFault fault;
  fault.garbage = true;
  std::uint32_t noise = 42;
  std::vector<std::uint8_t> reply(256);
  for (std::size_t i = 0; i < reply.size(); ++i) {
    reply[i] = static_cast<std::uint8_t>(i);
  }
  const auto garbled = applyReplyFault(reply, fault, noise);
  ASSERT_EQ(garbled.size(), reply.size());
  for (std::size_t i = 0; i < reply.size(); ++i) {
    EXPECT_NE(garbled[i], reply[i]) << i;
    EXPECT_GE(garbled[i], 0x80) << i;
  }
}

TEST(ApplyReplyFault, ShortFloodAndDrop) {
  std::uint32_t noise = 7;
  const std::vector<std::uint8_t> reply{'O', 'K', '\r', '\n'};
  FaultPlan::ReplyFault shortFault;
  shortFault.shortBytes = 2;
  EXPECT_EQ(applyReplyFault(reply, shortFault, noise), (std::vector<std::uint8_t>{'O', 'K'}));
  shortFault.shortBytes = 10;
  EXPECT_EQ(applyReplyFault(reply, shortFault, noise), reply);

  FaultPlan::ReplyFault flood;
  flood.floodBytes = 1000;
  const auto flooded = applyReplyFault(reply, flood, noise);
  ASSERT_EQ(flooded.size(), 1000U);
  for (const auto byte : flooded) {
    EXPECT_GE(byte, 0x80);
  }
  FaultPlan::ReplyFault drop;
  drop.drop = true;
  drop.floodBytes = 10;
  EXPECT_TRUE(applyReplyFault(reply, drop, noise).empty());
}

}  // namespace
}  // namespace orsa::sim
