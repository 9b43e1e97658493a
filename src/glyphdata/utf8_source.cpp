#include "glyphdata/utf8_source.h"

#include <algorithm>
#include <array>
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

uint32_t Utf8CodePoint(std::string_view character) {
  const auto lead = static_cast<unsigned char>(character[0]);
  if (character.size() == 1) return lead;
  uint32_t value = lead & (0x7F >> character.size());
  for (size_t i = 1; i < character.size(); ++i) value = value << 6 | (static_cast<unsigned char>(character[i]) & 0x3F);
  return value;
}

namespace {

/// For every code point of the Basic Multilingual Plane, its CP936 code as
/// the C library converts it (a single byte below 0x100), or 0 when it has
/// none; made once, when the first UTF-8 text is read.
const std::array<uint16_t, 65536>& Cp936OfBmp() {
  static const std::array<uint16_t, 65536> table = [] {
    std::array<uint16_t, 65536> codes{};
    TextConverter converter("CP936", "UTF-8");
    for (uint32_t code_point = 0x80; code_point <= 0xFFFF; ++code_point) {
      if (code_point >= 0xD800 && code_point <= 0xDFFF) continue;  // Surrogates are no characters.
      char utf8[3] = {static_cast<char>(code_point < 0x800 ? 0xC0 | code_point >> 6 : 0xE0 | code_point >> 12),
                      static_cast<char>(code_point < 0x800 ? 0x80 | (code_point & 0x3F)
                                                           : 0x80 | (code_point >> 6 & 0x3F)),
                      static_cast<char>(0x80 | (code_point & 0x3F))};
      std::string_view in(utf8, code_point < 0x800 ? 2 : 3);
      char cp936[4];
      char* out = cp936;
      size_t out_left = sizeof cp936;
      if (converter.Convert(&in, &out, &out_left) != TextConverter::Stop::kDone) continue;
      const size_t size = static_cast<size_t>(out - cp936);
      const auto first = static_cast<unsigned char>(cp936[0]);
      if (size == 1) codes[code_point] = first;
      if (size == 2) codes[code_point] = static_cast<uint16_t>(first << 8 | static_cast<unsigned char>(cp936[1]));
    }
    return codes;
  }();
  return table;
}

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
  for (;;) {
    out = ConvertPending(out, unconvertible);
    if (out != out_.data()) break;
    // Nothing converted: nothing is pending, or a sequence that goes on in what is still to be read.
    if (!ReadMore()) {
      if (!pending_.empty()) FailIllFormed();
      break;
    }
  }
  return std::string_view(out_.data(), static_cast<size_t>(out - out_.data()));
}

char* Utf8Source::Pass::ConvertPending(char* out, std::deque<std::string>* unconvertible) {
  const std::array<uint16_t, 65536>& table = Cp936OfBmp();
  const auto* const start = reinterpret_cast<const unsigned char*>(pending_.data());
  const auto* const end = start + pending_.size();
  const auto* in = start;
  char* const out_end = out_.data() + out_.size() - kNoCp936Form.size();
  while (in < end && out <= out_end) {
    if (*in < 0x80) {
      *out++ = static_cast<char>(*in++);
      continue;
    }
    saw_non_ascii_ = true;
    const std::string_view sequence(reinterpret_cast<const char*>(in), static_cast<size_t>(end - in));
    size_t length;
    uint32_t code_point;
    if (*in >= 0xE1 && *in != 0xED && *in <= 0xEF && end - in >= 3 && (in[1] & 0xC0) == 0x80 &&
        (in[2] & 0xC0) == 0x80) {  // Most of Chinese: three bytes, with no second byte out of bounds.
      length = 3;
      code_point = static_cast<uint32_t>((*in & 0x0F) << 12 | (in[1] & 0x3F) << 6 | (in[2] & 0x3F));
    } else {
      length = Utf8SequenceLength(sequence);
      if (length == kIncompleteUtf8) break;
      if (length == 0) {
        Consume(pending_.substr(0, static_cast<size_t>(in - start)));
        FailIllFormed();
      }
      code_point = Utf8CodePoint(sequence.substr(0, length));
    }
    const uint16_t code = code_point <= 0xFFFF ? table[code_point] : 0;
    if (code == 0) {
      if (unconvertible != nullptr) unconvertible->emplace_back(sequence.substr(0, length));
      out = std::copy(kNoCp936Form.begin(), kNoCp936Form.end(), out);
    } else {
      if (code > 0xFF) *out++ = static_cast<char>(code >> 8);
      *out++ = static_cast<char>(code & 0xFF);
    }
    in += length;
  }
  Consume(pending_.substr(0, static_cast<size_t>(in - start)));
  pending_.remove_prefix(static_cast<size_t>(in - start));
  return out;
}

bool Utf8Source::Pass::ReadMore() {
  if (input_ended_) return false;
  std::memmove(in_.data(), pending_.data(), pending_.size());
  const size_t count = input_->Read(in_.data() + pending_.size(), in_.size() - pending_.size());
  input_ended_ = count == 0;
  pending_ = std::string_view(in_.data(), pending_.size() + count);
  return !input_ended_;
}

void Utf8Source::Pass::Consume(std::string_view consumed) { lines_.Count(consumed); }

void Utf8Source::Pass::FailIllFormed() const {
  throw IllFormed(name_ + ":" + std::to_string(lines_.Number()) + ": invalid UTF-8");
}

}  // namespace pixtrel
