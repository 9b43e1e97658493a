#include "glyphdata/utf8_source.h"

#include <algorithm>
#include <cstring>

#include "glyphdata/cp936.h"
#include "glyphdata/cp936_tables.h"
#include "platform/failure.h"

namespace pixtrel {

namespace {

constexpr size_t kBufferSize = 256 * 1024;

/// An ill-formed sequence: a failure, or, while a file is only being
/// checked, the sign that it is no UTF-8.
class IllFormed : public Failure {
 public:
  using Failure::Failure;
};

/// True when the file `path` is mostly UTF-8; it is read only as far as it
/// takes to know.
bool MostlyUtf8File(Disk& disk, const std::string& path) {
  std::unique_ptr<ByteSource> file = disk.OpenForReading(path);
  const int64_t length = file->Length();
  RawBuffer buffer(kBufferSize);
  Utf8Census census;
  for (int64_t read = 0, count; (count = static_cast<int64_t>(file->Read(buffer.data(), buffer.size()))) != 0;) {
    census.Count(std::string_view(buffer.data(), static_cast<size_t>(count)));
    read += count;
    if (!census.MayBecomeMostlyUtf8(length - read)) return false;
  }
  census.End();
  return census.MostlyUtf8();
}

}  // namespace

std::unique_ptr<Utf8Source> Utf8Source::OpenFile(Disk& disk, const std::string& path) {
  return OpenMeasured(path, [&] { return disk.OpenForReading(path); });
}

std::unique_ptr<Utf8Source> Utf8Source::OpenMeasured(const std::string& name,
                                                     const std::function<std::unique_ptr<ByteSource>()>& open) {
  const int64_t length = Pass(name, open()).Measure();
  return std::unique_ptr<Utf8Source>(new Utf8Source(name, open(), length));
}

std::unique_ptr<Utf8Source> Utf8Source::OpenFileIfUtf8(Disk& disk, const std::string& path) {
  Pass measuring(path, disk.OpenForReading(path));
  int64_t length;
  try {
    length = measuring.Measure();
  } catch (const IllFormed&) {
    // Not all of it is UTF-8; it still is when a byte order mark says so or it is mostly UTF-8, and then what
    // is not is an error.
    if (measuring.StartedWithByteOrderMark() || MostlyUtf8File(disk, path)) throw;
    return nullptr;
  }
  if (!measuring.SawNonAscii()) return nullptr;
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
  Converted(char* out, char* end) : out_(out), end_(end) {}

  /// How many bytes still fit.
  size_t Room() const { return static_cast<size_t>(end_ - out_); }
  void Ascii(const unsigned char* bytes, size_t size) {
    std::memcpy(out_, bytes, size);
    out_ += size;
  }
  void Character(uint32_t code_point, const unsigned char* utf8, size_t size, std::deque<std::string>* unconvertible) {
    const uint16_t code = code_point <= 0xFFFF ? cp936_tables::kFromUnicode[code_point] : 0;
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

/// Converted text only counted: its length in CP936.
class Counted {
 public:
  size_t Room() const { return static_cast<size_t>(-1); }
  void Ascii(const unsigned char*, size_t size) { length_ += static_cast<int64_t>(size); }
  void Character(uint32_t code_point, const unsigned char*, size_t, std::deque<std::string>*) {
    using namespace cp936_tables;
    const bool single_byte = code_point - kFirstSingleByte <= kLastSingleByte - kFirstSingleByte &&
                             kFromUnicode[code_point] != 0 && kFromUnicode[code_point] <= 0xFF;
    length_ += single_byte ? 1 : 2;  // No CP936 form reads as two bytes too.
  }
  int64_t length() const { return length_; }

 private:
  int64_t length_ = 0;
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
