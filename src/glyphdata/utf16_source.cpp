#include "glyphdata/utf16_source.h"

#include <algorithm>
#include <cstring>

#include "glyphdata/utf8.h"
#include "platform/failure.h"

namespace pixtrel {

namespace {

constexpr size_t kBufferSize = 64 * 1024;

}  // namespace

bool StartsAsUtf16(std::string_view start) { return start.starts_with("\xFF\xFE") || start.starts_with("\xFE\xFF"); }

Utf16Source::Utf16Source(std::string name, std::unique_ptr<ByteSource> input, Utf16Order order)
    : name_(std::move(name)), input_(std::move(input)), in_(kBufferSize) {
  end_ = input_->ReadFull(in_.data(), 2);
  const std::string_view mark(in_.data(), end_);
  big_endian_ = order == Utf16Order::kBig || (order == Utf16Order::kByMark && mark == "\xFE\xFF");
  at_ = mark == (big_endian_ ? "\xFE\xFF" : "\xFF\xFE") ? 2 : 0;
}

std::optional<uint16_t> Utf16Source::NextUnit() {
  if (end_ - at_ < 2) {
    std::memmove(in_.data(), in_.data() + at_, end_ - at_);
    end_ -= at_;
    at_ = 0;
    end_ += input_->ReadFull(in_.data() + end_, in_.size() - end_);
    if (end_ == 1) FailInvalid();  // A byte left over.
    if (end_ == 0) return std::nullopt;
  }
  const auto first = static_cast<unsigned char>(in_[at_]), second = static_cast<unsigned char>(in_[at_ + 1]);
  at_ += 2;
  return static_cast<uint16_t>(big_endian_ ? first << 8 | second : second << 8 | first);
}

size_t Utf16Source::Read(char* buffer, size_t size) {
  if (ready_at_ == ready_.size()) {
    ready_.clear();
    ready_at_ = 0;
    while (ready_.size() < kBufferSize) {
      const std::optional<uint16_t> unit = NextUnit();
      if (!unit) break;
      uint32_t code_point = *unit;
      if (*unit >= 0xDC00 && *unit <= 0xDFFF) FailInvalid();
      if (*unit >= 0xD800 && *unit <= 0xDBFF) {
        const std::optional<uint16_t> low = NextUnit();
        if (!low || *low < 0xDC00 || *low > 0xDFFF) FailInvalid();
        code_point = 0x10000 + ((*unit - 0xD800u) << 10) + (*low - 0xDC00u);
      }
      if (code_point == '\r' || (code_point == '\n' && !after_cr_)) ++line_;
      after_cr_ = code_point == '\r';
      AppendUtf8(code_point, ready_);
    }
  }
  const size_t count = std::min(size, ready_.size() - ready_at_);
  std::memcpy(buffer, ready_.data() + ready_at_, count);
  ready_at_ += count;
  return count;
}

void Utf16Source::FailInvalid() const { throw FileFailure(name_ + ":" + std::to_string(line_), "invalid UTF-16"); }

}  // namespace pixtrel
