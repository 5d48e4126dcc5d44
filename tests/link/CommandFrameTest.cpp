#include "link/CommandFrame.h"

#include <gtest/gtest.h>

#include "support/BeaconFigures.h"

#include <array>
#include <vector>

namespace orsa::link {
namespace {

std::vector<std::uint8_t> frame(std::uint8_t type, std::uint32_t parameter, std::uint32_t length,
                                const void* data = nullptr) {
  std::array<std::uint8_t, CommandFrame::kMaxSize> area{};
  area.fill(0xEE);  // stale contents must not leak into a frame
  std::size_t size = CommandFrame::encode(area, type, parameter, length, data);
  return {area.begin(), area.begin() + static_cast<std::ptrdiff_t>(size)};
}

using Bytes = std::vector<std::uint8_t>;
namespace figures = orsa::testing::figures;

template <std::size_t N>
Bytes bytes(const std::array<std::uint8_t, N>& frame) {
  return {frame.begin(), frame.end()};
}

TEST(CommandFrame, HeaderIsLittleEndianWithoutStartByteOrChecksum) {
  EXPECT_EQ(frame(figures::kModemOn, 0, 0), bytes(figures::kModemOnFrame));
  EXPECT_EQ(frame(figures::kSetGnssBaud, 115200, 0), bytes(figures::kGnssBaud115200Frame));
  EXPECT_EQ(frame(figures::kSetGnssBaud, 9600, 0), bytes(figures::kGnssBaud9600Frame));
  EXPECT_EQ(frame(figures::kReadSettingSlot, 0x080802C0, 0), bytes(figures::kReadSlot080802C0Frame));
}

TEST(CommandFrame, DataFollowsTheHeaderUnchanged) {
  const char at[] = "AT\r\n";
  EXPECT_EQ(frame(figures::kModemData, 0, 4, at), bytes(figures::kModemDataAtFrame));

  std::vector<std::uint8_t> block(2048);
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i * 7);
  Bytes firstBlock = frame(figures::kWriteFirmwareBlock, figures::kFirmwareBase, 2048, block.data());
  ASSERT_EQ(firstBlock.size(), figures::kFrameHeaderSize + 2048u);
  EXPECT_EQ(Bytes(firstBlock.begin(), firstBlock.begin() + 9), bytes(figures::kFirstFirmwareBlockHeader));
  EXPECT_EQ(Bytes(firstBlock.begin() + 9, firstBlock.end()), block);
}

TEST(CommandFrame, RefusesDataBeyondTheFrameArea) {
  std::vector<std::uint8_t> data(figures::kMaxFrameData + 1, 0x55);
  std::array<std::uint8_t, CommandFrame::kMaxSize> area{};
  area.fill(0xEE);
  EXPECT_EQ(CommandFrame::encode(area, 8, 0, 2501, data.data()), 0u);
  EXPECT_EQ(area[0], 0xEE) << "nothing may be copied for a refused frame";
  EXPECT_EQ(CommandFrame::encode(area, 8, 0, 2500, data.data()), 2509u);
  EXPECT_EQ(CommandFrame::encode(area, 8, 0, 4, nullptr), 0u) << "a length without data";
}

}  // namespace
}  // namespace orsa::link
