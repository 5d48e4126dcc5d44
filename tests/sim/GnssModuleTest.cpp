#include "sim/BeaconModel.h"
#include "sim/FaultPlan.h"
#include "sim/MtkGnssModule.h"
#include "sim/NmeaCapture.h"
#include "sim/PtyClient.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string_view>

namespace orsa::sim {
namespace {

using test::bytesOf;
using Bytes = std::vector<std::uint8_t>;
using Mode = MtkGnssModule::Mode;
using namespace std::chrono_literals;

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
// so that the module cannot lean on frame boundaries. Time is the run's own: it moves only by wait().
struct FlashRun {
  BeaconModel model;
  BeaconModel::Clock::time_point now{};
  std::size_t cut = 0;

  void wait(std::chrono::milliseconds pause) { now += pause; }
  Bytes command(std::uint8_t type, std::uint32_t parameter) { return model.handle(Frame{type, parameter, {}}, now); }

  // Sends `bytes` in frames of 1, 3, 7, 2, 13, 5 … bytes (or all in one) and returns every answer.
  Bytes send(const Bytes& bytes, bool oneFrame = false) {
    static constexpr std::size_t sizes[] = {1, 3, 7, 2, 13, 5, 64, 1};
    Bytes answer;
    for (std::size_t offset = 0; offset < bytes.size();) {
      const std::size_t size =
          oneFrame ? bytes.size() : std::min(sizes[cut++ % std::size(sizes)], bytes.size() - offset);
      Bytes data(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                 bytes.begin() + static_cast<std::ptrdiff_t>(offset + size));
      const Bytes part = model.handle(Frame{9, 0, std::move(data)}, now);
      answer.insert(answer.end(), part.begin(), part.end());
      offset += size;
    }
    return answer;
  }
  Bytes send(std::string_view text) { return send(bytesOf(text)); }

  Mode mode() { return module().mode(); }
  MtkGnssModule& module() { return dynamic_cast<MtkGnssModule&>(*model.gnssModel()); }

  // As the program ends a flash run: the line back at 9600, the module's power cycled.
  void powerCycle() {
    EXPECT_EQ(command(7, 9600).size(), 1U);
    EXPECT_EQ(command(6, 0).size(), 1U);
    EXPECT_EQ(command(4, 0).size(), 1U);
  }

  // Power cycle and the text that sends the module into its boot ROM and makes it fast, as the
  // program does it, with `highSpeed` of the program's three "$PMTK251,115200*1F".
  void intoBootRom(bool switchTo115200 = true, int highSpeed = 3) {
    powerCycle();
    for (int i = 0; i < 5; ++i) {
      EXPECT_TRUE(send("$PMTK180*3B\r\n").empty());
      wait(200ms);
    }
    for (int i = 0; i < highSpeed; ++i) {
      EXPECT_TRUE(send("$PMTK251,115200*1F\r\n").empty());
      wait(200ms);
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

  // Writes `loader` (in its file's byte order) where the boot ROM runs it, in 10-byte frames.
  void writeLoader(const Bytes& loader) {
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
  }

  // Boot ROM to running loader.
  void startLoader(const Bytes& loader) {
    handshake();
    writeLoader(loader);
    EXPECT_EQ(send({0xA4}), Bytes{0xA4});
    wait(1000ms);
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

  // A loader setting sent part by part, `pause` before each part after the first; every answer.
  Bytes setting(std::initializer_list<Bytes> parts, std::chrono::milliseconds pause) {
    Bytes answer;
    bool first = true;
    for (const Bytes& part : parts) {
      if (!first) {
        wait(pause);
      }
      first = false;
      const Bytes got = send(part);
      answer.insert(answer.end(), got.begin(), got.end());
    }
    return answer;
  }

  // The range and packet size of a firmware of `size` bytes in 2048-byte packets, 200 ms between parts.
  void announce(std::size_t size) {
    EXPECT_EQ(setting({{0xD3}, {0x01}, bigEndian32(0), bigEndian32(static_cast<std::uint32_t>(size - 1))}, 200ms),
              (Bytes{0xD3, 0x5A}));
    wait(200ms);
    EXPECT_EQ(setting({{0xD5}, bigEndian32(2048)}, 200ms), (Bytes{0xD5, 0x5A}));
    wait(200ms);
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

const Bytes ack{0x5A};
const Bytes refused{0xEE};

TEST(GnssModule, TakesALoaderAndAFirmwareThroughItsBootRom) {
  FlashRun run;
  const Bytes loader = pattern(loaderSize, 1);
  const Bytes firmware = pattern(4097, 2);
  run.intoBootRom();
  run.startLoader(loader);
  run.announce(firmware.size());
  EXPECT_EQ(run.packet(firmware, 0), ack);
  EXPECT_EQ(run.packet(firmware, 2048, true), refused);
  EXPECT_EQ(run.packet(firmware, 2048), ack);  // sent again, taken once
  EXPECT_EQ(run.packet(firmware, 4096), ack);  // the last: one data byte
  EXPECT_TRUE(run.send({0xD9, 0xD9}).empty());
  EXPECT_EQ(run.mode(), Mode::Done);
  EXPECT_EQ(run.module().loader(), loader);
  EXPECT_EQ(run.module().firmware(), firmware);
  EXPECT_EQ(run.module().badPackets(), 1U);

  run.powerCycle();  // the NMEA mode comes back
  EXPECT_EQ(run.mode(), Mode::Nmea);
}

TEST(GnssModule, OwnOutputIsPacedAtTheLineRateAndStopsInTheBootRom) {
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

TEST(GnssModule, ItsUartRunsAt115200OnlyAfterThreeHighSpeedRequestsSincePowerOn) {
  {
    SCOPED_TRACE("the module fast, the line still at 9600");
    FlashRun run;
    run.intoBootRom(false);
    for (int i = 0; i < 5; ++i) {
      EXPECT_TRUE(run.send({0xA0}).empty());
    }
    EXPECT_EQ(run.command(7, 115200).size(), 1U);
    run.handshake();
  }
  {
    SCOPED_TRACE("two requests, one with a wrong checksum and one sharing its line");
    FlashRun run;
    run.intoBootRom(false, 2);
    EXPECT_TRUE(run.send("$PMTK251,115200*1E\r\n").empty());
    EXPECT_TRUE(run.send("$PMTK180*3B$PMTK251,115200*1F\r\n").empty());
    EXPECT_EQ(run.module().uartRate(), 9600U);
    EXPECT_TRUE(run.send("$PMTK251,115200*1F\r\n").empty());  // the third
    EXPECT_EQ(run.module().uartRate(), 115200U);
    EXPECT_EQ(run.command(7, 115200).size(), 1U);
    run.handshake();
  }
  {
    SCOPED_TRACE("after a power cycle, the line at 115200 without the requests");
    FlashRun run;
    run.intoBootRom();
    run.handshake();
    run.intoBootRom(true, 0);
    EXPECT_TRUE(run.send({0xA0}).empty());
    EXPECT_EQ(run.module().uartRate(), 9600U);
  }
}

TEST(GnssModule, TheBootRomWritesAndRunsOnlyItsLoaderRamAndChecksItASecondAfterTheLoader) {
  const Bytes loader = pattern(loaderSize, 5);
  {
    SCOPED_TRACE("a write elsewhere: the address echoed, the rest taken in silence, then a jump there hangs");
    FlashRun run;
    run.intoBootRom();
    run.handshake();
    const Bytes elsewhere{0x00, 0x00, 0x08, 0x00};
    EXPECT_EQ(run.send({0xA1}), Bytes{0xA1});
    EXPECT_EQ(run.send(elsewhere), elsewhere);
    EXPECT_TRUE(run.send({0x00, 0x00, 0x00, 0x03}).empty());
    EXPECT_TRUE(run.send({0xA1, 0xA4, 0xA8, 0x00, 0x00, 0x00}).empty());  // three words, whatever they hold
    EXPECT_EQ(run.send({0xA8}), Bytes{0xA8});
    EXPECT_EQ(run.send(elsewhere).size(), 24U);
    EXPECT_EQ(run.mode(), Mode::BootRom);
    EXPECT_TRUE(run.send({0xA0, 0x0A}).empty());
  }
  {
    SCOPED_TRACE("the checksum's address 999 ms after the loader's last byte hangs the boot ROM");
    FlashRun run;
    run.intoBootRom();
    run.handshake();
    run.writeLoader(loader);
    EXPECT_EQ(run.send({0xA4}), Bytes{0xA4});
    run.wait(999ms);
    EXPECT_TRUE(run.send(loaderAddress).empty());
    run.wait(10s);
    EXPECT_TRUE(run.send(concat({loaderWords, {0xA8}, loaderAddress, {0xA0}})).empty());
  }
  {
    SCOPED_TRACE("the second counts from the loader's last byte, not from the A4");
    FlashRun run;
    run.intoBootRom();
    run.handshake();
    run.writeLoader(loader);
    run.wait(600ms);
    EXPECT_EQ(run.send({0xA4}), Bytes{0xA4});
    run.wait(400ms);
    EXPECT_EQ(run.send(loaderAddress), loaderAddress);
    EXPECT_EQ(run.send(loaderWords).size(), 6U);
  }
}

TEST(GnssModule, TheLoaderTakesEachPartOfASettingOnlyAfterItsPause) {
  const Bytes firmware = pattern(3000, 6);
  const Bytes range = bigEndian32(static_cast<std::uint32_t>(firmware.size() - 1));
  {
    SCOPED_TRACE("149 ms between the parts of the range: they are lost and no packet is taken");
    FlashRun run;
    run.intoBootRom();
    run.startLoader(pattern(loaderSize, 7));
    EXPECT_TRUE(run.setting({{0xD3}, {0x01}, bigEndian32(0), range}, 149ms).empty());
    run.wait(200ms);
    EXPECT_TRUE(run.setting({{0xD5}, bigEndian32(2048)}, 200ms).empty());
    run.wait(200ms);
    EXPECT_NE(run.packet(firmware, 0), ack);
    EXPECT_TRUE(run.module().firmware().empty());
  }
  {
    SCOPED_TRACE("150 ms are enough; a part that came too soon is lost and waited for again");
    FlashRun run;
    run.intoBootRom();
    run.startLoader(pattern(loaderSize, 7));
    EXPECT_EQ(run.setting({{0xD3}, {0x01}, bigEndian32(0), range}, 150ms), (Bytes{0xD3, 0x5A}));
    run.wait(200ms);
    EXPECT_TRUE(run.setting({{0xD5}, bigEndian32(2048)}, 100ms).empty());
    run.wait(50ms);
    EXPECT_EQ(run.send(bigEndian32(2048)), (Bytes{0xD5, 0x5A}));
    EXPECT_EQ(run.packet(firmware, 0), ack);
    EXPECT_EQ(run.packet(firmware, 2048), ack);
    EXPECT_EQ(run.module().firmware(), firmware);
  }
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
    run.wait(1000ms);
    EXPECT_TRUE(run.send(loaderAddress).empty());
    EXPECT_TRUE(run.send({0xA0, 0x0A, 0xA8}).empty());  // hung until the power is cycled
    run.intoBootRom();
    EXPECT_EQ(run.send({0xA0}), Bytes{0x5F});
  }
  const Bytes firmware = pattern(3 * 2048, 8);
  {
    SCOPED_TRACE("packet 2 rejected once: sent again, it is kept once");
    FlashRun run;
    run.model.setGnssFaults(FaultPlan().gnssRejectsPacket(2, false).gnssFaults());
    run.intoBootRom();
    run.startLoader(pattern(loaderSize, 9));
    run.announce(firmware.size());
    EXPECT_EQ(run.packet(firmware, 0), ack);
    EXPECT_EQ(run.packet(firmware, 2048), refused);
    EXPECT_EQ(run.packet(firmware, 2048), ack);
    EXPECT_EQ(run.packet(firmware, 4096), ack);
    EXPECT_EQ(run.module().firmware(), firmware);
  }
  {
    SCOPED_TRACE("packet 2 always rejected");
    FlashRun run;
    run.model.setGnssFaults(FaultPlan().gnssRejectsPacket(2, true).gnssFaults());
    run.intoBootRom();
    run.startLoader(pattern(loaderSize, 9));
    run.announce(firmware.size());
    EXPECT_EQ(run.packet(firmware, 0), ack);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(run.packet(firmware, 2048), refused);
    }
    EXPECT_EQ(run.module().firmware(), Bytes(firmware.begin(), firmware.begin() + 2048));
  }
}

TEST(GnssModule, TellsItsReleaseInItsNmeaModeAndAWholeFlashedImageChangesIt) {
  FlashRun run;
  run.powerCycle();
  EXPECT_EQ(run.send("$PMTK605*31\r\n"), bytesOf("$PMTK705,AXN_3.8_3333_16071800,0004,MT3339,1.0*2C\r\n"));
  EXPECT_TRUE(run.send("$PMTK605*30\r\n").empty());
  EXPECT_TRUE(run.send("$PMTK180*3B$PMTK605*31\r\n").empty());
  run.module().setRelease("AXN_5.1.7_3333_20070700");
  EXPECT_EQ(run.send("$PMTK605*31\r\n"), bytesOf("$PMTK705,AXN_5.1.7_3333_20070700,0004,MT3339,1.0*31\r\n"));

  const Bytes image = bytesOf("123456789");  // its CRC-32 is CBF43926
  run.intoBootRom();
  EXPECT_TRUE(run.send("$PMTK605*31\r\n").empty());
  run.startLoader(pattern(loaderSize, 10));
  run.announce(image.size());
  EXPECT_EQ(run.packet(image, 0), ack);
  EXPECT_TRUE(run.send({0xD9}).empty());
  run.powerCycle();
  EXPECT_EQ(run.module().release(), "AXN_FLASHED_CBF43926");
  EXPECT_EQ(run.send("$PMTK605*31\r\n"), bytesOf("$PMTK705,AXN_FLASHED_CBF43926,0004,MT3339,1.0*73\r\n"));

  // A run that ends before the whole image came leaves the release as it was.
  run.intoBootRom();
  run.startLoader(pattern(loaderSize, 10));
  run.announce(4000);
  EXPECT_EQ(run.packet(pattern(4000, 11), 0), ack);
  EXPECT_TRUE(run.send({0xD9}).empty());
  run.powerCycle();
  EXPECT_EQ(run.module().release(), "AXN_FLASHED_CBF43926");
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
  for (const char* name : {"mt3339.log", "quectel-L70.log", "holux-gm-210.log"}) {
    const auto path = dir / name;
    std::ifstream file(path, std::ios::binary);
    ASSERT_TRUE(file) << "cannot read " << path;
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
