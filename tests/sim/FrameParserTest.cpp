#include "sim/FrameParser.h"
#include "sim/PtyClient.h"

#include <gtest/gtest.h>

namespace orsa::sim {
namespace {

using test::bytesOf;
using test::frameBytes;

TEST(FrameParser, ParsesAFrameWithoutData) {
  FrameParser parser;
  const auto frames = parser.feed(std::vector<std::uint8_t>{0x01, 0xC0, 0x02, 0x08, 0x08, 0, 0, 0, 0});
  ASSERT_EQ(frames.size(), 1U);
  EXPECT_EQ(frames[0].type, 1);
  EXPECT_EQ(frames[0].parameter, 0x080802C0U);
  EXPECT_TRUE(frames[0].data.empty());
  EXPECT_EQ(parser.pendingBytes(), 0U);
}

TEST(FrameParser, ParsesLittleEndianParameterAndData) {
  FrameParser parser;
  const auto frames = parser.feed(frameBytes(8, 0, bytesOf("AT\r\n")));
  ASSERT_EQ(frames.size(), 1U);
  EXPECT_EQ(frames[0].type, 8);
  EXPECT_EQ(frames[0].data, bytesOf("AT\r\n"));

  const auto baud = parser.feed(std::vector<std::uint8_t>{0x07, 0x00, 0xC2, 0x01, 0x00, 0, 0, 0, 0});
  ASSERT_EQ(baud.size(), 1U);
  EXPECT_EQ(baud[0].parameter, 115200U);
}

TEST(FrameParser, JoinsAFrameSplitAtEveryByte) {
  std::vector<std::uint8_t> data(100);
  for (std::size_t i = 0; i < data.size(); ++i) {
    data[i] = static_cast<std::uint8_t>(i);
  }
  const auto wire = frameBytes(11, 0x08006400, data);
  FrameParser parser;
  std::vector<Frame> frames;
  for (const std::uint8_t byte : wire) {
    auto got = parser.feed(std::span(&byte, 1));
    frames.insert(frames.end(), got.begin(), got.end());
  }
  ASSERT_EQ(frames.size(), 1U);
  EXPECT_EQ(frames[0].parameter, 0x08006400U);
  EXPECT_EQ(frames[0].data, data);
}

TEST(FrameParser, SplitsFramesJoinedInOneChunk) {
  auto wire = frameBytes(3, 0);
  const auto second = frameBytes(2, 0x08080480, bytesOf("1234"));
  const auto third = frameBytes(10, 0);
  wire.insert(wire.end(), second.begin(), second.end());
  wire.insert(wire.end(), third.begin(), third.end());
  FrameParser parser;
  const auto frames = parser.feed(wire);
  ASSERT_EQ(frames.size(), 3U);
  EXPECT_EQ(frames[0].type, 3);
  EXPECT_EQ(frames[1].type, 2);
  EXPECT_EQ(frames[1].data, bytesOf("1234"));
  EXPECT_EQ(frames[2].type, 10);
}

TEST(FrameParser, ConsumeStopsRightAfterEachFrame) {
  auto wire = frameBytes(3, 0);
  const auto second = frameBytes(8, 0, bytesOf("ATE0\r\n"));
  wire.insert(wire.end(), second.begin(), second.end());
  wire.push_back(0x01);  // start of a third frame
  FrameParser parser;
  std::span<const std::uint8_t> input(wire);
  EXPECT_EQ(parser.consume(input), 9U);
  ASSERT_TRUE(parser.takeFrame().has_value());
  EXPECT_FALSE(parser.takeFrame().has_value());
  input = input.subspan(9);
  EXPECT_EQ(parser.consume(input), 15U);
  ASSERT_TRUE(parser.takeFrame().has_value());
  input = input.subspan(15);
  EXPECT_EQ(parser.consume(input), 1U);
  EXPECT_FALSE(parser.takeFrame().has_value());
  EXPECT_EQ(parser.pendingBytes(), 1U);
}

TEST(FrameParser, AcceptsTheLargestLength) {
  FrameParser parser;
  const auto frames = parser.feed(frameBytes(9, 0, std::vector<std::uint8_t>(2500, 0x5A)));
  ASSERT_EQ(frames.size(), 1U);
  EXPECT_EQ(frames[0].data.size(), 2500U);
  EXPECT_EQ(parser.protocolErrors(), 0U);
}

TEST(FrameParser, RefusesALengthAbove2500AndResyncs) {
  FrameParser parser;
  auto wire = std::vector<std::uint8_t>{0x09, 0, 0, 0, 0, 0xC5, 0x09, 0, 0};  // 2501 bytes announced
  wire.insert(wire.end(), 20, 0x33);
  EXPECT_TRUE(parser.feed(wire).empty());
  EXPECT_EQ(parser.protocolErrors(), 1U);
  EXPECT_EQ(parser.pendingBytes(), 0U);
  const auto errors = parser.takeErrors();
  ASSERT_EQ(errors.size(), 1U);
  EXPECT_NE(errors[0].find("2501"), std::string::npos);
  EXPECT_TRUE(parser.takeErrors().empty());

  const auto frames = parser.feed(frameBytes(4, 0));
  ASSERT_EQ(frames.size(), 1U);
  EXPECT_EQ(frames[0].type, 4);
}

TEST(FrameParser, DiscardPartialDropsHeldBytes) {
  FrameParser parser;
  parser.discardPartial();
  EXPECT_EQ(parser.protocolErrors(), 0U);  // nothing held, nothing wrong

  const auto wire = frameBytes(2, 0x08080460, bytesOf("hello"));
  EXPECT_TRUE(parser.feed(std::span(wire).first(11)).empty());
  parser.discardPartial();
  EXPECT_EQ(parser.protocolErrors(), 1U);
  EXPECT_EQ(parser.pendingBytes(), 0U);
  EXPECT_EQ(parser.feed(frameBytes(5, 0)).size(), 1U);
}

}  // namespace
}  // namespace orsa::sim
