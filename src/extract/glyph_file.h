#pragma once

#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "extract/background_writer.h"
#include "extract/glyph_output.h"
#include "glyphdata/glyph_store.h"
#include "glyphdata/raw_buffer.h"
#include "platform/platform.h"

namespace pixtrel {

/// The glyph file a run writes, or any file written from front to back:
/// bytes appended through buffers, one filled while a thread of its own
/// writes the others. The output is opened when the first bytes are written
/// out, and not at all when nothing is appended. A failure to write is
/// reported by the Append or Close after it.
class GlyphFile {
 public:
  /// A glyph file that goes to `output`, not yet opened.
  explicit GlyphFile(GlyphOutput& output);

  /// Writes out what is still buffered, ignoring errors (a failure is on its
  /// way to being reported), so records appended before it stay on disk.
  ~GlyphFile();
  GlyphFile(const GlyphFile&) = delete;
  GlyphFile& operator=(const GlyphFile&) = delete;

  /// Appends `bytes` (a record). Throws Failure naming the path when the
  /// file cannot be opened or written.
  void Append(std::span<const uint8_t> bytes) {
    if (bytes.size() > kBufferSize - used_) return AppendAcross(bytes);
    char* to = buffers_[filling_].data() + used_;
    if (bytes.size() == GlyphSize)
      std::memcpy(to, bytes.data(), GlyphSize);  // The 16 x 16 record, copied in place rather than by a call.
    else
      std::memcpy(to, bytes.data(), bytes.size());
    used_ += bytes.size();
  }

  /// Appends the characters of `text`.
  void Append(std::string_view text) {
    Append(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
  }

  /// Writes out every record appended and closes the file; throws Failure
  /// like Append.
  void Close();

 private:
  /// 256 KiB: small enough that a buffer the run filled is still in the
  /// cache when the writer's thread copies it to the file (a large run is
  /// about 7 % faster than with 1 MiB).
  static constexpr size_t kBufferSize = 8192 * GlyphSize;

  /// Appends `bytes`, which fill the buffer, across as many as it takes.
  void AppendAcross(std::span<const uint8_t> bytes);
  /// Hands the full buffer to the writer and goes on with the other one.
  void Flush();
  /// Opens the file if need be.
  ByteSink& File();

  GlyphOutput& output_;
  std::unique_ptr<ByteSink> file_;            ///< None until the first record is written out.
  std::unique_ptr<BackgroundWriter> writer_;  ///< None until a buffer is first full.
  RawBuffer buffers_[BackgroundWriter::kBuffersInFlight + 1];
  size_t filling_ = 0;  ///< The buffer records go to.
  size_t used_ = 0;     ///< Its bytes in use.
};

}  // namespace pixtrel
