#include "sim/BeaconModel.h"
#include "sim/FaultPlan.h"
#include "sim/PtyClient.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

namespace orsa::sim {
namespace {

using test::bytesOf;
using test::textOf;

Frame frame(std::uint8_t type, std::uint32_t parameter, std::vector<std::uint8_t> data = {}) {
  return Frame{type, parameter, std::move(data)};
}

std::string readText(BeaconModel& model, std::uint32_t parameter) {
  const auto reply = model.handle(frame(1, parameter));
  EXPECT_EQ(reply.size(), 32U);
  return textOf(reply);
}

TEST(BeaconModel, HasTheTwentyNineCells) {
  const auto table = BeaconModel::cellTable();
  ASSERT_EQ(table.size(), 29U);
  std::set<std::uint32_t> parameters;
  for (const auto& info : table) {
    parameters.insert(info.parameter);
    EXPECT_EQ(info.parameter % 32, 0U) << info.name;
    EXPECT_GE(info.parameter, 0x080800A0U) << info.name;
    EXPECT_LE(info.parameter, 0x080808E0U) << info.name;
    EXPECT_LE(info.factoryText.size(), 31U) << info.name;
  }
  EXPECT_EQ(parameters.size(), 29U);
  const std::set<std::uint32_t> readOnly{0x080807E0, 0x080807A0, 0x080807C0, 0x080808E0};
  for (const auto& info : table) {
    EXPECT_EQ(info.readOnly, readOnly.contains(info.parameter)) << info.name;
  }
}

TEST(BeaconModel, AnswersReadsWithFactoryContents) {
  BeaconModel model;
  EXPECT_EQ(readText(model, 0x08080460), "00000");
  EXPECT_EQ(readText(model, 0x08080480), "5820");
  EXPECT_EQ(readText(model, 0x08080580), "3");
  EXPECT_EQ(readText(model, 0x08080560), "1200");
  EXPECT_EQ(readText(model, 0x080800C0), "23351");
  EXPECT_EQ(readText(model, 0x08080100), "20332");
  EXPECT_EQ(readText(model, 0x08080120), "");
  EXPECT_EQ(readText(model, 0x08080620), "2300070010001700");
  EXPECT_EQ(readText(model, 0x08080720), "0 001");
  EXPECT_EQ(readText(model, 0x08080540), "50");
  EXPECT_EQ(readText(model, 0x080804A0), "00000");
  EXPECT_EQ(readText(model, 0x080802C0), "1");
  EXPECT_FALSE(readText(model, 0x080800A0).empty());
  EXPECT_FALSE(readText(model, 0x080807A0).empty());
  EXPECT_FALSE(readText(model, 0x080807C0).empty());
  EXPECT_FALSE(readText(model, 0x080808E0).empty());
  const std::string imei = readText(model, 0x080807E0);
  ASSERT_EQ(imei.size(), 15U);
  EXPECT_EQ(imei.find_first_not_of("0123456789"), std::string::npos);
}

TEST(BeaconModel, UnknownReadGivesZeros) {
  BeaconModel model;
  EXPECT_EQ(model.handle(frame(1, 0x08080000)), std::vector<std::uint8_t>(32, 0));
  EXPECT_TRUE(model.protocolErrors().empty());
}

TEST(BeaconModel, WriteStoresZeroPaddedAndAcknowledges) {
  BeaconModel model;
  std::vector<std::uint8_t> record(32, 0);
  record[0] = '7';
  record[1] = '9';
  record[31] = 0xEE;  // bytes after the terminator are kept as sent
  EXPECT_EQ(model.handle(frame(2, 0x08080460, record)).size(), 1U);
  const auto stored = model.cell(0x08080460);
  EXPECT_EQ(std::vector<std::uint8_t>(stored.begin(), stored.end()), record);

  EXPECT_EQ(model.handle(frame(2, 0x08080480, bytesOf("1234"))).size(), 1U);
  auto expected = bytesOf("1234");
  expected.resize(32, 0);
  const auto pin = model.cell(0x08080480);
  EXPECT_EQ(std::vector<std::uint8_t>(pin.begin(), pin.end()), expected);
}

TEST(BeaconModel, ReadOnlyCellsIgnoreWrites) {
  BeaconModel model;
  for (const std::uint32_t parameter : {0x080807E0U, 0x080807A0U, 0x080807C0U, 0x080808E0U}) {
    const auto before = model.cell(parameter);
    EXPECT_EQ(model.handle(frame(2, parameter, std::vector<std::uint8_t>(32, '9'))).size(), 1U);
    EXPECT_EQ(model.cell(parameter), before);
  }
  EXPECT_TRUE(model.protocolErrors().empty());
}

TEST(BeaconModel, WriteToUnknownParameterIsAnErrorWithoutAnswer) {
  BeaconModel model;
  EXPECT_TRUE(model.handle(frame(2, 0x08080008, std::vector<std::uint8_t>(32, '1'))).empty());
  ASSERT_EQ(model.protocolErrors().size(), 1U);
  EXPECT_NE(model.protocolErrors()[0].find("0x08080008"), std::string::npos);
}

TEST(BeaconModel, OverlongWriteKeeps32BytesAndIsReported) {
  BeaconModel model;
  EXPECT_EQ(model.handle(frame(2, 0x08080460, std::vector<std::uint8_t>(40, '5'))).size(), 1U);
  EXPECT_EQ(model.cell(0x08080460)[31], '5');
  EXPECT_EQ(model.protocolErrors().size(), 1U);
}

TEST(BeaconModel, SetCellReplacesTextAndRefusesUnknownCells) {
  BeaconModel model;
  model.setCell(0x080807E0, "123456789012345");
  EXPECT_EQ(textOf(model.cell(0x080807E0)), "123456789012345");
  model.setCell(0x08080460, std::string(40, 'x'));
  EXPECT_EQ(model.cell(0x08080460)[31], 'x');
  EXPECT_THROW(model.setCell(0x08080004, "1"), std::out_of_range);
}

TEST(BeaconModel, PowerAndBaudCommandsAcknowledge) {
  BeaconModel model;
  EXPECT_EQ(model.handle(frame(3, 0)).size(), 1U);
  EXPECT_TRUE(model.modemPowered());
  EXPECT_EQ(model.handle(frame(4, 0)).size(), 1U);
  EXPECT_TRUE(model.gnssPowered());
  EXPECT_EQ(model.handle(frame(7, 115200)).size(), 1U);
  EXPECT_EQ(model.gnssBaud(), 115200U);
  EXPECT_EQ(model.handle(frame(5, 0)).size(), 1U);
  EXPECT_FALSE(model.modemPowered());
  EXPECT_EQ(model.handle(frame(6, 0)).size(), 1U);
  EXPECT_FALSE(model.gnssPowered());
}

TEST(BeaconModel, EraseAndBlocksLandAtTheirAddresses) {
  BeaconModel model;
  std::vector<std::uint8_t> first(2048), second(5);
  for (std::size_t i = 0; i < first.size(); ++i) {
    first[i] = static_cast<std::uint8_t>(i * 7);
  }
  second = {1, 2, 3, 4, 5};
  EXPECT_EQ(model.handle(frame(11, 0x08006400, first)).size(), 1U);
  EXPECT_EQ(model.handle(frame(10, 0)).size(), 1U);
  EXPECT_EQ(model.eraseCount(), 1U);
  EXPECT_EQ(model.flashImage(8), std::vector<std::uint8_t>(8, 0xFF));  // the erase wiped the early write

  EXPECT_EQ(model.handle(frame(11, 0x08006400, first)).size(), 1U);
  EXPECT_EQ(model.handle(frame(11, 0x08006C00, second)).size(), 1U);
  EXPECT_EQ(model.handle(frame(11, 0x08006400, {})).size(), 1U);  // an empty block is acknowledged
  const auto image = model.flashImage(2048 + 6);
  EXPECT_TRUE(std::equal(first.begin(), first.end(), image.begin()));
  EXPECT_EQ(std::vector<std::uint8_t>(image.begin() + 2048, image.begin() + 2053), second);
  EXPECT_EQ(image[2053], 0xFF);
  EXPECT_TRUE(model.protocolErrors().empty());
  EXPECT_EQ(model.flashImage(10 * 1024 * 1024).size(), BeaconModel::flashSize);
}

TEST(BeaconModel, BlocksOutsideTheProgramFlashAreNotStored) {
  BeaconModel model;
  EXPECT_TRUE(model.handle(frame(11, 0x08006000, {1, 2, 3})).empty());
  const std::uint32_t end = BeaconModel::flashBase + BeaconModel::flashSize;
  EXPECT_TRUE(model.handle(frame(11, end - 2, {1, 2, 3})).empty());
  EXPECT_EQ(model.handle(frame(11, end - 3, {1, 2, 3})).size(), 1U);  // the last bytes still fit
  EXPECT_TRUE(model.handle(frame(11, 0xFFFFFFFF, {1, 2})).empty());
  EXPECT_EQ(model.protocolErrors().size(), 3U);
  EXPECT_EQ(model.flashImage(4), std::vector<std::uint8_t>(4, 0xFF));
}

TEST(BeaconModel, ModemAnswersOnlyWhilePoweredAndKeepsItsInput) {
  BeaconModel model;
  const auto at = frame(8, 0, bytesOf("AT\r\n"));
  EXPECT_TRUE(model.handle(at).empty());  // not switched on yet
  EXPECT_EQ(model.handle(frame(3, 0)).size(), 1U);
  EXPECT_EQ(model.handle(at), bytesOf("AT\r\r\nOK\r\n"));  // a modem echoes until told otherwise
  EXPECT_EQ(model.handle(frame(8, 0, bytesOf("ATE0\r\n"))), bytesOf("ATE0\r\r\nOK\r\n"));
  EXPECT_EQ(model.handle(frame(8, 0, bytesOf("AT+NOSUCH\r\n"))), bytesOf("\r\nERROR\r\n"));
  EXPECT_EQ(model.handle(frame(3, 0)).size(), 1U);  // already on: the echo stays off
  EXPECT_EQ(model.handle(at), bytesOf("\r\nOK\r\n"));
  EXPECT_EQ(model.handle(frame(5, 0)).size(), 1U);
  EXPECT_TRUE(model.handle(at).empty());
  EXPECT_EQ(model.handle(frame(3, 0)).size(), 1U);
  EXPECT_EQ(model.handle(at), bytesOf("AT\r\r\nOK\r\n"));  // power-on brings the echo back
  EXPECT_EQ(model.modemInput(), bytesOf("AT\r\nAT\r\nATE0\r\nAT+NOSUCH\r\nAT\r\nAT\r\nAT\r\n"));
  EXPECT_TRUE(model.gnssInput().empty());
}

TEST(BeaconModel, ModemThatStaysOffIsAcknowledgedButNeverAnswers) {
  BeaconModel model;
  model.setModemFaults(FaultPlan().modemStaysOff().modemFaults());
  EXPECT_EQ(model.handle(frame(3, 0)).size(), 1U);
  EXPECT_FALSE(model.modemPowered());
  EXPECT_TRUE(model.handle(frame(8, 0, bytesOf("AT\r\n"))).empty());
  model.setModemFaults({});
  EXPECT_EQ(model.handle(frame(3, 0)).size(), 1U);
  EXPECT_EQ(model.handle(frame(8, 0, bytesOf("AT\r\n"))), bytesOf("AT\r\r\nOK\r\n"));
}

TEST(BeaconModel, UnpoweredGnssAnswersNothingAndKeepsItsInput) {
  BeaconModel model;
  EXPECT_TRUE(model.handle(frame(9, 0, bytesOf("$PMTK180*3B\r\n"))).empty());
  EXPECT_TRUE(model.handle(frame(9, 0, {0xA0})).empty());
  auto expected = bytesOf("$PMTK180*3B\r\n");
  expected.push_back(0xA0);
  EXPECT_EQ(model.gnssInput(), expected);
}

struct EchoModem : ModemModel {
  std::vector<std::uint8_t> onData(std::span<const std::uint8_t> data) override { return {data.rbegin(), data.rend()}; }
};
struct ChattyGnss : GnssModel {
  std::vector<std::uint8_t> onData(std::span<const std::uint8_t>) override { return bytesOf("$GPGGA\r\n"); }
};

TEST(BeaconModel, ModelsArePluggable) {
  BeaconModel model;
  model.setModemModel(std::make_unique<EchoModem>());
  model.setGnssModel(std::make_unique<ChattyGnss>());
  model.handle(frame(3, 0));
  model.handle(frame(4, 0));
  EXPECT_EQ(model.handle(frame(8, 0, {1, 2, 3})), (std::vector<std::uint8_t>{3, 2, 1}));
  EXPECT_EQ(model.handle(frame(9, 0, {1})), bytesOf("$GPGGA\r\n"));
  model.setModemModel(nullptr);
  EXPECT_TRUE(model.handle(frame(8, 0, bytesOf("AT\r\n"))).empty());
}

TEST(BeaconModel, UnknownTypesAreNotAnswered) {
  BeaconModel model;
  EXPECT_TRUE(model.handle(frame(0, 0)).empty());
  EXPECT_TRUE(model.handle(frame(12, 0)).empty());
  EXPECT_EQ(model.protocolErrors().size(), 2U);
}

}  // namespace
}  // namespace orsa::sim
