#include "extract/glyph_file.h"

#include <algorithm>
#include <utility>

#include "platform/failure.h"

namespace pixtrel {

GlyphFile::GlyphFile(GlyphOutput& output) : output_(output) { buffers_[0].resize(kBufferSize); }

GlyphFile::~GlyphFile() {
  try {
    if (writer_) writer_->Wait();
  } catch (const Failure&) {  // A failure is on its way to being reported.
  }
  writer_.reset();
  try {
    if (used_ > 0) File().Write(buffers_[filling_].data(), used_);
  } catch (const Failure&) {
  }
}

void GlyphFile::Close() {
  if (writer_) writer_->Wait();
  const size_t used = std::exchange(used_, 0);
  if (used > 0) File().Write(buffers_[filling_].data(), used);
  if (file_) file_->Close();
}

void GlyphFile::AppendAcross(std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    if (used_ == kBufferSize) Flush();
    const size_t fits = std::min(bytes.size(), kBufferSize - used_);
    std::memcpy(buffers_[filling_].data() + used_, bytes.data(), fits);
    used_ += fits;
    bytes = bytes.subspan(fits);
  }
}

void GlyphFile::Flush() {
  const size_t used = std::exchange(used_, 0);  // What the file refuses cannot be written later either.
  if (!writer_) {
    writer_ = std::make_unique<BackgroundWriter>(File());
    for (RawBuffer& buffer : buffers_) buffer.resize(kBufferSize);
  }
  writer_->Start(buffers_[filling_].data(), used);
  filling_ = (filling_ + 1) % std::size(buffers_);  // Free: the writer holds the others at most.
}

ByteSink& GlyphFile::File() {
  if (!file_) file_ = output_.Open();
  return *file_;
}

}  // namespace pixtrel
