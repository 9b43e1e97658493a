#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "extract/glyph_output.h"
#include "glyphdata/glyph_store.h"
#include "platform/platform.h"

namespace pixtrel {

/// The glyph file a run writes: records appended through a buffer. The
/// output is opened when the first records are written out, and not at all
/// when none is appended.
class GlyphFile {
 public:
  /// A glyph file that goes to `output`, not yet opened.
  explicit GlyphFile(GlyphOutput& output);

  /// Writes out what is still buffered, ignoring errors (a failure is on its
  /// way to being reported), so records appended before it stay on disk.
  ~GlyphFile();
  GlyphFile(const GlyphFile&) = delete;
  GlyphFile& operator=(const GlyphFile&) = delete;

  /// Appends `record`. Throws Failure naming the path when the file cannot
  /// be opened or written.
  void Append(GlyphRecord record) {
    if (used_ == buffer_.size()) Flush();
    std::memcpy(buffer_.data() + used_, record.data(), GlyphSize);
    used_ += GlyphSize;
  }

  /// Writes out every record appended and closes the file; throws Failure
  /// like Append.
  void Close();

 private:
  /// Writes the buffered records to the file, opening it if need be.
  void Flush();

  GlyphOutput& output_;
  std::unique_ptr<ByteSink> file_;  ///< None until the first record is written out.
  std::vector<char> buffer_;
  size_t used_ = 0;
};

}  // namespace pixtrel
