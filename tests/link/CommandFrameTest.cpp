#include "link/CommandFrame.h"

#include <gtest/gtest.h>

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

TEST(CommandFrame, HeaderIsLittleEndianWithoutStartByteOrChecksum) {
  EXPECT_EQ(frame(3, 0, 0), (Bytes{0x03, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(frame(7, 115200, 0), (Bytes{0x07, 0x00, 0xC2, 0x01, 0x00, 0, 0, 0, 0}));
  EXPECT_EQ(frame(7, 9600, 0), (Bytes{0x07, 0x80, 0x25, 0x00, 0x00, 0, 0, 0, 0}));
  EXPECT_EQ(frame(1, 0x080802C0, 0), (Bytes{0x01, 0xC0, 0x02, 0x08, 0x08, 0, 0, 0, 0}));
}

TEST(CommandFrame, DataFollowsTheHeaderUnchanged) {
  const char at[] = "AT\r\n";
  EXPECT_EQ(frame(8, 0, 4, at), (Bytes{0x08, 0, 0, 0, 0, 0x04, 0, 0, 0, 'A', 'T', '\r', '\n'}));

  std::vector<std::uint8_t> block(2048);
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i * 7);
  Bytes firstBlock = frame(11, 0x08006400, 2048, block.data());
  ASSERT_EQ(firstBlock.size(), 9u + 2048u);
  EXPECT_EQ(Bytes(firstBlock.begin(), firstBlock.begin() + 9),
            (Bytes{0x0B, 0x00, 0x64, 0x00, 0x08, 0x00, 0x08, 0x00, 0x00}));
  EXPECT_EQ(Bytes(firstBlock.begin() + 9, firstBlock.end()), block);
}

TEST(CommandFrame, RefusesDataBeyondTheFrameArea) {
  std::vector<std::uint8_t> data(2501, 0x55);
  std::array<std::uint8_t, CommandFrame::kMaxSize> area{};
  area.fill(0xEE);
  EXPECT_EQ(CommandFrame::encode(area, 8, 0, 2501, data.data()), 0u);
  EXPECT_EQ(area[0], 0xEE) << "nothing may be copied for a refused frame";
  EXPECT_EQ(CommandFrame::encode(area, 8, 0, 2500, data.data()), 2509u);
  EXPECT_EQ(CommandFrame::encode(area, 8, 0, 4, nullptr), 0u) << "a length without data";
}

}  // namespace
}  // namespace orsa::link
