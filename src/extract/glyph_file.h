#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "glyphdata/glyph_store.h"

namespace pixtrel {

/// The glyph file a run writes: records appended through a buffer. The file
/// is created by the first record and not at all when none is appended.
class GlyphFile {
 public:
  /// A glyph file at `path`, not yet created.
  explicit GlyphFile(std::string path);

  /// Writes out what is still buffered, ignoring errors (a failure is on its
  /// way to being reported), so records appended before it stay on disk.
  ~GlyphFile();
  GlyphFile(const GlyphFile&) = delete;
  GlyphFile& operator=(const GlyphFile&) = delete;

  /// Appends `record`. Throws Failure naming the path when the file cannot
  /// be opened or written.
  void Append(GlyphRecord record) {
    if (next_ == limit_) Flush();
    std::memcpy(next_, record.data(), GlyphSize);
    next_ += GlyphSize;
  }

  /// Writes out every record appended and closes the file; throws Failure
  /// like Append.
  void Close();

 private:
  /// A cache line of the buffer: records never straddle two.
  struct alignas(64) CacheLine {
    uint8_t bytes[64];
  };

  /// Writes the buffered records to the file, creating it if need be.
  void Flush();

  std::string path_;
  int fd_ = -1;
  std::vector<CacheLine> buffer_;
  uint8_t* const start_;  ///< The buffer's first byte.
  uint8_t* const limit_;  ///< The end of the buffer.
  uint8_t* next_;         ///< Where the next record goes.
};

}  // namespace pixtrel
