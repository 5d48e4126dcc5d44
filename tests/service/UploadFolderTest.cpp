#include "service/UploadFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "service/ModemText.h"
#include "support/TempDir.h"

namespace orsa::service {
namespace {

namespace fs = std::filesystem;

TEST(UploadFolderTest, EveryAmrFileInAnyCaseHiddenOrReadOnlyInListingOrder) {
  orsa::testing::TempDir folder;
  for (const auto& [name, size] : {std::pair<std::string, std::size_t>{"b.AMR", 7},
                                   {"a.amr", 5},
                                   {".hidden.Amr", 3},
                                   {"locked.AMR", 2},
                                   {".AMR", 1},
                                   {"notes.txt", 100},
                                   {"a.amr.bak", 100},
                                   {"amr", 100}}) {
    std::ofstream(folder / name, std::ios::binary) << std::string(size, 'x');
  }
  fs::permissions(folder / "locked.AMR", fs::perms::owner_read, fs::perm_options::replace);
  fs::create_directory(folder / "sub.AMR");

  std::error_code error;
  UploadList list = scanUploadFolder(folder.path(), error);
  ASSERT_FALSE(error);

  std::vector<UploadFile> expected;
  for (const auto& entry : fs::directory_iterator(folder.path())) {
    const std::string name = entry.path().filename().string();
    if (name == "b.AMR" || name == "a.amr" || name == ".hidden.Amr" || name == "locked.AMR" || name == ".AMR") {
      expected.push_back({entry.path().string(), entry.file_size()});
    }
  }
  EXPECT_EQ(list.files, expected) << "the folder's own order, not sorted";
  EXPECT_EQ(list.totalSize, 18u);
}

TEST(UploadFolderTest, MissingFolderIsAnError) {
  std::error_code error;
  UploadList list = scanUploadFolder("/nonexistent/orsa-upload", error);
  EXPECT_TRUE(error);
  EXPECT_TRUE(list.files.empty());
}

TEST(UploadFolderText, FreeMemoryNeedsTheLineEndTheMarkerAndAFittingNumber) {
  EXPECT_EQ(freeMemoryFromAnswer("\r\n+FSMEM: C:76288bytes\r\n\r\nOK\r\n"), 76288);
  EXPECT_EQ(freeMemoryFromAnswer("AT+FSMEM\r\r\n+FSMEM: C:0bytes\r\n"), 0) << "echo before the answer";
  EXPECT_EQ(freeMemoryFromAnswer("+FSMEM: C:100"), std::nullopt) << "no line end yet";
  EXPECT_EQ(freeMemoryFromAnswer("\r\nERROR\r\n"), std::nullopt);
  EXPECT_EQ(freeMemoryFromAnswer("\r\n+FSMEM: C:bytes\r\n"), std::nullopt);
  EXPECT_EQ(freeMemoryFromAnswer("\r\n+FSMEM: C:4294967296bytes\r\n"), std::nullopt);
}

TEST(UploadFolderText, ModemNameIsWhatFollowsTheLastSlashBackslashOrColon) {
  EXPECT_EQ(modemFileName("/home/t/sounds/A.AMR"), "A.AMR");
  EXPECT_EQ(modemFileName("C:\\sounds\\B.AMR"), "B.AMR");
  EXPECT_EQ(modemFileName("D:C.AMR"), "C.AMR");
  EXPECT_EQ(modemFileName("D.AMR"), "D.AMR");
}

}  // namespace
}  // namespace orsa::service
