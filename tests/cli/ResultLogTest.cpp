#include "cli/ResultLog.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "support/TempDir.h"

namespace orsa::cli {
namespace {

using orsa::testing::fileContents;

// A later shift adds its rows under the earlier ones, never rewriting them, and quotes what needs it.
TEST(ResultLog, RowsAreAppendedUnderTheEarlierOnesAndQuotedAsCsvWants) {
  orsa::testing::TempDir dir{"orsa-log-"};
  const std::string path = (dir / "results.csv").string();
  std::string error;
  {
    auto log = ResultLog::open(path, error);
    ASSERT_TRUE(log) << error;
    ASSERT_TRUE(log->append({"2026-01-02T03:04:05+0300", "/dev/ttyACM0", "A1", "866104023450001", "write", 0,
                             "Настройки успешно записаны", 6.04},
                            error));
  }
  // A row cut short by a run that died mid-write: the next row starts on a line of its own.
  std::ofstream(path, std::ios::app | std::ios::binary) << "2026-01-02T03:05:00+0300,/dev/ttyACM0";
  {
    auto log = ResultLog::open(path, error);
    ASSERT_TRUE(log) << error;
    ASSERT_TRUE(log->append(
        {"2026-01-02T03:06:00+0300", "COM7", "", "", "firmware", 1, "сказал \"нет\", потом\nзамолчал", 12.34}, error));
  }
  EXPECT_EQ(fileContents(path),
            "time,port,usb_serial,imei,operation,status,result,seconds\r\n"
            "2026-01-02T03:04:05+0300,/dev/ttyACM0,A1,866104023450001,write,0,Настройки успешно записаны,6.0\r\n"
            "2026-01-02T03:05:00+0300,/dev/ttyACM0\r\n"
            "2026-01-02T03:06:00+0300,COM7,,,firmware,1,\"сказал \"\"нет\"\", потом\nзамолчал\",12.3\r\n");
  EXPECT_FALSE(ResultLog::open((dir / "no-such-folder" / "x.csv").string(), error));
  EXPECT_NE(error.find("no-such-folder"), std::string::npos) << error;
}

}  // namespace
}  // namespace orsa::cli
