#include "extract/glyph_file.h"

#include "platform/failure.h"

namespace pixtrel {

namespace {
constexpr size_t kBufferSize = 4096 * GlyphSize;
}  // namespace

GlyphFile::GlyphFile(GlyphOutput& output) : output_(output), buffer_(kBufferSize) {}

GlyphFile::~GlyphFile() {
  try {
    Flush();
  } catch (const Failure&) {
  }
}

void GlyphFile::Close() {
  Flush();
  if (file_) file_->Close();
}

void GlyphFile::Flush() {
  if (used_ == 0) return;
  const size_t used = used_;
  used_ = 0;  // What the file refuses cannot be written later either.
  if (!file_) file_ = output_.Open();
  file_->Write(buffer_.data(), used);
}

}  // namespace pixtrel
