#include "glyphdata/utf8_source.h"

#include <algorithm>
#include <cstring>

#include "glyphdata/cp936.h"
#include "glyphdata/cp936_tables.h"
#include "platform/failure.h"

namespace pixtrel {

namespace {

constexpr size_t kBufferSize = 256 * 1024;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

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
  const int64_t length = measuring.Measure(/*whole_census=*/only_if_utf8);
  if (only_if_utf8 && !measuring.StartedWithByteOrderMark() && !measuring.census().MostlyUtf8()) return nullptr;
  measuring.FailAtFirstIllFormed();
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
    byte_order_mark_ = true;
  }
}

namespace {

/// Where converted text goes: a buffer, as far as it has room.
class Converted {
 public:
  Converted(char* out, char* end) : out_(out), end_(end) {}

  /// How many bytes still fit.
  size_t Room() const { return static_cast<size_t>(end_ - out_); }
  void Ascii(const unsigned char* bytes, size_t size) {
    std::memcpy(out_, bytes, size);
    out_ += size;
  }
  /// Converted text stops at an ill-formed sequence.
  static constexpr bool kGoesPastIllFormed = false;
  void Character(uint32_t code_point, const unsigned char* utf8, size_t size, std::deque<std::string>* unconvertible) {
    const uint16_t code = Cp936Of(code_point);
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
};

/// Converted text only counted: its length in CP936, and its census.
class Counted {
 public:
  explicit Counted(Utf8Census& census) : census_(census) {}

  /// The text is measured whole, ill-formed sequences only counted.
  static constexpr bool kGoesPastIllFormed = true;
  size_t Room() const { return static_cast<size_t>(-1); }
  void Ascii(const unsigned char*, size_t size) { length_ += static_cast<int64_t>(size); }
  void Character(uint32_t code_point, const unsigned char*, size_t size, std::deque<std::string>*) {
    using namespace cp936_tables;
    const bool single_byte = code_point - kFirstSingleByte <= kLastSingleByte - kFirstSingleByte &&
                             kFromUnicode[code_point] != 0 && kFromUnicode[code_point] <= 0xFF;
    length_ += single_byte ? 1 : 2;  // No CP936 form reads as two bytes too.
    census_.well_formed += static_cast<int64_t>(size);
  }
  int64_t length() const { return length_; }

 private:
  int64_t length_ = 0;
  Utf8Census& census_;
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

int64_t Utf8Source::Pass::Measure(bool whole_census) {
  Counted counted(census_);
  whole_census_ = whole_census;
  do {
    Walk(counted, nullptr);
  } while (ReadMore());
  if (!pending_.empty()) IllFormedAt(pending_.size(), pending_.size());  // Cut short at the end.
  return counted.length();
}

void Utf8Source::Pass::FailAtFirstIllFormed() const {
  if (first_ill_formed_line_ != 0)
    throw IllFormed(name_ + ":" + std::to_string(first_ill_formed_line_) + ": invalid UTF-8");
}

void Utf8Source::Pass::IllFormedAt(size_t offset, size_t size) {
  if (first_ill_formed_line_ == 0) {
    EditorLineCounter lines = lines_;
    lines.Count(pending_.substr(0, offset));
    first_ill_formed_line_ = lines.Number();
  }
  census_.ill_formed += static_cast<int64_t>(size);
  if (!whole_census_) FailAtFirstIllFormed();
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
      if constexpr (!Output::kGoesPastIllFormed) {
        Consume(pending_.substr(0, static_cast<size_t>(in - start)));
        FailIllFormed();
      }
      IllFormedAt(static_cast<size_t>(in - start), 1);
      ++in;
      continue;
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
