// Finding the data files: the --data folder, then the working folder, then
// the search folders (on Windows the program's own folder and its data
// subfolder, which is how the zip and the build folder lay them out); paths
// carried as UTF-8.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/data_files.h"
#include "platform/target.h"

namespace tolvarin {
namespace {

namespace fs = std::filesystem;

constexpr const char* kModule = "004fin.s3m";

// Runs the test body in a fresh, empty working folder of its own: CTest runs
// the cases side by side, each in a process of its own.
class DataFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = fs::current_path();
    folder_ = fs::path(::testing::TempDir()) /
              (std::string("data_files_cwd_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    fs::current_path(folder_);
  }
  void TearDown() override {
    fs::current_path(previous_);
    fs::remove_all(folder_);
  }
  fs::path previous_;
  fs::path folder_;
};

TEST_F(DataFilesTest, TheGivenFolderIsUsedAsItIsWhetherOrNotTheFileIsThere) {
  const DataFiles data("some/folder");
  EXPECT_EQ(fs::path(data.path(kModule)), fs::path("some/folder") / kModule);
  EXPECT_EQ(fs::path(data.path("missing.g")), fs::path("some/folder") / "missing.g");
}

TEST_F(DataFilesTest, TheWorkingFolderComesFirst) {
  std::ofstream(folder_ / kModule) << "here";
  EXPECT_EQ(DataFiles().path(kModule), kModule);
}

TEST_F(DataFilesTest, OtherwiseTheBuildsOwnDataIsFound) {
  // Natively through the build's data folder; on Windows through the data
  // folder beside the test program, as beside tolvarin.exe.
  const std::string found = DataFiles().path(kModule);
  ASSERT_TRUE(fs::exists(found)) << found;
  EXPECT_TRUE(fs::equivalent(found, fs::path(TOLVARIN_TEST_DATA_DIR) / kModule)) << found;
}

TEST_F(DataFilesTest, AFileFoundNowhereKeepsItsPlainNameForTheErrorMessage) {
  EXPECT_EQ(DataFiles().path("no-such-file.g"), "no-such-file.g");
}

TEST_F(DataFilesTest, FoldersOfAnyNameWorkThroughUtf8) {
  // Latin, Cyrillic and the euro sign: no legacy Windows code page has all.
  const std::string name = "dätа-шрифт €";
  const fs::path folder = pathFromUtf8(name);
  EXPECT_EQ(utf8FromPath(folder), name);
#ifdef _WIN32
  EXPECT_EQ(folder.wstring(), L"d\u00e4t\u0430-\u0448\u0440\u0438\u0444\u0442 \u20ac");
#endif
  fs::create_directories(folder_ / folder);
  std::ofstream(folder_ / folder / kModule) << "here";
  const std::string found = DataFiles(utf8FromPath(folder_ / folder)).path(kModule);
  EXPECT_TRUE(fs::exists(pathFromUtf8(found))) << found;
  EXPECT_EQ(pathFromUtf8(found), folder_ / folder / kModule);
}

TEST(ProgramFolder, IsTheFolderOfTheRunningExecutable) {
  const fs::path self = programFolder();
  ASSERT_FALSE(self.empty());
  EXPECT_TRUE(fs::equivalent(self, fs::path(TOLVARIN_BINARY_DIR)));
}

#ifdef _WIN32
TEST(DataSearchFolders, OnWindowsAreTheProgramsFolderAndItsDataFolderOnly) {
  // Nothing compiled in: the zip is unpacked wherever its user likes.
  const std::vector<fs::path> folders = DataFiles::searchFolders();
  ASSERT_EQ(folders.size(), 2u);
  EXPECT_EQ(folders[0], programFolder());
  EXPECT_EQ(folders[1], programFolder() / "data");
}
#endif

}  // namespace
}  // namespace tolvarin
