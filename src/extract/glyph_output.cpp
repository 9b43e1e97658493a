#include "extract/glyph_output.h"

#include "platform/failure.h"

namespace pixtrel {

namespace {

bool IsFileToReplace(Disk& disk, const std::string& path) {
  const FileKind kind = disk.KindOf(path);
  return kind != FileKind::kNone && kind != FileKind::kDirectory;
}

}  // namespace

InPlaceGlyphFile::InPlaceGlyphFile(Disk& disk, const std::string& path) : disk_(disk), path_(disk.FollowLinks(path)) {}

void InPlaceGlyphFile::Prepare() {
  if (IsFileToReplace(disk_, path_)) disk_.Remove(path_);
}

std::unique_ptr<ByteSink> InPlaceGlyphFile::Open() { return disk_.OpenForAppending(path_); }

bool InPlaceGlyphFile::Exists() { return IsFileToReplace(disk_, path_); }

AtomicGlyphFile::AtomicGlyphFile(Disk& disk, const std::string& path) : disk_(disk), path_(disk.FollowLinks(path)) {}

AtomicGlyphFile::~AtomicGlyphFile() {
  if (temporary_.empty()) return;
  try {
    disk_.Remove(temporary_);
  } catch (const Failure&) {  // Nothing more can be done about it.
  }
}

std::unique_ptr<ByteSink> AtomicGlyphFile::Open() {
  TemporaryFile file = disk_.CreateTemporary(path_);
  temporary_ = file.path;
  return std::move(file.sink);
}

void AtomicGlyphFile::WriteWhole(std::string_view bytes) {
  std::unique_ptr<ByteSink> sink = Open();
  sink->Write(bytes.data(), bytes.size());
  sink->Close();
}

void AtomicGlyphFile::Install() {
  disk_.Rename(temporary_, path_);
  temporary_.clear();
}

bool AtomicGlyphFile::RemoveOld() {
  if (disk_.KindOf(path_) != FileKind::kRegular) return false;
  disk_.Remove(path_);
  return true;
}

namespace {

/// A sink that keeps nothing.
class NullSink : public ByteSink {
 public:
  void Write(const char*, size_t) override {}
  void Close() override {}
};

}  // namespace

std::unique_ptr<ByteSink> DiscardedGlyphOutput::Open() {
  opened_ = true;
  return std::make_unique<NullSink>();
}

std::unique_ptr<ByteSink> StreamGlyphOutput::Open() {
  opened_ = true;
  return disk_.StandardOutput();
}

}  // namespace pixtrel
