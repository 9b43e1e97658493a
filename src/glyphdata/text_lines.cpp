#include "glyphdata/text_lines.h"

#include <cstring>

namespace pixtrel {

namespace {
constexpr size_t kChunkSize = 256 * 1024;
}  // namespace

LineReader::LineReader(ByteSource& source) : source_(source), buffer_(kChunkSize) {}

std::optional<LinePiece> LineReader::Next() {
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
        return TakePiece(length, length + (crlf ? 2 : 1), true);
      }
      continue;
    }
    scanned_ = available;
    if (available >= kChunkSize) return TakePiece(available, available, false);
    if (!at_end_ && Fill()) continue;
    if (available == 0 && !in_line_) return std::nullopt;
    return TakePiece(available, available, true);  // The last line, without a line end.
  }
}

std::optional<std::string_view> LineReader::NextLine() {
  joined_.clear();
  while (std::optional<LinePiece> piece = Next()) {
    if (piece->ends_line && joined_.empty()) return piece->text;  // A whole line, as most are.
    joined_ += piece->text;
    if (piece->ends_line) return joined_;
  }
  return std::nullopt;
}

LinePiece LineReader::TakePiece(size_t length, size_t consumed, bool ends_line) {
  const std::string_view text(buffer_.data() + begin_, length);
  begin_ += consumed;
  scanned_ = 0;
  in_line_ = !ends_line;
  return {text, ends_line, consumed > length};
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
  if (bytes.empty()) return;
  const char* const begin = bytes.data();
  const char* const end = begin + bytes.size();
  // Every CR ends a line; a LF ends one unless it follows a CR.
  int64_t ends = 0;
  for (const char* cr = begin; (cr = static_cast<const char*>(std::memchr(cr, '\r', end - cr))) != nullptr; ++cr)
    ++ends;
  for (const char* lf = begin; (lf = static_cast<const char*>(std::memchr(lf, '\n', end - lf))) != nullptr; ++lf)
    if (!(lf == begin ? after_cr_ : lf[-1] == '\r')) ++ends;
  number_ += ends;
  after_cr_ = end[-1] == '\r';
  at_line_start_ = end[-1] == '\r' || end[-1] == '\n';
}

}  // namespace pixtrel
