#include "cli/WaitingLine.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "cli/Orsactl.h"
#include "settings/SlotId.h"
#include "sim/SimulatedBeacon.h"
#include "support/BeaconFigures.h"
#include "support/ToolRun.h"
#include "support/ChildProcess.h"
#include "support/FakePortWatcher.h"
#include "support/Frames.h"
#include "support/TempDir.h"

namespace orsa::cli {
namespace {

using settings::SlotId;
namespace figures = orsa::testing::figures;

using orsa::testing::ToolRun;

// orsactl with the beacons a test plugs in and pulls out.
ToolRun orsactl(const std::vector<std::string>& args, std::unique_ptr<orsa::testing::FakePortWatcher> watcher) {
  std::ostringstream out, err;
  const int status = runOrsactl(args, out, err, nullptr, std::move(watcher));
  return {status, out.str(), err.str()};
}

using orsa::testing::fileContents;

// Rows end in CR LF; the fields of these rows hold no quotes, commas or line breaks.
std::vector<std::vector<std::string>> csvRows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    std::vector<std::string> fields;
    std::istringstream line(text.substr(start, end - start));
    for (std::string field; std::getline(line, field, ',');) fields.push_back(field);
    rows.push_back(fields);
  }
  return rows;
}

std::string cellText(const sim::SimulatedBeacon& beacon, SlotId slot) {
  return reinterpret_cast<const char*>(beacon.settingsCell(settings::parameterOf(slot)).data());
}

class WaitingLine : public ::testing::Test {
 protected:
  // The settings each beacon on the line gets, kept in a file as a service centre keeps them.
  std::string settingsFile() {
    sim::SimulatedBeacon model;
    model.setSettingsCell(settings::parameterOf(SlotId::OwnerPhone), "+79161234567");
    model.setSettingsCell(settings::parameterOf(SlotId::DevicePin), "0042");
    const std::string file = (dir / "line.json").string();
    std::ostringstream out, err;
    EXPECT_EQ(runOrsactl({"--port", model.portPath(), "read", "--save", file}, out, err), 0) << err.str();
    return file;
  }

  orsa::testing::TempDir dir{"orsa-wait-"};
  const std::string log = (dir / "results.csv").string();
};

TEST_F(WaitingLine, ThreeBeaconsPluggedInOneAfterAnotherAreWrittenAndLogged) {
  const std::string settings = settingsFile();
  std::array<sim::SimulatedBeacon, 3> beacons;
  const std::array<std::string, 3> imeis = {"866104023450001", "866104023450002", "866104023450003"};
  auto watcher = std::make_unique<orsa::testing::FakePortWatcher>();
  for (std::size_t i = 0; i < beacons.size(); ++i) {
    beacons[i].setSettingsCell(settings::parameterOf(SlotId::DeviceImei), imeis[i]);
    watcher->plugIn(beacons[i].portPath(), "SN" + std::to_string(i));
    // Told of twice before it is pulled out (a second announcement): still one beacon, written once.
    if (i == 0) watcher->plugIn(beacons[i].portPath(), "SN0");
    watcher->pullOut(beacons[i].portPath());
  }
  watcher->close();  // as Ctrl-C after the third

  ToolRun line = orsactl({"--wait", "--log", log, "write", settings}, std::move(watcher));
  EXPECT_EQ(line.status, 0) << line.err;
  EXPECT_NE(line.out.find("Итого: маяков 3, успешно 3, с ошибкой 0"), std::string::npos) << line.out;
  const auto rows = csvRows(fileContents(log));
  ASSERT_EQ(rows.size(), 4u) << fileContents(log);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"time", "port", "usb_serial", "imei", "operation", "status", "result",
                                               "seconds"}));
  for (std::size_t i = 0; i < beacons.size(); ++i) {
    const auto& row = rows[i + 1];
    ASSERT_EQ(row.size(), 8u);
    EXPECT_EQ(row[1], beacons[i].portPath());
    EXPECT_EQ(row[2], "SN" + std::to_string(i));
    EXPECT_EQ(row[3], imeis[i]);
    EXPECT_EQ(row[4], "write");
    EXPECT_EQ(row[5], "0");
    EXPECT_EQ(row[6], figures::kWriteDone);
    EXPECT_EQ(cellText(beacons[i], SlotId::DevicePin), "0042");
    EXPECT_EQ(orsa::testing::framesOfType(beacons[i].trace(), 2), figures::kWrittenSlots);
    EXPECT_NE(line.out.find(beacons[i].portPath() + "  SN" + std::to_string(i) + "  IMEI " + imeis[i]),
              std::string::npos)
        << line.out;
  }
}

// Pulled out in the middle of its read: one failed row, and the next beacon is written all the same.
TEST_F(WaitingLine, ABeaconPulledOutBeforeItsWorkEndsIsOneFailedRowAndTheLineGoesOn) {
  const std::string settings = settingsFile();
  sim::SimulatedBeacon pulled(sim::FaultPlan().hangUpAfter(10));
  sim::SimulatedBeacon next;
  auto watcher = std::make_unique<orsa::testing::FakePortWatcher>();
  watcher->plugIn(pulled.portPath(), "A1");
  watcher->pullOut(pulled.portPath());
  watcher->plugIn(next.portPath(), "B2");
  watcher->close();

  ToolRun line = orsactl({"--wait", "--log", log, "write", settings}, std::move(watcher));
  EXPECT_EQ(line.status, 1) << "one beacon failed";
  const auto rows = csvRows(fileContents(log));
  ASSERT_EQ(rows.size(), 3u) << fileContents(log);
  EXPECT_EQ(rows[1][1], pulled.portPath());
  EXPECT_NE(rows[1][5], "0");
  EXPECT_EQ(rows[1][6], figures::kReadFailed);
  EXPECT_EQ(orsa::testing::framesOfType(pulled.trace(), 2), 0u) << "nothing written to a beacon half read";
  EXPECT_EQ(rows[2][1], next.portPath());
  EXPECT_EQ(rows[2][5], "0");
  EXPECT_EQ(cellText(next, SlotId::DevicePin), "0042");
  EXPECT_NE(line.out.find("Итого: маяков 2, успешно 1, с ошибкой 1"), std::string::npos) << line.out;
}

// A value no beacon may take, or a firmware file that cannot be flashed, is refused once, before any
// beacon is opened, with the status of its kind: not as a failed row for each beacon plugged in.
TEST_F(WaitingLine, BadInputIsRefusedBeforeAnyBeaconIsOpened) {
  sim::SimulatedBeacon beacon;
  const std::string missingImage = (dir / "absent.fmw").string();
  const std::vector<std::pair<std::vector<std::string>, int>> refused = {
      {{"write", "--set", "DevicePin=abcd"}, 2},
      {{"write", "--set", "OwnerPhone=" + std::string(40, '1')}, 2},
      {{"firmware", missingImage}, 1},
  };
  for (const auto& [command, status] : refused) {
    auto watcher = std::make_unique<orsa::testing::FakePortWatcher>();
    watcher->plugIn(beacon.portPath(), "A1");
    watcher->close();
    std::vector<std::string> waiting{"--wait", "--log", log};
    waiting.insert(waiting.end(), command.begin(), command.end());
    ToolRun line = orsactl(waiting, std::move(watcher));
    EXPECT_EQ(line.status, status) << command[1] << '\n' << line.err;
    EXPECT_TRUE(line.err.starts_with("orsactl: ")) << line.err;
    EXPECT_EQ(line.out, "") << command[1];

    std::vector<std::string> several{"--port", beacon.portPath(), "--port", beacon.portPath() + "-second"};
    several.insert(several.end(), command.begin(), command.end());
    std::ostringstream out, err;
    EXPECT_EQ(runOrsactl(several, out, err), status) << command[1] << '\n' << err.str();
    EXPECT_EQ(out.str(), "") << "no table of beacons for a command refused";
  }
  EXPECT_TRUE(beacon.trace().empty()) << "the beacon heard nothing";
  EXPECT_FALSE(std::filesystem::exists(log)) << "no row for a beacon never opened";
}

// Ctrl-C is how a shift ends: the summary, the port free, and status 0 when no beacon failed.
TEST(WaitingLineProcess, CtrlCEndsTheWaitWithASummary) {
  orsa::testing::TempDir dir{"orsa-wait-"};
  const std::string log = (dir / "results.csv").string();
  orsa::testing::ChildProcess line(ORSA_ORSACTL_EXE, {"--wait", "--log", log, "read"});
  std::string err;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (err.find("Ожидание маяка") == std::string::npos && std::chrono::steady_clock::now() < deadline) {
    err += line.errorOutput();
  }
  ASSERT_NE(err.find("Ожидание маяка"), std::string::npos) << err;
  line.signal(SIGINT);
  EXPECT_EQ(line.waitForExit(std::chrono::seconds(30)), 0);
  EXPECT_EQ(line.standardOutput(), "Итого: маяков 0, успешно 0, с ошибкой 0\n");
  EXPECT_EQ(fileContents(log), "time,port,usb_serial,imei,operation,status,result,seconds\r\n");
}

}  // namespace
}  // namespace orsa::cli
