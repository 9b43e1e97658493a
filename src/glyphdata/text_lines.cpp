#include "glyphdata/text_lines.h"

#include <cstring>

namespace pixtrel {

namespace {
constexpr size_t kChunkSize = 256 * 1024;
}  // namespace

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

void EditorLineCounter::Count(std::string_view bytes) {
  for (char byte : bytes) {
    if (byte == '\r' || (byte == '\n' && !after_cr_)) ++number_;
    after_cr_ = byte == '\r';
  }
}

}  // namespace pixtrel
