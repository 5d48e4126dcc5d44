#include "firmware/NmeaDecoder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>

namespace orsa::firmware {
namespace {

const std::filesystem::path kNmeaDir = std::filesystem::path(ORSA_TESTDATA_DIR) / "nmea";

// The receiver's bytes of a capture, line endings as recorded, without the capture's '#' header comments.
std::string captureBytes(const std::string& name) {
  std::ifstream file(kNmeaDir / name, std::ios::binary);
  if (!file) ADD_FAILURE() << "cannot read " << kNmeaDir / name;
  std::stringstream whole;
  whole << file.rdbuf();
  const std::string text = whole.str();
  std::string bytes;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = std::min(text.find('\n', at), text.size() - 1) + 1;
    if (text[at] != '#') bytes.append(text, at, end - at);
    at = end;
  }
  return bytes;
}

// A sentence as a receiver sends it, checksum and line end included.
std::string sentence(const std::string& body) {
  int sum = 0;
  for (const char c : body) sum ^= static_cast<unsigned char>(c);
  char checksum[4];
  std::snprintf(checksum, sizeof checksum, "%02X", sum);
  return "$" + body + "*" + checksum + "\r\n";
}

using namespace std::chrono_literals;

// Two seconds of a GPS-only module as the beacon's sends them: GGA, GSA, GSV, RMC, ZDA.
std::string mtkEpoch(const std::string& time, const std::string& gsaUsed = "20,16,09,,,,,,,,,") {
  return sentence("GPGGA," + time + ",5545.1234,N,03737.5678,E,1,03,1.20,150.0,M,14.0,M,,") +
         sentence("GPGSA,A,3," + gsaUsed + ",2.10,1.20,1.70") +
         sentence("GPGSV,1,1,04,20,40,100,40,16,50,200,41,09,30,300,38,46,37,146,") +
         sentence("GPRMC," + time + ",A,5545.1234,N,03737.5678,E,10.0,90.0,091226,,,A") +
         sentence("GPZDA," + time + ",09,12,2026,,");
}

class NmeaCapture : public ::testing::Test {};

// Every sentence of the capture is cut somewhere by odd-sized chunks, many of them byte by byte.
TEST_F(NmeaCapture, Mt3339InOddChunksDecodesAsWholeToTheLastEpoch) {
  const std::string bytes = captureBytes("mt3339.log");
  NmeaDecoder whole;
  std::vector<std::string> epochTimes;
  whole.setEpochHandler([&](const GnssStatus& s) { epochTimes.push_back(s.utcTime.value_or("?")); });
  whole.feed(bytes);
  NmeaDecoder chunked;
  const std::size_t sizes[] = {1, 2, 3, 5, 7, 11, 13, 64};
  std::size_t at = 0;
  for (std::size_t i = 0; at < bytes.size(); ++i) {
    const std::size_t size = std::min(sizes[i % std::size(sizes)], bytes.size() - at);
    chunked.feed(std::string_view(bytes).substr(at, size));
    at += size;
  }
  EXPECT_EQ(whole.status(), chunked.status());

  // 20:26:40 to 20:27:09: the first epoch is not taken (the decoder cannot know it heard it from its start),
  // each other one once, as soon as its ZDA came.
  ASSERT_EQ(epochTimes.size(), 29u);
  EXPECT_EQ(epochTimes.front(), "20:26:41");
  EXPECT_EQ(epochTimes.back(), "20:27:09");
  EXPECT_EQ(std::set<std::string>(epochTimes.begin(), epochTimes.end()).size(), 29u);

  // Last epoch: GGA 202709.000,4404.1297,N,12118.8513,W,2,10,0.98,1127.4; GSA mode 3 with 10 satellites;
  // RMC 0.03 knots, 188.44°, mode D; the last GSV group (20:27:08) 12 in view.
  const GnssStatus& s = whole.status();
  EXPECT_EQ(s.sentences, 138u);
  EXPECT_EQ(s.badChecksums, 0u);
  EXPECT_EQ(s.fix, GnssStatus::Fix::ThreeD);
  EXPECT_EQ(s.correction, GnssStatus::Correction::Differential);
  ASSERT_TRUE(s.latitude && s.longitude);
  EXPECT_NEAR(*s.latitude, 44 + 4.1297 / 60, 1e-9);
  EXPECT_NEAR(*s.longitude, -(121 + 18.8513 / 60), 1e-9);
  EXPECT_EQ(s.gps, (GnssStatus::Satellites{10, 12}));
  EXPECT_EQ(statusLine(s),
            "Фикс: 3D DGPS | GPS 10/12 | ГЛОНАСС 0/0 | HDOP 0.98 | 44.068828° N 121.314188° W | высота 1127.4 м | "
            "скорость 0.1 км/ч, курс 188° | UTC 20:27:09 | ошибок КС: 0");
  // The sky of the last GSV group: 16 at 39° 51° 31 dB-Hz, used; 46 an SBAS satellite; 05 not tracked and
  // not in the last GSA.
  ASSERT_EQ(s.satellites.size(), 12u);
  const auto find = [&](GnssSystem system, int prn) {
    for (const auto& v : s.satellites) {
      if (v.system == system && v.prn == prn) return v;
    }
    ADD_FAILURE() << "no satellite " << prn;
    return SatelliteView{};
  };
  EXPECT_EQ(find(GnssSystem::Gps, 16), (SatelliteView{GnssSystem::Gps, 16, 39, 51, 31, true}));
  EXPECT_EQ(find(GnssSystem::Sbas, 46), (SatelliteView{GnssSystem::Sbas, 46, 37, 146, std::nullopt, false}));
  EXPECT_EQ(find(GnssSystem::Gps, 5), (SatelliteView{GnssSystem::Gps, 5, 5, 328, std::nullopt, false}));
  EXPECT_EQ(s.satellites.front().prn, 3) << "by system, then number";
}

TEST_F(NmeaCapture, HoluxCutMidSentenceTakesOnlyWholeEpochs) {
  std::string bytes = captureBytes("holux-gm-210.log");
  ASSERT_EQ(bytes.back(), '\n');
  bytes.pop_back();  // the text file's own line end: the receiver's output stops inside the sentence
  NmeaDecoder decoder;
  decoder.feed(bytes);
  const GnssStatus& s = decoder.status();
  EXPECT_EQ(s.badChecksums, 0u);
  EXPECT_EQ(s.sentences, 39u);
  // No fix (GGA quality 0, RMC 'V'), 9 in view by the last GSV: the stale position is not shown; the time is
  // the last whole epoch's, closed by its RMC.
  EXPECT_EQ(statusLine(s),
            "Фикс: нет | GPS 0/9 | ГЛОНАСС 0/0 | HDOP 50.0 | координаты — | высота — | скорость — | UTC 01:25:29 | "
            "ошибок КС: 0");
  EXPECT_TRUE(std::none_of(s.satellites.begin(), s.satellites.end(), [](const auto& v) { return v.used; }));
}

// The L70 begins its epochs with ZDA and ends them with GST; the PMTK answers between two epochs are no
// part of either.
TEST_F(NmeaCapture, QuectelEpochsEndWhereTheModuleEndsThem) {
  NmeaDecoder decoder;
  std::vector<std::string> epochTimes;
  decoder.setEpochHandler([&](const GnssStatus& s) { epochTimes.push_back(s.utcTime.value_or("?")); });
  decoder.feed(captureBytes("quectel-L70.log"));
  std::vector<std::string> expected;
  for (int second = 20; second <= 34; ++second) expected.push_back("15:01:" + std::to_string(second));
  EXPECT_EQ(epochTimes, expected);
  EXPECT_EQ(decoder.status().fix, GnssStatus::Fix::ThreeD);
  EXPECT_EQ(decoder.status().gps, (GnssStatus::Satellites{8, 13}));
  EXPECT_EQ(decoder.status().badChecksums, 0u);
}

TEST(NmeaDecoder, AnEpochCountsOnlyOnceWholeAndFromItsStart) {
  NmeaDecoder decoder;
  int epochs = 0;
  decoder.setEpochHandler([&](const GnssStatus&) { ++epochs; });
  // Joined after the epoch's GSA: what follows is its tail, never shown as "GPS 0/4".
  const std::string first = mtkEpoch("101500.00");
  decoder.feed(first.substr(first.find("$GPGSV")));
  decoder.feed(mtkEpoch("101501.00").substr(0, 150));
  EXPECT_EQ(epochs, 0);
  EXPECT_FALSE(decoder.status().utcTime);
  // The tail taught it the sentence that closes an epoch (ZDA): 10:15:01 is whole when its ZDA comes,
  // without waiting a second for the next epoch.
  decoder.feed(mtkEpoch("101501.00").substr(150));
  ASSERT_EQ(epochs, 1);
  EXPECT_EQ(decoder.status().utcTime, "10:15:01");
  EXPECT_EQ(decoder.status().gps, (GnssStatus::Satellites{3, 4}));
  decoder.feed(mtkEpoch("101502.00").substr(0, 100));
  EXPECT_EQ(epochs, 1);
  decoder.feed(mtkEpoch("101502.00").substr(100));
  ASSERT_EQ(epochs, 2);
  EXPECT_EQ(decoder.status().utcTime, "10:15:02");
  EXPECT_EQ(statusLine(decoder.status()),
            "Фикс: 3D | GPS 3/4 | ГЛОНАСС 0/0 | HDOP 1.2 | 55.752057° N 37.626130° E | высота 150.0 м | "
            "скорость 18.5 км/ч, курс 90° | UTC 10:15:02 | ошибок КС: 0");
}

// A module told to send only GGA and RMC: their quality and status make the fix, and GGA its count.
TEST(NmeaDecoder, FixFromGgaAndRmcWithoutGsa) {
  NmeaDecoder decoder;
  for (const char* time : {"101500.00", "101501.00", "101502.00", "101503.00"}) {
    decoder.feed(sentence(std::string("GPGGA,") + time + ",5545.1234,N,03737.5678,E,2,07,0.90,150.0,M,14.0,M,,") +
                 sentence(std::string("GPRMC,") + time + ",A,5545.1234,N,03737.5678,E,0.0,,091226,,,D"));
  }
  const GnssStatus& s = decoder.status();
  EXPECT_EQ(s.fix, GnssStatus::Fix::ThreeD);
  EXPECT_EQ(s.correction, GnssStatus::Correction::Differential);
  EXPECT_EQ(s.gps.used, 7);
  EXPECT_TRUE(s.latitude);

  // Without GGA an RMC fix has no height: 2D. RMC 'V' beside a repeated old position: no fix, no position.
  NmeaDecoder rmcOnly;
  for (const char* time : {"101500.00", "101501.00", "101502.00"}) {
    rmcOnly.feed(sentence(std::string("GPRMC,") + time + ",A,5545.1234,N,03737.5678,E,0.0,,091226,,,E"));
  }
  EXPECT_EQ(rmcOnly.status().fix, GnssStatus::Fix::TwoD);
  EXPECT_EQ(rmcOnly.status().correction, GnssStatus::Correction::Estimated);
  for (const char* time : {"101503.00", "101504.00"}) {
    rmcOnly.feed(sentence(std::string("GPRMC,") + time + ",V,5545.1234,N,03737.5678,E,0.0,,091226,,,N"));
  }
  EXPECT_EQ(rmcOnly.status().fix, GnssStatus::Fix::None);
  EXPECT_FALSE(rmcOnly.status().latitude);
  EXPECT_FALSE(rmcOnly.status().speed);
}

TEST(NmeaDecoder, StaleAfterThreeSecondsWithoutASentence) {
  NmeaDecoder decoder;
  const auto t0 = NmeaDecoder::Clock::time_point{} + 1h;
  EXPECT_EQ(receiverLine(decoder, t0), "нет данных");
  decoder.feed(mtkEpoch("101500.00"), t0);
  EXPECT_EQ(receiverLine(decoder, t0), "Ожидание NMEA потока...");
  decoder.feed(mtkEpoch("101501.00") + mtkEpoch("101502.00"), t0 + 1s);
  EXPECT_TRUE(decoder.fresh(t0 + 3999ms));
  EXPECT_EQ(receiverLine(decoder, t0 + 2500ms), statusLine(decoder.status()) + " | данные 1 с назад");
  EXPECT_FALSE(decoder.fresh(t0 + 4s));
  EXPECT_EQ(receiverLine(decoder, t0 + 4s), "нет данных: модуль молчит 3 с");
  // Bytes that are no sentence do not make the module heard.
  decoder.feed(std::string("\r\n\0 noise", 9), t0 + 5s);
  EXPECT_FALSE(decoder.fresh(t0 + 5s));

  // A module that never said a word is silent from the first look.
  NmeaDecoder off;
  off.feed("", t0);
  EXPECT_EQ(receiverLine(off, t0 + 3s), "нет данных: модуль молчит 3 с");
}

TEST(NmeaDecoder, RefusesSentencesWithWrongOrMissingChecksum) {
  NmeaDecoder decoder;
  decoder.feed(mtkEpoch("202708.000") + mtkEpoch("202709.000"));
  ASSERT_TRUE(decoder.status().latitude);
  // One digit of the latitude changed in transit; the checksum stayed.
  decoder.feed("$GPGGA,202710.000,4504.1297,N,12118.8513,W,2,10,0.98,1127.4,M,-19.6,M,0000,0000*63\r\n");
  decoder.feed("$GPGGA,202711.000,4504.1297,N,12118.8513,W,2,10,0.98,1127.4,M,-19.6,M,0000,0000\r\n");
  decoder.feed("$GPGGA,202712.000,4504.1297,N,12118.8513,W,2,10,0.98,1127.4,M,-19.6,M,0000,0000*6\r\n");
  const GnssStatus& s = decoder.status();
  EXPECT_EQ(s.badChecksums, 3u);
  EXPECT_EQ(s.sentences, 10u);
  EXPECT_NEAR(*s.latitude, 55 + 45.1234 / 60, 1e-9);
  EXPECT_EQ(s.utcTime, "20:27:09");
}

// A GN receiver sends one GSA per system each epoch; used counts follow the epoch, not add up.
TEST(NmeaDecoder, GnTalkerCountsGpsAndGlonassApartPerEpoch) {
  const auto epoch = [](const std::string& time, bool glonass) {
    return sentence("GNGGA," + time + ",5545.1234,N,03737.5678,E,1,08,0.90,150.0,M,14.0,M,,") +
           sentence("GNGSA,A,3,02,05,13,15,29,,,,,,,,1.60,0.90,1.30,1") +
           sentence(glonass ? "GNGSA,A,3,66,67,81,,,,,,,,,,1.60,0.90,1.30,2"
                            : "GNGSA,A,3,,,,,,,,,,,,,1.60,0.90,1.30,2") +
           sentence("GBGSA,A,3,01,02,03,,,,,,,,,,1.60,0.90,1.30") +
           sentence("GPGSV,3,1,12,02,40,100,40,05,50,200,41,13,30,300,38,15,20,050,35") +
           sentence("GLGSV,3,1,09,66,40,100,40,67,50,200,41,81,30,300,38,82,20,050,35") +
           sentence("GNRMC," + time + ",A,5545.1234,N,03737.5678,E,0.0,,091226,,,A");
  };
  NmeaDecoder decoder;
  decoder.feed(epoch("101459.00", true) + epoch("101500.00", true) + epoch("101501.00", true));
  EXPECT_EQ(decoder.status().gps, (GnssStatus::Satellites{5, 12}));
  EXPECT_EQ(decoder.status().glonass, (GnssStatus::Satellites{3, 9}));
  const auto& sky = decoder.status().satellites;
  EXPECT_EQ(std::count_if(sky.begin(), sky.end(), [](const auto& v) { return v.system == GnssSystem::Glonass; }), 4);

  // GLONASS lost: its GSA comes empty.
  decoder.feed(epoch("101502.00", false) + epoch("101503.00", false));
  EXPECT_EQ(decoder.status().gps.used, 5);
  EXPECT_EQ(decoder.status().glonass.used, 0);
  EXPECT_EQ(decoder.status().badChecksums, 0u);
}

TEST(NmeaDecoder, JunkZeroBytesAndOverlongLinesAreNeverTaken) {
  const std::string good = mtkEpoch("101500.00") + mtkEpoch("101501.00") + mtkEpoch("101502.00");
  NmeaDecoder decoder;
  // A zero byte leaves the XOR as it was, so only refusing the byte keeps these sentences out.
  std::string withZero = good;
  for (std::size_t at = good.find(",55"); at != std::string::npos; at = withZero.find(",55", at + 2)) {
    withZero.insert(at, 1, '\0');
  }
  decoder.feed(withZero);
  // Over-long with a right checksum: longer than any real sentence, so line noise.
  decoder.feed(sentence("GPGGA,202709.000,4404.1297,N,12118.8513,W,2,10,0.98" + std::string(200, '0')));
  std::mt19937 random(20261209);
  std::string noise(1 << 16, '\0');
  for (char& c : noise) c = static_cast<char>(random() % 256);
  decoder.feed(noise);
  EXPECT_FALSE(decoder.status().latitude);

  const std::size_t before = decoder.status().sentences;
  decoder.feed(std::string("\r\n") + good);
  EXPECT_EQ(decoder.status().sentences, before + 15);
  EXPECT_TRUE(decoder.status().latitude);
}

}  // namespace
}  // namespace orsa::firmware
