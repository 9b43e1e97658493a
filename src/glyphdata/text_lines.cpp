#include "glyphdata/text_lines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "glyphdata/failure.h"

namespace pixtrel {

namespace {
constexpr size_t kChunkSize = 256 * 1024;
}  // namespace

FileSource::FileSource(std::string path, bool missing_is_empty)
    : path_(std::move(path)), fd_(open(path_.c_str(), O_RDONLY | O_CLOEXEC)) {
  if (fd_ < 0 && !(missing_is_empty && errno == ENOENT)) throw FileFailure(errno, path_);
}

FileSource::~FileSource() {
  if (fd_ >= 0) close(fd_);
}

size_t FileSource::Read(char* buffer, size_t size) {
  if (fd_ < 0) return 0;
  for (;;) {
    ssize_t n = read(fd_, buffer, size);
    if (n >= 0) return static_cast<size_t>(n);
    if (errno != EINTR) throw FileFailure(errno, path_);
  }
}

int64_t FileSource::Length() {
  if (fd_ < 0) return 0;
  struct stat info;
  if (fstat(fd_, &info) != 0) throw FileFailure(errno, path_);
  return info.st_size;
}

LineReader::LineReader(ByteSource& source) : source_(source), buffer_(kChunkSize) {}

std::optional<std::string_view> LineReader::Next() {
  for (;;) {
    const char* start = buffer_.data() + begin_;
    size_t available = end_ - begin_;
    const void* cr = std::memchr(start + scanned_, '\r', available - scanned_);
    if (cr != nullptr) {
      size_t length = static_cast<const char*>(cr) - start;
      // A CR that ends the buffer may still be followed by LF: look further.
      if (length + 1 < available || at_end_ || !Fill()) {
        start = buffer_.data() + begin_;
        available = end_ - begin_;
        bool crlf = length + 1 < available && start[length + 1] == '\n';
        begin_ += length + (crlf ? 2 : 1);
        scanned_ = 0;
        return std::string_view(start, length);
      }
      continue;
    }
    scanned_ = available;
    if (!at_end_ && Fill()) continue;
    if (available == 0) return std::nullopt;
    start = buffer_.data() + begin_;  // Fill has moved the unread bytes to the front.
    begin_ = end_;
    scanned_ = 0;
    return std::string_view(start, available);
  }
}

bool LineReader::Fill() {
  size_t unread = end_ - begin_;
  std::memmove(buffer_.data(), buffer_.data() + begin_, unread);
  begin_ = 0;
  end_ = unread;
  if (buffer_.size() - end_ < kChunkSize / 2) buffer_.resize(buffer_.size() * 2);
  size_t n = source_.Read(buffer_.data() + end_, buffer_.size() - end_);
  source_length_ = source_.Length();
  end_ += n;
  if (n == 0) at_end_ = true;
  return n > 0;
}

}  // namespace pixtrel
