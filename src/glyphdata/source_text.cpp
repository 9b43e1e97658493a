#include "glyphdata/source_text.h"

#include <algorithm>
#include <cstring>

#include "glyphdata/cp936.h"
#include "glyphdata/utf16_source.h"
#include "glyphdata/utf8.h"
#include "platform/failure.h"

namespace pixtrel {

namespace {

constexpr size_t kStreamSample = 64 * 1024;

/// A stream whose first bytes were read ahead and are read again first.
class ReplayedStream : public ByteSource {
 public:
  /// `start`, then what `rest` holds (nothing when null).
  ReplayedStream(std::string start, std::unique_ptr<ByteSource> rest)
      : start_(std::move(start)), rest_(std::move(rest)) {}

  size_t Read(char* buffer, size_t size) override {
    if (at_ == start_.size()) return rest_ ? rest_->Read(buffer, size) : 0;
    const size_t count = std::min(size, start_.size() - at_);
    std::memcpy(buffer, start_.data() + at_, count);
    at_ += count;
    return count;
  }

  int64_t Length() override { return kUnknownLength; }

 private:
  std::string start_;
  size_t at_ = 0;
  std::unique_ptr<ByteSource> rest_;
};

/// The first 64 KiB of `source`, read ahead.
std::string StartOf(ByteSource& source) {
  std::string start(kStreamSample, '\0');
  start.resize(source.ReadFull(start.data(), start.size()));
  return start;
}

/// The refusal of a text that looks like Big5.
Failure Big5Failure(const std::string& name) {
  return FileFailure(name, "this text looks like Big5; say --encoding big5, or --encoding cp936 to read it as CP936");
}

/// True when `sample`, the start of a text (all of it when `whole`), reads
/// as UTF-8: it starts with a byte order mark, or it is mostly UTF-8.
bool LooksLikeUtf8(std::string_view sample, bool whole) {
  if (sample.starts_with(kByteOrderMark)) return true;
  Utf8Census census;
  census.Count(sample);
  if (whole) census.End();
  return census.MostlyUtf8();
}

SourceText AsUtf8(std::unique_ptr<Utf8Source> source) {
  Utf8Source* utf8 = source.get();
  return {std::move(source), utf8};
}

/// The UTF-16 text of `stream`, named `name`, read as UTF-8.
SourceText FromUtf16(const std::string& name, std::unique_ptr<ByteSource> stream) {
  return AsUtf8(std::make_unique<Utf8Source>(name, std::make_unique<Utf16Source>(name, std::move(stream))));
}

/// The Big5 (CP950) text of `stream`, named `name`, read as UTF-8. Throws
/// Failure naming the first line that is not Big5.
SourceText FromBig5(const std::string& name, std::unique_ptr<ByteSource> stream) {
  const std::string text = stream->ReadAll();
  std::optional<std::string> converted = ConvertText("UTF-8", "CP950", text);
  if (!converted) {
    size_t line_start = 0;
    for (int line = 1;; ++line) {
      const size_t end = std::min(text.find('\n', line_start), text.size());
      if (!ConvertText("UTF-8", "CP950", std::string_view(text).substr(line_start, end - line_start)) ||
          end == text.size())
        throw FileFailure(name + ":" + std::to_string(line), "invalid Big5 (CP950)");
      line_start = end + 1;
    }
  }
  return AsUtf8(std::make_unique<Utf8Source>(name, std::make_unique<ReplayedStream>(std::move(*converted), nullptr)));
}

}  // namespace

SourceText OpenSourceFile(Disk& disk, const std::string& path, TextEncoding encoding) {
  std::unique_ptr<ByteSource> file = disk.OpenForReading(path);
  // A FIFO or a device can be read only once: it is read as a stream is.
  if (file->Length() == ByteSource::kUnknownLength) return OpenSourceStream(std::move(file), path, encoding);
  switch (encoding) {
    case TextEncoding::kCp936:
      break;
    case TextEncoding::kUtf8:
      return AsUtf8(Utf8Source::OpenFile(disk, path));
    case TextEncoding::kBig5:
      return FromBig5(path, std::move(file));
    case TextEncoding::kAuto:
      if (std::unique_ptr<Utf8Source> source = Utf8Source::OpenFileIfUtf8(disk, path)) return AsUtf8(std::move(source));
      break;
    case TextEncoding::kDetect: {
      const std::string start = StartOf(*disk.OpenForReading(path));
      if (StartsAsUtf16(start)) return FromUtf16(path, std::move(file));
      if (std::unique_ptr<Utf8Source> source = Utf8Source::OpenFileIfUtf8(disk, path)) return AsUtf8(std::move(source));
      if (LooksLikeBig5(start)) throw Big5Failure(path);
      break;
    }
  }
  return {std::move(file)};
}

SourceText OpenSourceStream(std::unique_ptr<ByteSource> stream, const std::string& name, TextEncoding encoding) {
  if (encoding == TextEncoding::kAuto || encoding == TextEncoding::kDetect) {
    const bool detect = encoding == TextEncoding::kDetect;
    std::string sample = StartOf(*stream);
    const bool utf16 = detect && StartsAsUtf16(sample), utf8 = LooksLikeUtf8(sample, sample.size() < kStreamSample);
    if (detect && !utf16 && !utf8 && LooksLikeBig5(sample)) throw Big5Failure(name);
    stream = std::make_unique<ReplayedStream>(std::move(sample), std::move(stream));
    if (utf16) return FromUtf16(name, std::move(stream));
    encoding = utf8 ? TextEncoding::kUtf8 : TextEncoding::kCp936;
  }
  if (encoding == TextEncoding::kUtf8) return AsUtf8(std::make_unique<Utf8Source>(name, std::move(stream)));
  if (encoding == TextEncoding::kBig5) return FromBig5(name, std::move(stream));
  return {std::move(stream)};
}

}  // namespace pixtrel
