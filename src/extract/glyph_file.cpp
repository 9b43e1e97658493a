#include "extract/glyph_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "glyphdata/failure.h"

namespace pixtrel {

namespace {
constexpr size_t kBufferSize = 4096 * GlyphSize;
}  // namespace

GlyphFile::GlyphFile(std::string path)
    : path_(std::move(path)),
      buffer_(kBufferSize / sizeof(CacheLine)),
      start_(buffer_.front().bytes),
      limit_(start_ + kBufferSize),
      next_(start_) {}

GlyphFile::~GlyphFile() {
  try {
    Flush();
  } catch (const Failure&) {
  }
  if (fd_ >= 0) close(fd_);
}

void GlyphFile::Close() {
  Flush();
  int fd = fd_;
  fd_ = -1;
  if (fd >= 0 && close(fd) != 0) throw FileFailure(errno, path_);
}

void GlyphFile::Flush() {
  const size_t used = static_cast<size_t>(next_ - start_);
  if (used == 0) return;
  next_ = start_;  // What the file refuses cannot be written later either.
  if (fd_ < 0) {
    fd_ = open(path_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd_ < 0) throw FileFailure(errno, path_);
  }
  for (size_t done = 0; done < used;) {
    ssize_t n = write(fd_, start_ + done, used - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw FileFailure(errno, path_);
    done += static_cast<size_t>(n);
  }
}

}  // namespace pixtrel
