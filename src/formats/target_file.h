#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "extract/glyph_output.h"
#include "platform/platform.h"

namespace pixtrel {

/// A file a format writes: to a temporary file beside its path (a
/// symbolic link there is followed), which Install puts in place; or, when
/// the path is empty, to standard output as it is written.
class TargetFile {
 public:
  TargetFile(Disk& disk, const std::string& path);

  /// Where the file's bytes go.
  GlyphOutput& output() { return *output_; }

  /// Writes `bytes` whole. Throws Failure naming the file.
  void WriteWhole(std::string_view bytes);

  /// Puts what was written in place of the file at the path. Throws Failure naming it.
  void Install();

  /// Removes the file at the path, when there is a regular one.
  void RemoveOld();

  /// The path, empty for standard output.
  const std::string& path() const { return path_; }

  /// The path as a make rule's targets: none for standard output.
  std::vector<std::string> Targets() const {
    if (path_.empty()) return {};
    return {path_};
  }

 private:
  std::string path_;
  std::unique_ptr<GlyphOutput> output_;
  AtomicGlyphFile* file_ = nullptr;  ///< output_, when it is a file.
};

}  // namespace pixtrel
