#include <gtest/gtest.h>

#include <filesystem>

#include "platform/failure.h"
#include "platform/platform.h"
#include "test_support.h"

namespace pixtrel {
namespace {

TEST(DiskTest, FailuresNameThePathAndTheCause) {
  testing::TempDir dir;
  Disk& disk = RealDisk();
  EXPECT_EQ(testing::FailureText([&] { disk.OpenForReading(dir / "none.txt"); }),
            (dir / "none.txt") + ": " + testing::NoSuchFileText());
#ifdef _WIN32
  // Windows opens no directory for reading (Wine does, as POSIX systems do): it says what the path is.
  EXPECT_EQ(testing::FailureText([&] { disk.OpenForReading(dir.path()); }), dir.path() + ": Is a directory");
#else
  std::unique_ptr<ByteSource> directory = disk.OpenForReading(dir.path());  // A directory opens, but fails to read.
  char byte;
  EXPECT_THROW(directory->Read(&byte, 1), Failure);
#endif
  EXPECT_EQ(disk.OpenIfExists(dir / "none.txt"), nullptr);
  EXPECT_FALSE(testing::Exists(dir / "none.txt"));
}

TEST(DiskTest, OneFileInManyForms) {
  testing::TempDir dir;
  testing::WriteFile(dir / "a.txt", "a");
  testing::WriteFile(dir / "other.txt", "a");
  std::filesystem::create_directory(dir / "sub");
  std::filesystem::create_hard_link(dir / "a.txt", dir / "hard.txt");

  Disk& disk = RealDisk();
  const std::string a = dir / "a.txt";
  EXPECT_TRUE(disk.SameFile(a, a));
  EXPECT_TRUE(disk.SameFile(a, dir / "hard.txt"));
  EXPECT_TRUE(disk.SameFile(a, dir.path() + "/./sub/../a.txt"));
  EXPECT_TRUE(disk.SameFile(a, dir.path() + "//a.txt"));
  EXPECT_TRUE(disk.SameFile(dir / "gone.bin", dir.path() + "/sub/../gone.bin"));  // Need not exist.
  EXPECT_FALSE(disk.SameFile(a, dir / "other.txt"));
  EXPECT_FALSE(disk.SameFile(a, ""));
#ifdef _WIN32
  // Names are one in any letter case, both separators separate.
  EXPECT_TRUE(disk.SameFile(a, dir / "A.TXT"));
  EXPECT_TRUE(disk.SameFile(dir / "gone.bin", dir.path() + "\\sub\\..\\GONE.BIN"));
  EXPECT_EQ(disk.KindOf("NUL"), FileKind::kOther);
#else
  // Windows makes links for the privileged only, and Wine none: there the hard link stands for them.
  std::filesystem::create_symlink(dir / "a.txt", dir / "link.txt");
  EXPECT_TRUE(disk.SameFile(a, dir / "link.txt"));
#endif
}

}  // namespace
}  // namespace pixtrel
