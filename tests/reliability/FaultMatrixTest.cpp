#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "reliability/FaultCell.h"
#include "reliability/OperationRunner.h"
#include "support/BeaconFigures.h"
#include "support/TempDir.h"
#include "support/TestClock.h"

namespace orsa::reliability {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
namespace figures = orsa::testing::figures;

// Every file under a folder with its bytes: what a run must leave exactly as it found it.
std::map<fs::path, std::string> snapshot(const fs::path& folder) {
  std::map<fs::path, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    files[entry.path()] = orsa::testing::fileContents(entry.path());
  return files;
}

class FaultMatrix : public ::testing::TestWithParam<FaultCell> {
 protected:
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

  // From the cell's silent frame on, every wait of the operation runs out at once.
  void passWaitsFromTheSilentFrame(const SilentFrom& silent) {
    rig.beacon->setFrameObserver([this, silent, seen = 0U](const sim::FrameRecord& frame) mutable {
      if (frame.type == silent.type && ++seen == silent.nth) clock.passWaits(true);
    });
  }

  orsa::testing::TempDir dir{"orsa-fault-matrix-"};
  const fs::path& folder = dir.path();
  orsa::testing::TestClock clock;
  orsa::testing::SimRig rig{{}, GetParam().silentFrom ? static_cast<link::Clock&>(clock) : link::steadyClock()};
};

TEST_P(FaultMatrix, EndsWithItsMessageInTimeAndLeavesThePortAndFilesAsTheyWere) {
  const FaultCell& cell = GetParam();
  OperationRunner runner(rig, folder);
  runner.prepare(cell.operation);
  const auto filesBefore = snapshot(folder);
  rig.beacon->setFaults(cell.plan);
  if (cell.silentFrom) passWaitsFromTheSilentFrame(*cell.silentFrom);

  const RunResult run = runner.run(cell);
  rig.beacon->setFrameObserver({});
  clock.passWaits(false);
  if (cell.silentFrom) {
    EXPECT_GE(clock.timeOuts(), 1u) << "a wait ran out";
  }
  ASSERT_TRUE(run.started) << "the channel was free";
  // A line ending in "…" is known only up to there (it goes on to quote garbage).
  constexpr std::string_view kGoesOn = "…";
  if (cell.expected.ends_with(kGoesOn)) {
    const auto known = cell.expected.substr(0, cell.expected.size() - kGoesOn.size());
    EXPECT_TRUE(run.message.starts_with(known)) << run.message;
  } else {
    EXPECT_EQ(run.message, cell.expected);
  }
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(run.elapsed);
  EXPECT_LE(took, cell.budget) << "took " << took.count() << " ms";
  EXPECT_GE(took, cell.waitsAtLeast) << "ended before its time-out, after " << took.count() << " ms";
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
  EXPECT_EQ(next.message, figures::kGnssStopped);
  EXPECT_LT(next.elapsed, figures::kPowerTimeout);

  EXPECT_EQ(snapshot(folder), filesBefore) << "no file was added, removed or changed";
}

std::string cellName(const ::testing::TestParamInfo<FaultCell>& info) {
  return std::string(operationId(info.param.operation)) + "_" + std::string(info.param.faultId);
}

INSTANTIATE_TEST_SUITE_P(Cells, FaultMatrix, ::testing::ValuesIn(runnableCells()), cellName);

}  // namespace
}  // namespace orsa::reliability
