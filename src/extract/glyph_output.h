#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace pixtrel {

/// Where the glyph file of a run goes, and how an old one makes way for it.
class GlyphOutput {
 public:
  virtual ~GlyphOutput() = default;

  /// Makes way for the glyph file; called before the source is opened.
  virtual void Prepare() = 0;

  /// Opens what the records are written to; called once, when the first
  /// records are written out. Throws Failure naming the file.
  virtual std::unique_ptr<ByteSink> Open() = 0;

  /// True when, after the records were written out, a glyph file is there.
  virtual bool Exists() = 0;
};

/// The window's glyph file, at `path` (a symbolic link there is followed):
/// an old one is deleted first, the new one is written in place, created by
/// the first record; what a run that fails has written stays.
class InPlaceGlyphFile : public GlyphOutput {
 public:
  InPlaceGlyphFile(Disk& disk, const std::string& path);

  void Prepare() override;
  std::unique_ptr<ByteSink> Open() override;
  bool Exists() override;

 private:
  Disk& disk_;
  std::string path_;
};

/// A glyph file that replaces the one at `path` (a symbolic link there is
/// followed) only when installed: the records go to a temporary file beside
/// it, which Install renames into place. Until then, and whatever fails,
/// the file at `path` stays as it was, and the temporary file is removed
/// when the object goes.
class AtomicGlyphFile : public GlyphOutput {
 public:
  AtomicGlyphFile(Disk& disk, const std::string& path);
  ~AtomicGlyphFile() override;
  AtomicGlyphFile(const AtomicGlyphFile&) = delete;
  AtomicGlyphFile& operator=(const AtomicGlyphFile&) = delete;

  void Prepare() override {}
  std::unique_ptr<ByteSink> Open() override;
  bool Exists() override { return !temporary_.empty(); }

  /// Writes `bytes` whole to the temporary file, for a file made in one
  /// piece rather than by a run. Throws Failure naming the path.
  void WriteWhole(std::string_view bytes);

  /// Puts the records written in the place of the file at `path`. Throws
  /// Failure naming the path.
  void Install();

  /// Removes the file at `path`, when there is a regular one: a run that
  /// found nothing leaves no glyph file, as the window's does. True when
  /// there was one.
  bool RemoveOld();

 private:
  Disk& disk_;
  std::string path_;
  std::string temporary_;  ///< The temporary file, once made and until installed.
};

/// Nowhere, for the records of a run whose files are made from what it
/// heard of the run; it only tells whether any came.
class DiscardedGlyphOutput : public GlyphOutput {
 public:
  void Prepare() override {}
  std::unique_ptr<ByteSink> Open() override;
  bool Exists() override { return opened_; }

 private:
  bool opened_ = false;
};

/// Standard output, for a glyph file that goes down a pipe.
class StreamGlyphOutput : public GlyphOutput {
 public:
  explicit StreamGlyphOutput(Disk& disk) : disk_(disk) {}

  void Prepare() override {}
  std::unique_ptr<ByteSink> Open() override;
  bool Exists() override { return opened_; }

 private:
  Disk& disk_;
  bool opened_ = false;
};

}  // namespace pixtrel
