#include "cli/ProgressBar.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/Checked.h"

namespace orsa::cli {
namespace {

using namespace std::chrono_literals;

TEST(ProgressBar, ShowsPercentRateAndTimeLeftForBytes) {
  auto line = ProgressBar::render("Прошивка", ProgressBar::Unit::Bytes, 512 * 1024, 1024 * 1024, 4s);
  EXPECT_NE(line.find(" 50%"), std::string::npos) << line;
  EXPECT_NE(line.find("512.0 KiB / 1.0 MiB"), std::string::npos) << line;
  EXPECT_NE(line.find("128.0 KiB/s"), std::string::npos) << line;
  EXPECT_NE(line.find("0:04 left"), std::string::npos) << line;
  EXPECT_NE(line.find("[###############...............]"), std::string::npos) << line;
}

TEST(ProgressBar, StepsAndEdgeFigures) {
  EXPECT_NE(ProgressBar::render("Чтение", ProgressBar::Unit::Steps, 28, 29, 1s).find("28/29"), std::string::npos);
  auto empty = ProgressBar::render("x", ProgressBar::Unit::Bytes, 0, 0, 0s);
  EXPECT_NE(empty.find("100%"), std::string::npos) << "an empty payload is complete, not a division by zero";
  auto beyond = ProgressBar::render("x", ProgressBar::Unit::Steps, 5, 2, 0s);
  EXPECT_NE(beyond.find("100%"), std::string::npos);
}

TEST(ProgressBar, DrawsNothingWhenNotATerminal) {
  std::ostringstream stream;
  {
    ProgressBar bar(stream, false, "x");
    bar.update(1, 2);
  }
  EXPECT_TRUE(stream.str().empty());
  {
    ProgressBar bar(stream, true, "x");
    bar.update(1, 2);
  }
  EXPECT_EQ(orsa::testing::first(stream.str()), '\r');
  EXPECT_EQ(orsa::testing::last(stream.str()), '\n') << "the line is ended when the bar goes away";
}

}  // namespace
}  // namespace orsa::cli
