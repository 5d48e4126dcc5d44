#include "sim/BeaconModel.h"
#include "sim/FaultPlan.h"
#include "sim/MtkGnssModule.h"
#include "sim/NmeaCapture.h"
#include "sim/PtyClient.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace orsa::sim {
namespace {

using test::bytesOf;
using Bytes = std::vector<std::uint8_t>;
using Mode = MtkGnssModule::Mode;

constexpr std::size_t loaderSize = 11892;
const Bytes loaderAddress{0x00, 0x00, 0x0C, 0x00};
const Bytes loaderWords{0x00, 0x00, 0x17, 0x3A};  // 5946

Bytes pattern(std::size_t size, unsigned seed) {
  Bytes bytes(size);
  std::uint32_t state = seed;
  for (auto& byte : bytes) {
    state = state * 1103515245U + 12345U;
    byte = static_cast<std::uint8_t>(state >> 16U);
  }
  return bytes;
}

Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const auto& part : parts) {
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

Bytes bigEndian32(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value >> 24U), static_cast<std::uint8_t>(value >> 16U),
          static_cast<std::uint8_t>(value >> 8U), static_cast<std::uint8_t>(value)};
}

// The program's side of a flash run, fed to the beacon model in GnssData frames cut at odd places,
// so that the module cannot lean on frame boundaries.
struct FlashRun {
  BeaconModel model;
  std::size_t cut = 0;

  Bytes command(std::uint8_t type, std::uint32_t parameter) { return model.handle(Frame{type, parameter, {}}); }

  // Sends `bytes` in frames of 1, 3, 7, 2, 13, 5 … bytes (or all in one) and returns every answer.
  Bytes send(const Bytes& bytes, bool oneFrame = false) {
    static constexpr std::size_t sizes[] = {1, 3, 7, 2, 13, 5, 64, 1};
    Bytes answer;
    for (std::size_t offset = 0; offset < bytes.size();) {
      const std::size_t size =
          oneFrame ? bytes.size() : std::min(sizes[cut++ % std::size(sizes)], bytes.size() - offset);
      Bytes data(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                 bytes.begin() + static_cast<std::ptrdiff_t>(offset + size));
      const Bytes part = model.handle(Frame{9, 0, std::move(data)});
      answer.insert(answer.end(), part.begin(), part.end());
      offset += size;
    }
    return answer;
  }

  Mode mode() { return dynamic_cast<MtkGnssModule&>(*model.gnssModel()).mode(); }
  const MtkGnssModule& module() { return dynamic_cast<MtkGnssModule&>(*model.gnssModel()); }

  // Power cycle and the text that sends the module into its boot ROM, as the program does it.
  void intoBootRom(bool switchTo115200 = true) {
    EXPECT_EQ(command(6, 0).size(), 1U);
    EXPECT_EQ(command(4, 0).size(), 1U);
    for (int i = 0; i < 5; ++i) {
      EXPECT_TRUE(send(bytesOf("$PMTK180*3B\r\n")).empty());
    }
    for (int i = 0; i < 3; ++i) {
      EXPECT_TRUE(send(bytesOf("$PMTK251,115200*1F\r\n")).empty());
    }
    EXPECT_EQ(mode(), Mode::BootRom);
    if (switchTo115200) {
      EXPECT_EQ(command(7, 115200).size(), 1U);
    }
  }

  void handshake() {
    EXPECT_EQ(send({0xA0}), Bytes{0x5F});
    EXPECT_EQ(send({0x0A}), Bytes{0xF5});
    EXPECT_EQ(send({0x50}), Bytes{0xAF});
    EXPECT_EQ(send({0x05}), Bytes{0xFA});
  }

  // Boot ROM to running loader; `loader` in its file's byte order.
  void startLoader(const Bytes& loader) {
    handshake();
    EXPECT_EQ(send({0xA1}), Bytes{0xA1});
    EXPECT_EQ(send(loaderAddress), loaderAddress);
    EXPECT_EQ(send(loaderWords), loaderWords);
    Bytes swapped = loader;
    for (std::size_t i = 0; i + 1 < swapped.size(); i += 2) {
      std::swap(swapped[i], swapped[i + 1]);
    }
    Bytes echo;
    for (std::size_t offset = 0; offset < swapped.size(); offset += 10) {
      const auto end = swapped.begin() + static_cast<std::ptrdiff_t>(std::min(offset + 10, swapped.size()));
      const Bytes part = send(Bytes(swapped.begin() + static_cast<std::ptrdiff_t>(offset), end), true);
      echo.insert(echo.end(), part.begin(), part.end());
    }
    EXPECT_EQ(echo, swapped);

    EXPECT_EQ(send({0xA4}), Bytes{0xA4});
    EXPECT_EQ(send(loaderAddress), loaderAddress);
    std::uint16_t sum = 0;  // XOR of the words, each low byte first in the file
    for (std::size_t i = 0; i < loader.size(); i += 2) {
      sum ^= static_cast<std::uint16_t>(loader[i] | (loader[i + 1] << 8U));
    }
    EXPECT_EQ(send(loaderWords),
              concat({loaderWords, {static_cast<std::uint8_t>(sum >> 8U), static_cast<std::uint8_t>(sum & 0xFFU)}}));

    EXPECT_EQ(send({0xA8}), Bytes{0xA8});
    const Bytes greeting = send(loaderAddress, true);
    ASSERT_EQ(greeting.size(), 24U);
    EXPECT_EQ(Bytes(greeting.begin(), greeting.begin() + 4), loaderAddress);
    EXPECT_EQ(mode(), Mode::Loader);
  }

  // The range and packet size of a firmware of `size` bytes in 2048-byte packets.
  void announce(std::size_t size) {
    EXPECT_TRUE(send({0xD3}).empty());
    EXPECT_TRUE(send({0x01}).empty());
    EXPECT_TRUE(send(bigEndian32(0)).empty());
    EXPECT_EQ(send(bigEndian32(static_cast<std::uint32_t>(size - 1))).size(), 2U);
    EXPECT_TRUE(send({0xD5}).empty());
    EXPECT_EQ(send(bigEndian32(2048)).size(), 2U);
  }

  // One packet: data and its 16-bit sum (spoilt on request); returns the loader's answer.
  Bytes packet(const Bytes& firmware, std::size_t offset, bool spoilSum = false) {
    const auto begin = firmware.begin() + static_cast<std::ptrdiff_t>(offset);
    Bytes bytes(begin, begin + static_cast<std::ptrdiff_t>(std::min<std::size_t>(2048, firmware.size() - offset)));
    std::uint16_t sum = 0;
    for (const auto byte : bytes) {
      sum = static_cast<std::uint16_t>(sum + byte);
    }
    sum = static_cast<std::uint16_t>(sum + (spoilSum ? 1 : 0));
    bytes.push_back(static_cast<std::uint8_t>(sum >> 8U));
    bytes.push_back(static_cast<std::uint8_t>(sum & 0xFFU));
    return send(bytes);
  }
};

TEST(GnssModule, TakesALoaderAndAFirmwareThroughItsBootRom) {
  FlashRun run;
  const Bytes loader = pattern(loaderSize, 1);
  const Bytes firmware = pattern(4097, 2);
  run.intoBootRom();
  run.startLoader(loader);
  run.announce(firmware.size());
  EXPECT_EQ(run.packet(firmware, 0), Bytes{MtkFlashProtocol::packetAck});
  EXPECT_EQ(run.packet(firmware, 2048, true), Bytes{MtkFlashProtocol::packetNak});
  EXPECT_EQ(run.packet(firmware, 2048), Bytes{MtkFlashProtocol::packetAck});  // sent again, taken
  EXPECT_EQ(run.packet(firmware, 4096), Bytes{MtkFlashProtocol::packetAck});  // the last: one data byte
  EXPECT_TRUE(run.send({0xD9, 0xD9}).empty());
  EXPECT_EQ(run.mode(), Mode::Done);
  EXPECT_EQ(run.module().loader(), loader);
  EXPECT_EQ(run.module().firmware(), firmware);
  EXPECT_EQ(run.module().badPackets(), 1U);

  EXPECT_EQ(run.command(6, 0).size(), 1U);  // a power cycle brings the NMEA mode back
  EXPECT_EQ(run.command(4, 0).size(), 1U);
  EXPECT_EQ(run.mode(), Mode::Nmea);
}

TEST(GnssModule, OwnOutputIsPacedAtTheLineRateAndStopsInTheBootRom) {
  using namespace std::chrono_literals;
  BeaconModel model;
  const auto on = BeaconModel::Clock::now();
  EXPECT_EQ(model.handle(Frame{4, 0, {}}, on).size(), 1U);
  EXPECT_TRUE(model.takeGnssOutput(on + 999ms).empty());
  EXPECT_EQ(model.nextGnssOutputAt(), on + 1s);
  const Bytes start = model.takeGnssOutput(on + 1100ms);  // 100 ms at 960 bytes a second
  EXPECT_GE(start.size(), 86U);
  EXPECT_LE(start.size(), 96U);
  EXPECT_EQ(std::string(start.begin(), start.begin() + 7), "$GNGGA,");
  EXPECT_TRUE(model.handle(Frame{9, 0, bytesOf("$PMTK180*3B\r\n")}, on + 1100ms).empty());
  EXPECT_TRUE(model.takeGnssOutput(on + 5s).empty());
  EXPECT_FALSE(model.nextGnssOutputAt());
}

TEST(GnssModule, BootRomHearsNothingUntilTheLineRunsAt115200) {
  FlashRun run;
  run.intoBootRom(false);
  for (int i = 0; i < 5; ++i) {
    EXPECT_TRUE(run.send({0xA0}).empty());
  }
  EXPECT_EQ(run.command(7, 115200).size(), 1U);
  run.handshake();
}

TEST(GnssModule, FaultsOfThePlanReachTheModule) {
  {
    FlashRun run;
    run.model.setGnssFaults(FaultPlan().gnssAnswersSyncFrom(3).gnssFaults());
    run.intoBootRom();
    EXPECT_TRUE(run.send({0xA0}).empty());
    EXPECT_TRUE(run.send({0xA0}).empty());
    run.handshake();  // the third A0 is answered
    EXPECT_EQ(run.send({0xA1}), Bytes{0xA1});
    EXPECT_EQ(run.send(loaderAddress), loaderAddress);
  }
  {
    FlashRun run;
    run.model.setGnssFaults(FaultPlan().gnssLeavesPacketUnacknowledged(2).gnssFaults());
    const Bytes firmware = pattern(3 * 2048, 3);
    run.intoBootRom();
    run.startLoader(pattern(loaderSize, 4));
    run.announce(firmware.size());
    EXPECT_EQ(run.packet(firmware, 0).size(), 1U);
    EXPECT_TRUE(run.packet(firmware, 2048).empty());
    EXPECT_EQ(run.packet(firmware, 4096).size(), 1U);
    EXPECT_EQ(run.module().firmware(), firmware);  // the unacknowledged packet was kept
  }
  {
    FlashRun run;
    run.model.setGnssFaults(FaultPlan().gnssSilentFrom(GnssStage::ChecksumStep).gnssFaults());
    run.intoBootRom();
    run.handshake();
    EXPECT_EQ(run.send({0xA1}), Bytes{0xA1});
    EXPECT_EQ(run.send(concat({loaderAddress, {0x00, 0x00, 0x00, 0x01}, {0x12, 0x34}})).size(), 10U);
    EXPECT_EQ(run.send({0xA4}), Bytes{0xA4});
    EXPECT_TRUE(run.send(loaderAddress).empty());
    EXPECT_TRUE(run.send({0xA0, 0x0A, 0xA8}).empty());  // hung until the power is cycled
    run.intoBootRom();
    EXPECT_EQ(run.send({0xA0}), Bytes{0x5F});
  }
}

// Independent of the module: "$BODY*HH" with HH the XOR of BODY.
bool checksumIsRight(const std::string& sentence) {
  const auto star = sentence.rfind('*');
  if (sentence.empty() || sentence[0] != '$' || star == std::string::npos || star + 3 != sentence.size()) {
    return false;
  }
  unsigned sum = 0;
  for (std::size_t i = 1; i < star; ++i) {
    sum ^= static_cast<unsigned char>(sentence[i]);
  }
  return std::stoul(sentence.substr(star + 1), nullptr, 16) == sum;
}

// The sentences of an epoch without their CR LF; fails on a line not ended by CR LF.
std::vector<std::string> sentences(const NmeaCapture::Epoch& epoch) {
  std::vector<std::string> lines;
  const std::string text(epoch.begin(), epoch.end());
  std::size_t start = 0;
  while (start < text.size()) {
    const auto end = text.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << text.substr(start);
    if (end == std::string::npos) {
      break;
    }
    lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(lines.back().find_first_of("\r\n"), std::string::npos);
    start = end + 2;
  }
  return lines;
}

// The time field of a GGA, RMC or ZDA sentence; empty for other sentences.
std::string epochTime(const std::string& sentence) {
  const std::string kind = sentence.substr(3, 3);
  if (sentence.size() < 8 || (kind != "GGA" && kind != "RMC" && kind != "ZDA")) {
    return {};
  }
  const auto comma = sentence.find(',');
  return sentence.substr(comma + 1, sentence.find(',', comma + 1) - comma - 1);
}

TEST(GnssModule, CapturesAreCutIntoEpochsOfOneTimeEach) {
  const NmeaCapture builtIn = NmeaCapture::builtIn();
  ASSERT_GE(builtIn.epochs().size(), 2U);
  std::set<std::string> kinds;
  for (const auto& epoch : builtIn.epochs()) {
    for (const auto& sentence : sentences(epoch)) {
      EXPECT_TRUE(checksumIsRight(sentence)) << sentence;
      kinds.insert(sentence.substr(1, 5));
    }
  }
  EXPECT_EQ(kinds, (std::set<std::string>{"GNGGA", "GNRMC", "GNGSA", "GPGSV", "GLGSV"}));

  const std::filesystem::path dir = ORSA_TESTDATA_DIR "/nmea";
  if (!std::filesystem::exists(dir)) {
    GTEST_SKIP() << "no captures in " << dir;
  }
  for (const char* name : {"mt3339.log", "quectel-L70.log", "holux-gm-210.log"}) {
    const auto path = dir / name;
    std::ifstream file(path, std::ios::binary);
    std::vector<std::string> expected;  // the lines that are not comments, without their ends
    for (std::string line; std::getline(file, line);) {
      if (!line.empty() && line.back() == '\r') {
        line.pop_back();
      }
      if (!line.empty() && line[0] != '#') {
        expected.push_back(line);
      }
    }
    const NmeaCapture capture = NmeaCapture::fromFile(path.string());
    std::vector<std::string> sent;
    std::set<std::string> times;
    for (const auto& epoch : capture.epochs()) {
      std::set<std::string> epochTimes;
      for (const auto& sentence : sentences(epoch)) {
        sent.push_back(sentence);
        if (const auto time = epochTime(sentence); !time.empty()) {
          epochTimes.insert(time);
        }
      }
      if (epochTimes.size() != 1) {
        ADD_FAILURE() << name << ": " << epochTimes.size() << " times in " << std::string(epoch.begin(), epoch.end());
        continue;
      }
      EXPECT_TRUE(times.insert(*epochTimes.begin()).second) << name << ": a time in two epochs";
    }
    EXPECT_EQ(sent, expected) << name;
    EXPECT_GT(capture.epochs().size(), 10U) << name;
  }
}

}  // namespace
}  // namespace orsa::sim
