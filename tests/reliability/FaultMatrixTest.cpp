#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "reliability/FaultCell.h"
#include "reliability/OperationRunner.h"
#include "service/ServiceMessages.h"
#include "service/ServiceThread.h"

namespace orsa::reliability {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Every file under a folder with its bytes: what a run must leave exactly as it found it.
std::map<fs::path, std::string> snapshot(const fs::path& folder) {
  std::map<fs::path, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    files[entry.path()] = std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return files;
}

class FaultMatrix : public ::testing::TestWithParam<FaultCell> {
 protected:
  FaultMatrix() : folder(fs::temp_directory_path() / ("orsa-fault-matrix-" + std::to_string(std::random_device{}()))) {
    fs::create_directories(folder);
  }
  ~FaultMatrix() override {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }

  // A fault-free beacon for what follows: the same one with its plan cleared, or a new one where
  // the old one hung up for good.
  void healBeacon() {
    if (rig.beacon->isHungUp()) {
      rig.beacon = std::make_unique<sim::SimulatedBeacon>();
      rig.host.setPortChoice(link::PortChoice{false, rig.beacon->portPath()});
    } else {
      rig.beacon->setFaults({});
    }
  }

  fs::path folder;
  orsa::testing::SimRig rig;
};

TEST_P(FaultMatrix, EndsWithItsMessageInTimeAndLeavesThePortAndFilesAsTheyWere) {
  const FaultCell& cell = GetParam();
  OperationRunner runner(rig, folder);
  runner.prepare(cell.operation);
  const auto filesBefore = snapshot(folder);
  rig.beacon->setFaults(cell.plan);

  const RunResult run = runner.run(cell);
  ASSERT_TRUE(run.started) << "the channel was free";
  EXPECT_EQ(run.message, cell.expected);
  EXPECT_LE(run.elapsed, cell.budget) << "took "
                                      << std::chrono::duration_cast<std::chrono::milliseconds>(run.elapsed).count()
                                      << " ms";
  if (cell.operation == Operation::SettingsRead) {
    EXPECT_EQ(run.recordShown, cell.expected.empty()) << "the record is shown exactly when no message comes";
  }
  if (cell.operation == Operation::GnssFlash) {
    EXPECT_EQ(run.enables, 1) << "the start button comes back once";
  }
  EXPECT_FALSE(rig.gate.holder()) << "the channel's claim ended with the run";

  healBeacon();
  const RunResult next = runner.probe();
  ASSERT_TRUE(next.started) << "a new operation may start at once";
  EXPECT_EQ(next.message, service::messages::kGnssStopped);
  EXPECT_LT(next.elapsed, std::chrono::milliseconds(service::ServiceThread::kPowerTimeoutMs));

  EXPECT_EQ(snapshot(folder), filesBefore) << "no file was added, removed or changed";
}

std::string cellName(const ::testing::TestParamInfo<FaultCell>& info) {
  return std::string(operationId(info.param.operation)) + "_" + std::string(info.param.faultId);
}

INSTANTIATE_TEST_SUITE_P(Cells, FaultMatrix, ::testing::ValuesIn(runnableCells()), cellName);

}  // namespace
}  // namespace orsa::reliability
