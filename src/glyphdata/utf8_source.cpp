#include "glyphdata/utf8_source.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstring>

#include "platform/failure.h"

namespace pixtrel {

namespace {

constexpr size_t kBufferSize = 256 * 1024;
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

/// The CP936 codes of the Basic Multilingual Plane, as the C library
/// converts its characters; made once, when the first UTF-8 text is read.
struct Cp936Table {
  /// For each code point, its CP936 code (a single byte below 0x100), or 0
  /// when it has none.
  std::array<uint16_t, 65536> code{};
  /// The code points whose CP936 code is a single byte (CP936's €), and
  /// the range they lie in, which a text is measured against first.
  std::bitset<65536> single_byte;
  uint32_t first_single_byte = 0xFFFF, last_single_byte = 0;
};

const Cp936Table& Cp936OfBmp() {
  static const Cp936Table table = [] {
    Cp936Table table;
    std::array<uint16_t, 65536>& codes = table.code;
    TextConverter converter("CP936", "UTF-8");
    for (uint32_t code_point = 0x80; code_point <= 0xFFFF; ++code_point) {
      if (code_point >= 0xD800 && code_point <= 0xDFFF) continue;  // Surrogates are no characters.
      char utf8[3] = {
          static_cast<char>(code_point < 0x800 ? 0xC0 | code_point >> 6 : 0xE0 | code_point >> 12),
          static_cast<char>(code_point < 0x800 ? 0x80 | (code_point & 0x3F) : 0x80 | (code_point >> 6 & 0x3F)),
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
      if (size != 1) continue;
      table.single_byte[code_point] = true;
      table.first_single_byte = std::min(table.first_single_byte, code_point);
      table.last_single_byte = std::max(table.last_single_byte, code_point);
    }
    return table;
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
  int64_t length;
  try {
    length = measuring.Measure();
  } catch (const IllFormed&) {
    if (only_if_utf8 && !measuring.StartedWithByteOrderMark()) return nullptr;  // A byte order mark says UTF-8.
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
  if (ready_.empty() && size >= sizeof spare_) return pass_.ConvertInto(buffer, size, &unconvertible_);
  if (ready_.empty()) ready_ = std::string_view(spare_, pass_.ConvertInto(spare_, sizeof spare_, &unconvertible_));
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
    : name_(std::move(name)), input_(std::move(input)), in_(kBufferSize) {
  pending_ = std::string_view(in_.data(), input_->ReadFull(in_.data(), kByteOrderMark.size()));
  if (pending_.starts_with(kByteOrderMark)) {
    pending_.remove_prefix(kByteOrderMark.size());
    saw_non_ascii_ = byte_order_mark_ = true;
  }
}

namespace {

/// Where converted text goes: a buffer, as far as it has room.
class Converted {
 public:
  Converted(char* out, char* end) : out_(out), end_(end), table_(Cp936OfBmp()) {}

  /// How many bytes still fit.
  size_t Room() const { return static_cast<size_t>(end_ - out_); }
  void Ascii(const unsigned char* bytes, size_t size) {
    std::memcpy(out_, bytes, size);
    out_ += size;
  }
  void Character(uint32_t code_point, const unsigned char* utf8, size_t size, std::deque<std::string>* unconvertible) {
    const uint16_t code = code_point <= 0xFFFF ? table_.code[code_point] : 0;
    if (code == 0) {
      if (unconvertible != nullptr) unconvertible->emplace_back(reinterpret_cast<const char*>(utf8), size);
      out_ = std::copy(kNoCp936Form.begin(), kNoCp936Form.end(), out_);
      return;
    }
    if (code > 0xFF) *out_++ = static_cast<char>(code >> 8);
    *out_++ = static_cast<char>(code & 0xFF);
  }
  char* out() const { return out_; }

 private:
  char* out_;
  char* end_;
  const Cp936Table& table_;
};

/// Converted text only counted: its length in CP936.
class Counted {
 public:
  size_t Room() const { return static_cast<size_t>(-1); }
  void Ascii(const unsigned char*, size_t size) { length_ += static_cast<int64_t>(size); }
  void Character(uint32_t code_point, const unsigned char*, size_t, std::deque<std::string>*) {
    const bool single_byte =
        code_point - table_.first_single_byte <= table_.last_single_byte - table_.first_single_byte &&
        table_.single_byte[code_point];
    length_ += single_byte ? 1 : 2;  // No CP936 form reads as two bytes too.
  }
  int64_t length() const { return length_; }

 private:
  int64_t length_ = 0;
  const Cp936Table& table_ = Cp936OfBmp();
};

/// How many bytes from `in` on, `limit` at most, are ASCII.
size_t AsciiRun(const unsigned char* in, size_t limit) {
  size_t run = 0;
  for (uint64_t word; run + 8 <= limit; run += 8) {
    std::memcpy(&word, in + run, 8);
    if ((word & 0x8080808080808080) != 0) break;
  }
  while (run < limit && in[run] < 0x80) ++run;
  return run;
}

}  // namespace

size_t Utf8Source::Pass::ConvertInto(char* buffer, size_t size, std::deque<std::string>* unconvertible) {
  Converted converted(buffer, buffer + size);
  for (;;) {
    Walk(converted, unconvertible);
    if (converted.out() != buffer) break;
    // Nothing converted: nothing is pending, or a sequence that goes on in what is still to be read.
    if (!ReadMore()) {
      if (!pending_.empty()) FailIllFormed();
      break;
    }
  }
  return static_cast<size_t>(converted.out() - buffer);
}

int64_t Utf8Source::Pass::Measure() {
  Counted counted;
  do {
    Walk(counted, nullptr);
  } while (ReadMore());
  if (!pending_.empty()) FailIllFormed();
  return counted.length();
}

template <class Output>
void Utf8Source::Pass::Walk(Output& output, std::deque<std::string>* unconvertible) {
  const auto* const start = reinterpret_cast<const unsigned char*>(pending_.data());
  const auto* const end = start + pending_.size();
  const auto* in = start;
  while (in < end && output.Room() >= kNoCp936Form.size()) {
    if (*in < 0x80) {
      const size_t run = AsciiRun(in, std::min(static_cast<size_t>(end - in), output.Room()));
      output.Ascii(in, run);
      in += run;
      continue;
    }
    saw_non_ascii_ = true;
    // Most of Chinese: three bytes one after the other, a lead byte 0xE1-0xEC or 0xEE-0xEF and two
    // continuation bytes, which need no check of bounds beyond that.
    for (uint32_t bytes; end - in >= 4 && output.Room() >= kNoCp936Form.size(); in += 3) {
      std::memcpy(&bytes, in, 4);
      const uint32_t lead_low = bytes & 0x0F;
      if ((bytes & 0xC0C0F0) != 0x8080E0 || lead_low == 0 || lead_low == 0x0D) break;
      output.Character((lead_low << 12) | (bytes >> 2 & 0xFC0) | (bytes >> 16 & 0x3F), in, 3, unconvertible);
    }
    if (in == end || *in < 0x80 || output.Room() < kNoCp936Form.size()) continue;
    const std::string_view sequence(reinterpret_cast<const char*>(in), static_cast<size_t>(end - in));
    const size_t length = Utf8SequenceLength(sequence);
    if (length == kIncompleteUtf8) break;
    if (length == 0) {
      Consume(pending_.substr(0, static_cast<size_t>(in - start)));
      FailIllFormed();
    }
    const uint32_t code_point = Utf8CodePoint(sequence.substr(0, length));
    output.Character(code_point, in, length, unconvertible);
    in += length;
  }
  Consume(pending_.substr(0, static_cast<size_t>(in - start)));
  pending_.remove_prefix(static_cast<size_t>(in - start));
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
