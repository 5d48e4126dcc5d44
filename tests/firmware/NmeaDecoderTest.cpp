#include "firmware/NmeaDecoder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace orsa::firmware {
namespace {

const std::filesystem::path kNmeaDir = std::filesystem::path(ORSA_TESTDATA_DIR) / "nmea";

// The receiver's bytes of a capture, line endings as recorded, without the capture's '#' header comments.
std::string captureBytes(const std::string& name) {
  std::ifstream file(kNmeaDir / name, std::ios::binary);
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

void expectSameStatus(const GnssStatus& a, const GnssStatus& b) {
  EXPECT_EQ(a.fix, b.fix);
  EXPECT_EQ(a.gps.used, b.gps.used);
  EXPECT_EQ(a.gps.seen, b.gps.seen);
  EXPECT_EQ(a.glonass.used, b.glonass.used);
  EXPECT_EQ(a.glonass.seen, b.glonass.seen);
  EXPECT_EQ(a.hdop, b.hdop);
  EXPECT_EQ(a.latitude, b.latitude);
  EXPECT_EQ(a.longitude, b.longitude);
  EXPECT_EQ(a.utcTime, b.utcTime);
  EXPECT_EQ(a.sentences, b.sentences);
  EXPECT_EQ(a.badChecksums, b.badChecksums);
}

class NmeaCapture : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::is_directory(kNmeaDir)) GTEST_SKIP() << "no NMEA captures at " << kNmeaDir;
  }
};

// Every sentence of the capture is cut somewhere by odd-sized chunks, many of them byte by byte.
TEST_F(NmeaCapture, Mt3339InOddChunksDecodesAsWholeToTheLastEpoch) {
  const std::string bytes = captureBytes("mt3339.log");
  NmeaDecoder whole;
  whole.feed(bytes);
  NmeaDecoder chunked;
  const std::size_t sizes[] = {1, 2, 3, 5, 7, 11, 13, 64};
  std::size_t at = 0;
  for (std::size_t i = 0; at < bytes.size(); ++i) {
    const std::size_t size = std::min(sizes[i % std::size(sizes)], bytes.size() - at);
    chunked.feed(std::string_view(bytes).substr(at, size));
    at += size;
  }
  expectSameStatus(whole.status(), chunked.status());

  // Last epoch: GGA 202709.000,4404.1297,N,12118.8513,W,2,10,0.98; GSA mode 3 with 10 satellites; last GSV 12.
  const GnssStatus& s = whole.status();
  EXPECT_EQ(s.sentences, 138u);
  EXPECT_EQ(s.badChecksums, 0u);
  EXPECT_EQ(s.fix, GnssStatus::Fix::ThreeD);
  ASSERT_TRUE(s.latitude && s.longitude);
  EXPECT_NEAR(*s.latitude, 44 + 4.1297 / 60, 1e-9);
  EXPECT_NEAR(*s.longitude, -(121 + 18.8513 / 60), 1e-9);
  EXPECT_EQ(s.utcTime, "20:27:09");
  EXPECT_EQ(s.hdop, 0.98);
  EXPECT_EQ(s.gps.used, 10);
  EXPECT_EQ(s.gps.seen, 12);
  EXPECT_EQ(statusLine(s),
            "Фикс: 3D | GPS 10/12 | ГЛОНАСС 0/0 | HDOP 0.98 | 44.068828° N 121.314188° W | UTC 20:27:09 | "
            "ошибок КС: 0");
}

TEST_F(NmeaCapture, HoluxCutMidSentenceTakesOnlyWholeSentences) {
  std::string bytes = captureBytes("holux-gm-210.log");
  ASSERT_EQ(bytes.back(), '\n');
  bytes.pop_back();  // the text file's own line end: the receiver's output stops inside the sentence
  NmeaDecoder decoder;
  decoder.feed(bytes);
  const GnssStatus& s = decoder.status();
  EXPECT_EQ(s.badChecksums, 0u);
  EXPECT_EQ(s.sentences, 39u);
  // No fix (GGA quality 0, RMC 'V'), 9 in view by the last GSV: the stale position is not shown; the time is
  // the last whole RMC's.
  EXPECT_EQ(s.fix, GnssStatus::Fix::None);
  EXPECT_FALSE(s.latitude);
  EXPECT_EQ(s.utcTime, "01:25:29");
  EXPECT_EQ(statusLine(s),
            "Фикс: нет | GPS 0/9 | ГЛОНАСС 0/0 | HDOP 50.0 | координаты — | UTC 01:25:29 | ошибок КС: 0");
}

TEST(NmeaDecoder, RefusesSentencesWithWrongOrMissingChecksum) {
  NmeaDecoder decoder;
  decoder.feed("$GPGGA,202709.000,4404.1297,N,12118.8513,W,2,10,0.98,1127.4,M,-19.6,M,0000,0000*6C\r\n");
  ASSERT_TRUE(decoder.status().latitude);
  // One digit of the latitude changed in transit; the checksum stayed.
  decoder.feed("$GPGGA,202710.000,4504.1297,N,12118.8513,W,2,10,0.98,1127.4,M,-19.6,M,0000,0000*63\r\n");
  decoder.feed("$GPGGA,202711.000,4504.1297,N,12118.8513,W,2,10,0.98,1127.4,M,-19.6,M,0000,0000\r\n");
  decoder.feed("$GPGGA,202712.000,4504.1297,N,12118.8513,W,2,10,0.98,1127.4,M,-19.6,M,0000,0000*6\r\n");
  const GnssStatus& s = decoder.status();
  EXPECT_EQ(s.badChecksums, 3u);
  EXPECT_EQ(s.sentences, 1u);
  EXPECT_NEAR(*s.latitude, 44.068828, 1e-6);
  EXPECT_EQ(s.utcTime, "20:27:09");
}

// A GN receiver sends one GSA per system each epoch; used counts must follow the epoch, not add up.
TEST(NmeaDecoder, GnTalkerCountsGpsAndGlonassApartPerEpoch) {
  NmeaDecoder decoder;
  decoder.feed(sentence("GNGGA,101500.00,5545.1234,N,03737.5678,E,1,08,0.90,150.0,M,14.0,M,,") +
               sentence("GNGSA,A,3,02,05,13,15,29,,,,,,,,1.60,0.90,1.30,1") +
               sentence("GNGSA,A,3,66,67,81,,,,,,,,,,1.60,0.90,1.30,2") +
               sentence("GBGSA,A,3,01,02,03,,,,,,,,,,1.60,0.90,1.30") +
               sentence("GPGSV,3,1,12,02,40,100,40,05,50,200,41,13,30,300,38,15,20,050,35") +
               sentence("GLGSV,3,1,09,66,40,100,40,67,50,200,41,81,30,300,38,82,20,050,35") +
               sentence("GNRMC,101500.00,A,5545.1234,N,03737.5678,E,0.0,,091226,,,A"));
  EXPECT_EQ(decoder.status().gps.used, 5);
  EXPECT_EQ(decoder.status().gps.seen, 12);
  EXPECT_EQ(decoder.status().glonass.used, 3);
  EXPECT_EQ(decoder.status().glonass.seen, 9);
  EXPECT_NEAR(*decoder.status().latitude, 55 + 45.1234 / 60, 1e-9);
  EXPECT_NEAR(*decoder.status().longitude, 37 + 37.5678 / 60, 1e-9);

  // Next epoch, old-style GSA without the system ID: GPS first, and the GLONASS count holds until its GSA.
  decoder.feed(sentence("GNGGA,101501.00,5545.1234,N,03737.5678,E,1,08,0.90,150.0,M,14.0,M,,") +
               sentence("GNGSA,A,3,02,05,13,15,,,,,,,,,1.60,0.90,1.30"));
  EXPECT_EQ(decoder.status().gps.used, 4);
  EXPECT_EQ(decoder.status().glonass.used, 3);
  // GLONASS lost: its GSA comes empty and says nothing of its system; the epoch's end settles it.
  decoder.feed(sentence("GNGSA,A,3,,,,,,,,,,,,,1.60,0.90,1.30") +
               sentence("GNRMC,101501.00,A,5545.1234,N,03737.5678,E,0.0,,091226,,,A"));
  EXPECT_EQ(decoder.status().gps.used, 4);
  EXPECT_EQ(decoder.status().glonass.used, 0);
  EXPECT_EQ(decoder.status().badChecksums, 0u);
}

TEST(NmeaDecoder, JunkZeroBytesAndOverlongLinesAreNeverTaken) {
  const std::string good = sentence("GPGGA,202709.000,4404.1297,N,12118.8513,W,2,10,0.98,1127.4,M,-19.6,M,0000,0000");
  NmeaDecoder decoder;
  // A zero byte leaves the XOR as it was, so only refusing the byte keeps this sentence out.
  std::string withZero = good;
  withZero.insert(10, 1, '\0');
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
  EXPECT_EQ(decoder.status().sentences, before + 1);
  EXPECT_TRUE(decoder.status().latitude);
}

}  // namespace
}  // namespace orsa::firmware
