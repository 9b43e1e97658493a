#include <gtest/gtest.h>

#include <filesystem>

#include "platform/failure.h"
#include "platform/platform.h"
#include "test_support.h"

namespace pixtrel {
namespace {

TEST(PosixDiskTest, FailuresNameThePathAndTheCause) {
  testing::TempDir dir;
  Disk& disk = RealDisk();
  EXPECT_EQ(testing::FailureText([&] { disk.OpenForReading(dir / "none.txt"); }),
            (dir / "none.txt") + ": No such file or directory");
  std::unique_ptr<ByteSource> directory = disk.OpenForReading(dir.path());  // A directory opens, but fails to read.
  char byte;
  EXPECT_THROW(directory->Read(&byte, 1), Failure);
  EXPECT_EQ(disk.OpenIfExists(dir / "none.txt"), nullptr);
  EXPECT_FALSE(testing::Exists(dir / "none.txt"));
}

TEST(PosixDiskTest, OneFileInManyForms) {
  testing::TempDir dir;
  testing::WriteFile(dir / "a.txt", "a");
  testing::WriteFile(dir / "other.txt", "a");
  std::filesystem::create_directory(dir / "sub");
  std::filesystem::create_symlink(dir / "a.txt", dir / "link.txt");
  std::filesystem::create_hard_link(dir / "a.txt", dir / "hard.txt");

  Disk& disk = RealDisk();
  const std::string a = dir / "a.txt";
  EXPECT_TRUE(disk.SameFile(a, a));
  EXPECT_TRUE(disk.SameFile(a, dir / "link.txt"));
  EXPECT_TRUE(disk.SameFile(a, dir / "hard.txt"));
  EXPECT_TRUE(disk.SameFile(a, dir.path() + "/./sub/../a.txt"));
  EXPECT_TRUE(disk.SameFile(a, dir.path() + "//a.txt"));
  EXPECT_TRUE(disk.SameFile(dir / "gone.bin", dir.path() + "/sub/../gone.bin"));  // Need not exist.
  EXPECT_FALSE(disk.SameFile(a, dir / "other.txt"));
  EXPECT_FALSE(disk.SameFile(a, ""));
}

}  // namespace
}  // namespace pixtrel
