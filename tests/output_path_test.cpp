#include "glyphdata/output_path.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "glyphdata/file_identity.h"
#include "test_support.h"

namespace pixtrel {
namespace {

TEST(OutputPathTest, ReplacesWhatFollowsTheNamesLastDot) {
  EXPECT_EQ(OutputPathFor("/data/menu.txt"), "/data/menu.bin");
  EXPECT_EQ(OutputPathFor("/data/menu.tbl"), "/data/menu.bin");
  EXPECT_EQ(OutputPathFor("/data/archive.2006.txt"), "/data/archive.2006.bin");
  EXPECT_EQ(OutputPathFor("/data/menu."), "/data/menu.bin");
  EXPECT_EQ(OutputPathFor("/data/menu.bin"), "/data/menu.bin");
  EXPECT_EQ(OutputPathFor("menu.txt"), "menu.bin");
  EXPECT_EQ(OutputPathFor("/data/\xB2\xCB\xB5\xA5.txt"), "/data/\xB2\xCB\xB5\xA5.bin");
}

TEST(OutputPathTest, AppendsBinWhenTheNameHasNoDot) {
  EXPECT_EQ(OutputPathFor("/data/notes"), "/data/notesbin");
  EXPECT_EQ(OutputPathFor("/rel.2/notes"), "/rel.2/notesbin");
  EXPECT_EQ(OutputPathFor(""), "bin");
}

TEST(FileIdentityTest, OneFileInManyForms) {
  testing::TempDir dir;
  testing::WriteFile(dir / "a.txt", "a");
  testing::WriteFile(dir / "other.txt", "a");
  std::filesystem::create_directory(dir / "sub");
  std::filesystem::create_symlink(dir / "a.txt", dir / "link.txt");
  std::filesystem::create_hard_link(dir / "a.txt", dir / "hard.txt");

  const std::string a = dir / "a.txt";
  EXPECT_TRUE(SameFile(a, a));
  EXPECT_TRUE(SameFile(a, dir / "link.txt"));
  EXPECT_TRUE(SameFile(a, dir / "hard.txt"));
  EXPECT_TRUE(SameFile(a, dir.path() + "/./sub/../a.txt"));
  EXPECT_TRUE(SameFile(a, dir.path() + "//a.txt"));
  EXPECT_TRUE(SameFile(dir / "gone.bin", dir.path() + "/sub/../gone.bin"));  // Need not exist.
  EXPECT_FALSE(SameFile(a, dir / "other.txt"));
  EXPECT_FALSE(SameFile(a, ""));
}

}  // namespace
}  // namespace pixtrel
