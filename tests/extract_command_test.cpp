// pixtrel-extract's run on a disk that fills up.

#include "cli/extract_command.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "platform/failure.h"
#include "test_support.h"

namespace pixtrel {
namespace {

/// The machine's disk, but a new file takes `room` bytes only, then fails
/// as a full disk does.
class FullDisk : public Disk {
 public:
  explicit FullDisk(size_t room) : room_(room) {}

  std::unique_ptr<ByteSource> OpenForReading(const std::string& path) override { return real_.OpenForReading(path); }
  std::unique_ptr<ByteSource> OpenIfExists(const std::string& path) override { return real_.OpenIfExists(path); }
  std::unique_ptr<ByteSink> OpenForAppending(const std::string& path) override {
    return Filling(real_.OpenForAppending(path), path);
  }
  std::unique_ptr<ByteSource> StandardInput() override { return real_.StandardInput(); }
  std::unique_ptr<ByteSink> StandardOutput() override { return real_.StandardOutput(); }
  TemporaryFile CreateTemporary(const std::string& beside) override {
    TemporaryFile file = real_.CreateTemporary(beside);
    file.sink = Filling(std::move(file.sink), beside);
    return file;
  }
  void Rename(const std::string& from, const std::string& to) override { real_.Rename(from, to); }
  FileKind KindOf(const std::string& path) override { return real_.KindOf(path); }
  std::string FollowLinks(const std::string& path) override { return real_.FollowLinks(path); }
  void Remove(const std::string& path) override { real_.Remove(path); }
  void MakeDirectories(const std::string& path) override { real_.MakeDirectories(path); }
  std::optional<FileIdentity> IdentityOf(const std::string& path) override { return real_.IdentityOf(path); }
  bool SameFile(const std::string& a, const std::string& b) override { return real_.SameFile(a, b); }

 private:
  class FillingSink : public ByteSink {
   public:
    FillingSink(std::unique_ptr<ByteSink> sink, std::string path, size_t room)
        : sink_(std::move(sink)), path_(std::move(path)), room_(room) {}
    void Write(const char* bytes, size_t size) override {
      const size_t fits = std::min(size, room_);
      sink_->Write(bytes, fits);
      room_ -= fits;
      if (fits < size) throw FileFailure(path_, ENOSPC);
    }
    void Close() override { sink_->Close(); }

   private:
    std::unique_ptr<ByteSink> sink_;
    std::string path_;
    size_t room_;
  };

  std::unique_ptr<ByteSink> Filling(std::unique_ptr<ByteSink> sink, const std::string& path) {
    return std::make_unique<FillingSink>(std::move(sink), path, room_);
  }

  Disk& real_ = RealDisk();
  size_t room_;
};

TEST(ExtractCommandTest, AFullDiskLeavesTheOldGlyphFileAndNothingElse) {
  testing::TempDir dir;
  testing::WriteDataFiles(dir);
  std::string text;
  for (int i = 0; i < 10000; ++i) text += testing::kAh;  // 320,000 bytes of glyphs.
  testing::WriteFile(dir / "menu.txt", text);
  testing::WriteFile(dir / "menu.bin", "old glyphs");
  Options options;
  options.quiet = true;
  options.data_dir = dir.path();
  options.file = dir / "menu.txt";
  options.sources = {{options.file}};

  FullDisk disk(100'000);
  EXPECT_EQ(testing::FailureText([&] { ExtractCommand(options, disk); }),
            (dir / "menu.bin") + ": No space left on device");
  EXPECT_EQ(testing::ReadFile(dir / "menu.bin"), "old glyphs");
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 4u);  // The data files, the source and the old glyph file.

  FullDisk roomy(1'000'000);
  EXPECT_EQ(ExtractCommand(options, roomy), kExitWritten);
  EXPECT_EQ(std::filesystem::file_size(dir / "menu.bin"), 320'000u);
}

}  // namespace
}  // namespace pixtrel
