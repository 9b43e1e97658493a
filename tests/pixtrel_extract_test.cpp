// Runs the pixtrel-extract executable as a makefile would.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "test_support.h"

namespace pixtrel {
namespace {

using testing::kAh;
using testing::kZhong;

struct Result {
  int status;
  std::string out;
  std::string err;
};

class PixtrelExtractTest : public ::testing::Test {
 protected:
  PixtrelExtractTest() { testing::WriteDataFiles(dir_); }

  /// Runs pixtrel-extract with `arguments` (shell words) and the test data files.
  Result Run(const std::string& arguments, bool with_data_dir = true) {
    std::string command = std::string(PIXTREL_EXTRACT) + (with_data_dir ? " --data-dir " + dir_.path() : "") + " " +
                          arguments + " >" + (dir_ / "out") + " 2>" + (dir_ / "err") + " </dev/null";
    int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, testing::ReadFile(dir_ / "out"),
            testing::ReadFile(dir_ / "err")};
  }

  testing::TempDir dir_;
};

TEST_F(PixtrelExtractTest, WritesTheGlyphFileBesideTheSource) {
  testing::WriteFile(dir_ / "menu.txt", kZhong + kAh + "\r\n");
  Result result = Run(dir_ / "menu.txt");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "Over !\n");
  EXPECT_EQ(result.err, "Loading... 66%\n100%\n");
  EXPECT_EQ(testing::ReadFile(dir_ / "menu.bin"), testing::TestRecord(2) + testing::TestRecord(0));
}

TEST_F(PixtrelExtractTest, QuietRunsAndChosenGlyphFiles) {
  testing::WriteFile(dir_ / "menu.txt", kAh);
  Result result = Run("-q -o " + (dir_ / "glyphs.dat") + " " + (dir_ / "menu.txt"));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(testing::ReadFile(dir_ / "glyphs.dat"), testing::TestRecord(0));
  EXPECT_FALSE(testing::Exists(dir_ / "menu.bin"));
}

TEST_F(PixtrelExtractTest, NothingFoundExitsOne) {
  testing::WriteFile(dir_ / "menu.txt", "ASCII\r\n");
  Result result = Run("-q " + (dir_ / "menu.txt"));
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "Your tbl is empty .\n");
}

TEST_F(PixtrelExtractTest, RefusalsAndFailuresExitTwoAndTouchNothing) {
  const std::string table = testing::ReadFile(dir_ / "GB2312.tbl");
  Result result = Run(dir_.path() + "/./GB2312.tbl");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "pixtrel-extract: Dont't touch the backup !\n");
  EXPECT_EQ(result.out, "");

  testing::WriteFile(dir_ / "menu.txt", kAh);
  result = Run("-o " + (dir_ / "GB2312.bin") + " " + (dir_ / "menu.txt"));
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "pixtrel-extract: Dont't touch the backup !\n");
  EXPECT_EQ(testing::ReadFile(dir_ / "GB2312.bin"), testing::TestFont());

  result = Run("-o " + (dir_ / "menu.txt") + " " + (dir_ / "menu.txt"));
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(testing::ReadFile(dir_ / "menu.txt"), kAh);

  result = Run(dir_ / "none.txt");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "pixtrel-extract: No such file or directory: " + (dir_ / "none.txt") + "\n");
  EXPECT_EQ(testing::ReadFile(dir_ / "GB2312.tbl"), table);
}

TEST_F(PixtrelExtractTest, LoadFailuresAndUsageErrorsExitTwo) {
  std::filesystem::remove(dir_ / "GB2312.tbl");
  testing::WriteFile(dir_ / "menu.txt", kAh);
  Result result = Run(dir_ / "menu.txt");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "pixtrel-extract: No such file or directory: " + (dir_ / "GB2312.tbl") + "\n");
  EXPECT_FALSE(testing::Exists(dir_ / "menu.bin"));

  EXPECT_EQ(Run("").status, 2);
  EXPECT_EQ(Run("--bogus " + (dir_ / "menu.txt")).status, 2);
  EXPECT_NE(Run("a b").err.find("usage:"), std::string::npos);
}

TEST_F(PixtrelExtractTest, UsesTheDataFilesBesideItselfAndTheBundledSample) {
  std::filesystem::copy_file(PIXTREL_SAMPLES "/menu.txt", dir_ / "menu.txt");
  Result result = Run("-q " + (dir_ / "menu.txt"), /*with_data_dir=*/false);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "Over !\n");
  EXPECT_GT(std::filesystem::file_size(dir_ / "menu.bin"), 100 * 32u);
  EXPECT_EQ(std::filesystem::file_size(dir_ / "menu.bin") % 32, 0u);
}

}  // namespace
}  // namespace pixtrel
