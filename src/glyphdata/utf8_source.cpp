#include "glyphdata/utf8_source.h"

#include <algorithm>
#include <cstring>

#include "platform/failure.h"

namespace pixtrel {

namespace {

constexpr size_t kBufferSize = 64 * 1024;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsContinuation(unsigned char byte) { return byte >= 0x80 && byte <= 0xBF; }

}  // namespace

size_t Utf8SequenceLength(std::string_view bytes) {
  const auto lead = static_cast<unsigned char>(bytes[0]);
  if (lead < 0x80) return 1;
  size_t length;
  unsigned char second_low = 0x80, second_high = 0xBF;  // Unicode's table of well-formed sequences.
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) second_low = 0xA0;   // No overlong forms.
    if (lead == 0xED) second_high = 0x9F;  // No surrogates.
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) second_low = 0x90;
    if (lead == 0xF4) second_high = 0x8F;  // Nothing past U+10FFFF.
  } else {
    return 0;
  }
  for (size_t i = 1; i < length; ++i) {
    if (i == bytes.size()) return kIncompleteUtf8;
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (i == 1 ? byte < second_low || byte > second_high : !IsContinuation(byte)) return 0;
  }
  return length;
}

namespace {

/// An ill-formed sequence: a failure, or, while a file is only being
/// checked, the sign that it is no UTF-8.
class IllFormed : public Failure {
 public:
  using Failure::Failure;
};

}  // namespace

std::unique_ptr<Utf8Source> Utf8Source::OpenFile(Disk& disk, const std::string& path) {
  return Open(disk, path, false);
}

std::unique_ptr<Utf8Source> Utf8Source::OpenFileIfUtf8(Disk& disk, const std::string& path) {
  return Open(disk, path, true);
}

std::unique_ptr<Utf8Source> Utf8Source::Open(Disk& disk, const std::string& path, bool only_if_utf8) {
  Pass measuring(path, disk.OpenForReading(path));
  int64_t length = 0;
  try {
    for (std::string_view part; !(part = measuring.Next(nullptr)).empty();) length += static_cast<int64_t>(part.size());
  } catch (const IllFormed&) {
    if (only_if_utf8) return nullptr;
    throw;
  }
  if (only_if_utf8 && !measuring.SawNonAscii()) return nullptr;
  return std::unique_ptr<Utf8Source>(new Utf8Source(path, disk.OpenForReading(path), length));
}

Utf8Source::Utf8Source(std::string name, std::unique_ptr<ByteSource> stream)
    : Utf8Source(std::move(name), std::move(stream), kUnknownLength) {}

Utf8Source::Utf8Source(std::string name, std::unique_ptr<ByteSource> input, int64_t length)
    : pass_(std::move(name), std::move(input)), length_(length) {}

size_t Utf8Source::Read(char* buffer, size_t size) {
  if (ready_.empty()) ready_ = pass_.Next(&unconvertible_);
  const size_t count = std::min(size, ready_.size());
  std::memcpy(buffer, ready_.data(), count);
  ready_.remove_prefix(count);
  return count;
}

std::string Utf8Source::TakeUnconvertible() {
  if (unconvertible_.empty()) return "";
  std::string character = std::move(unconvertible_.front());
  unconvertible_.pop_front();
  return character;
}

Utf8Source::Pass::Pass(std::string name, std::unique_ptr<ByteSource> input)
    : name_(std::move(name)), input_(std::move(input)), in_(kBufferSize), out_(kBufferSize) {
  pending_ = std::string_view(in_.data(), input_->ReadFull(in_.data(), kByteOrderMark.size()));
  if (pending_.starts_with(kByteOrderMark)) {
    pending_.remove_prefix(kByteOrderMark.size());
    saw_non_ascii_ = true;
  }
}

std::string_view Utf8Source::Pass::Next(std::deque<std::string>* unconvertible) {
  char* out = out_.data();
  size_t out_left = out_.size();
  while (out == out_.data()) {
    if (pending_.empty() && !ReadMore()) break;
    const std::string_view before = pending_;
    const TextConverter::Stop stop = converter_.Convert(&pending_, &out, &out_left);
    Consume(before.substr(0, before.size() - pending_.size()));
    if (stop == TextConverter::Stop::kDone || stop == TextConverter::Stop::kOutputFull) continue;
    const size_t length = stop == TextConverter::Stop::kIncomplete ? kIncompleteUtf8 : Utf8SequenceLength(pending_);
    if (length == kIncompleteUtf8) {
      if (!ReadMore()) FailIllFormed();
    } else if (length == 0) {
      FailIllFormed();
    } else if (out_left >= kNoCp936Form.size()) {
      if (unconvertible != nullptr) unconvertible->emplace_back(pending_.substr(0, length));
      std::memcpy(out, kNoCp936Form.data(), kNoCp936Form.size());
      out += kNoCp936Form.size();
      out_left -= kNoCp936Form.size();
      Consume(pending_.substr(0, length));
      pending_.remove_prefix(length);
    }
  }
  return std::string_view(out_.data(), static_cast<size_t>(out - out_.data()));
}

bool Utf8Source::Pass::ReadMore() {
  if (input_ended_) return false;
  std::memmove(in_.data(), pending_.data(), pending_.size());
  const size_t count = input_->Read(in_.data() + pending_.size(), in_.size() - pending_.size());
  input_ended_ = count == 0;
  pending_ = std::string_view(in_.data(), pending_.size() + count);
  return !input_ended_;
}

void Utf8Source::Pass::Consume(std::string_view consumed) {
  lines_.Count(consumed);
  if (!saw_non_ascii_)
    saw_non_ascii_ = std::any_of(consumed.begin(), consumed.end(), [](char byte) { return (byte & 0x80) != 0; });
}

void Utf8Source::Pass::FailIllFormed() const {
  throw IllFormed(name_ + ":" + std::to_string(lines_.Number()) + ": invalid UTF-8");
}

}  // namespace pixtrel
