#include "glyphdata/source_text.h"

#include <algorithm>
#include <cstring>
#include <future>
#include <iterator>

#include "glyphdata/double_byte_source.h"
#include "glyphdata/utf16_source.h"
#include "glyphdata/utf8.h"
#include "platform/charset_detection.h"
#include "platform/failure.h"
#include "platform/word_list.h"

namespace pixtrel {

namespace {

constexpr size_t kStreamSample = 64 * 1024;
/// The start of a text from which on it is judged beside the run rather than before it.
constexpr size_t kJudgedBeside = 16 * 1024;

constexpr EncodingName kEncodings[] = {
    {TextEncoding::kDetect, "auto", "", "", ""},
    {TextEncoding::kUtf8, "utf-8", "utf8", "UTF-8", ""},
    {TextEncoding::kUtf16, "utf-16", "utf16", "UTF-16", ""},
    {TextEncoding::kUtf16Le, "utf-16le", "", "UTF-16LE", ""},
    {TextEncoding::kUtf16Be, "utf-16be", "", "UTF-16BE", ""},
    {TextEncoding::kCp936, "cp936", "gbk, gb2312, gb18030", "CP936", "simplified Chinese"},
    {TextEncoding::kBig5, "big5", "cp950", "Big5", "traditional Chinese"},
    {TextEncoding::kCp949, "cp949", "euc-kr, uhc", "CP949", "Korean"},
    {TextEncoding::kShiftJis, "shift_jis", "cp932, sjis", "Shift_JIS", "Japanese"},
    {TextEncoding::kEucJp, "euc-jp", "", "EUC-JP", "Japanese"},
};

const EncodingName& NameOf(TextEncoding encoding) {
  return *std::find_if(std::begin(kEncodings), std::end(kEncodings),
                       [&](const EncodingName& name) { return name.encoding == encoding; });
}

/// A stream whose first bytes were read ahead and are read again first.
class ReplayedStream : public ByteSource {
 public:
  /// `start`, then what `rest` holds.
  ReplayedStream(std::string start, std::unique_ptr<ByteSource> rest)
      : start_(std::move(start)), rest_(std::move(rest)) {}

  size_t Read(char* buffer, size_t size) override {
    if (at_ == start_.size()) return rest_->Read(buffer, size);
    const size_t count = std::min(size, start_.size() - at_);
    std::memcpy(buffer, start_.data() + at_, count);
    at_ += count;
    return count;
  }

  /// That of the whole: the file's length, read ahead or not.
  int64_t Length() override { return rest_->Length(); }

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

bool IsUtf16(TextEncoding encoding) {
  return encoding == TextEncoding::kUtf16 || encoding == TextEncoding::kUtf16Le || encoding == TextEncoding::kUtf16Be;
}

/// Throws the refusal of a text whose start `start` is that of no text:
/// of a font, an archive or a picture, or one with a NUL byte.
void RefuseNonText(const std::string& name, std::string_view start) {
  static constexpr std::pair<std::string_view, const char*> kStarts[] = {
      {std::string_view("\0\1\0\0", 4), "a font file"},
      {"OTTO", "a font file"},
      {"ttcf", "a font file"},
      {"wOFF", "a font file"},
      {"wOF2", "a font file"},
      {"\1fcp", "a font file"},
      {"\x1F\x8B", "a gzip archive"},
      {"PK\3\4", "a zip archive"},
      {"\x89PNG", "a PNG picture"},
  };
  for (const auto& [magic, what] : kStarts)
    if (start.starts_with(magic)) throw FileFailure(name, std::string("not a text (") + what + "?)");
  if (start.find('\0') != std::string_view::npos) throw FileFailure(name, "not a text (it holds NUL bytes)");
}

/// The refusal of a text that looks as if it were in `encoding`.
Failure ForeignFailure(const std::string& name, TextEncoding encoding) {
  const EncodingName& named = NameOf(encoding);
  return FileFailure(name, std::string("this text looks like ") + named.shown + " (" + named.what +
                               "); say --encoding " + named.name + ", or --encoding cp936 to read it as CP936");
}

/// The encoding a text is read in, of which `start` is the start, as
/// `encoding` asks: itself when it names one, else as the text says;
/// `is_utf8()` tells whether it is UTF-8 by its census. Throws the
/// refusals of kDetect.
template <class IsUtf8>
TextEncoding Decide(const std::string& name, std::string_view start, TextEncoding encoding, IsUtf8 is_utf8) {
  if (encoding != TextEncoding::kAuto && encoding != TextEncoding::kDetect) {
    if (!IsUtf16(encoding)) RefuseNonText(name, start);
    return encoding;
  }
  if (StartsAsUtf16(start)) return TextEncoding::kUtf16;
  const bool detect = encoding == TextEncoding::kDetect;
  if (detect) RefuseNonText(name, start);
  if (is_utf8()) return TextEncoding::kUtf8;
  if (detect && start.size() < kJudgedBeside)
    if (const std::optional<TextEncoding> foreign = ForeignEncoding(start)) throw ForeignFailure(name, *foreign);
  return TextEncoding::kCp936;
}

/// The UTF-8 text that `raw`, in `encoding` (none of CP936), reads as.
std::unique_ptr<ByteSource> AsUtf8Text(TextEncoding encoding, const std::string& name,
                                       std::unique_ptr<ByteSource> raw) {
  switch (encoding) {
    case TextEncoding::kUtf16:
      return std::make_unique<Utf16Source>(name, std::move(raw), Utf16Order::kByMark);
    case TextEncoding::kUtf16Le:
      return std::make_unique<Utf16Source>(name, std::move(raw), Utf16Order::kLittle);
    case TextEncoding::kUtf16Be:
      return std::make_unique<Utf16Source>(name, std::move(raw), Utf16Order::kBig);
    case TextEncoding::kBig5:
      return std::make_unique<DoubleByteSource>(name, std::move(raw), DoubleByteEncoding::kBig5);
    case TextEncoding::kCp949:
      return std::make_unique<DoubleByteSource>(name, std::move(raw), DoubleByteEncoding::kCp949);
    case TextEncoding::kShiftJis:
      return std::make_unique<DoubleByteSource>(name, std::move(raw), DoubleByteEncoding::kShiftJis);
    case TextEncoding::kEucJp:
      return std::make_unique<DoubleByteSource>(name, std::move(raw), DoubleByteEncoding::kEucJp);
    default:
      return raw;
  }
}

SourceText AsUtf8(std::unique_ptr<Utf8Source> source) {
  Utf8Source* utf8 = source.get();
  return {std::move(source), utf8};
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

/// A long text the detector judges on a thread of its own while the run
/// reads it as CP936, so that its judgement (1000 instructions a byte of
/// the sample) costs no time: at its end the read fails as the judgement
/// says, when it finds the text to be of another East Asian encoding.
class JudgedText : public ByteSource {
 public:
  /// `text`, named `name`, its judgement made from its start `sample`.
  JudgedText(std::unique_ptr<ByteSource> text, std::string name, std::string sample)
      : text_(std::move(text)),
        name_(std::move(name)),
        judgement_(std::async(std::launch::async, [sample = std::move(sample)] { return ForeignEncoding(sample); })) {}

  size_t Read(char* buffer, size_t size) override {
    const size_t count = text_->Read(buffer, size);
    if (count == 0 && judgement_.valid())
      if (const std::optional<TextEncoding> foreign = judgement_.get()) throw ForeignFailure(name_, *foreign);
    return count;
  }
  int64_t Length() override { return text_->Length(); }

 private:
  std::unique_ptr<ByteSource> text_;
  std::string name_;
  std::future<std::optional<TextEncoding>> judgement_;
};

/// A CP936 text of `encoding` (auto or detected), which Decide read as
/// CP936 from its start `start`: as it is, or when it is a text to be
/// judged that Decide left to be judged beside the run, that judgement's.
std::unique_ptr<ByteSource> Cp936Text(std::unique_ptr<ByteSource> text, const std::string& name, std::string start,
                                      TextEncoding encoding) {
  if (encoding != TextEncoding::kDetect || start.size() < kJudgedBeside) return text;
  return std::make_unique<JudgedText>(std::move(text), name, std::move(start));
}

/// A text held whole.
class TextBytes : public ByteSource {
 public:
  explicit TextBytes(std::string_view text) : text_(text) {}
  size_t Read(char* buffer, size_t size) override {
    const size_t count = std::min(size, text_.size());
    std::memcpy(buffer, text_.data(), count);
    text_.remove_prefix(count);
    return count;
  }
  int64_t Length() override { return kUnknownLength; }

 private:
  std::string_view text_;
};

/// True when `sample` (no character cut at its end), read in `encoding`,
/// is well formed and holds a character `wanted` takes, if `wanted` is given.
bool ReadsAs(std::string_view sample, DoubleByteEncoding encoding, bool (*wanted)(uint32_t)) {
  std::string utf8;
  try {
    utf8 = DoubleByteSource("", std::make_unique<TextBytes>(sample), encoding).ReadAll();
  } catch (const Failure&) {
    return false;
  }
  if (wanted == nullptr) return true;
  for (std::string_view rest = utf8; !rest.empty();) {
    const size_t length = Utf8SequenceLength(rest);
    if (wanted(Utf8CodePoint(rest.substr(0, length)))) return true;
    rest.remove_prefix(length);
  }
  return false;
}

bool IsHangul(uint32_t c) {
  return (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0x1100 && c <= 0x11FF) || (c >= 0x3131 && c <= 0x318E);
}

bool IsKana(uint32_t c) { return (c >= 0x3041 && c <= 0x30FF) || (c >= 0xFF66 && c <= 0xFF9D); }

}  // namespace

std::span<const EncodingName> EncodingNames() { return kEncodings; }

std::optional<TextEncoding> EncodingNamed(std::string_view name) {
  const std::string lower = Lowercase(std::string(name));
  for (const EncodingName& encoding : kEncodings) {
    if (lower == encoding.name) return encoding.encoding;
    for (std::string_view aliases = encoding.aliases; !aliases.empty();) {
      const size_t comma = std::min(aliases.find(", "), aliases.size());
      if (aliases.substr(0, comma) == lower) return encoding.encoding;
      aliases.remove_prefix(std::min(comma + 2, aliases.size()));
    }
  }
  return std::nullopt;
}

std::optional<TextEncoding> ForeignEncoding(std::string_view sample) {
  // Up to its last ASCII byte, so that no character is cut.
  const auto last_ascii = std::find_if(sample.rbegin(), sample.rend(), [](char c) { return (c & 0x80) == 0; });
  sample = sample.substr(0, static_cast<size_t>(sample.rend() - last_ascii));
  if (std::all_of(sample.begin(), sample.end(), [](char c) { return (c & 0x80) == 0; })) return std::nullopt;
  const std::string charset = DetectCharset(sample);
  if (charset == "BIG5" && ReadsAs(sample, DoubleByteEncoding::kBig5, nullptr)) return TextEncoding::kBig5;
  if (charset == "SHIFT_JIS" && ReadsAs(sample, DoubleByteEncoding::kShiftJis, nullptr)) return TextEncoding::kShiftJis;
  if ((charset == "UHC" || charset == "EUC-KR") && ReadsAs(sample, DoubleByteEncoding::kCp949, IsHangul))
    return TextEncoding::kCp949;
  if (charset == "EUC-JP" && ReadsAs(sample, DoubleByteEncoding::kEucJp, IsKana)) return TextEncoding::kEucJp;
  return std::nullopt;
}

SourceText OpenSourceFile(Disk& disk, const std::string& path, TextEncoding encoding) {
  std::unique_ptr<ByteSource> file = disk.OpenForReading(path);
  // A FIFO or a device can be read only once: it is read as a stream is.
  if (file->Length() == ByteSource::kUnknownLength) return OpenSourceStream(std::move(file), path, encoding);
  std::string start = StartOf(*file);
  std::unique_ptr<Utf8Source> utf8;
  const TextEncoding read_as =
      Decide(path, start, encoding, [&] { return (utf8 = Utf8Source::OpenFileIfUtf8(disk, path)) != nullptr; });
  if (utf8) return AsUtf8(std::move(utf8));
  if (read_as == TextEncoding::kCp936) {
    std::string sample = start;
    return {Cp936Text(std::make_unique<ReplayedStream>(std::move(start), std::move(file)), path, std::move(sample),
                      encoding)};
  }
  return AsUtf8(Utf8Source::OpenMeasured(path, [&] { return AsUtf8Text(read_as, path, disk.OpenForReading(path)); }));
}

SourceText OpenSourceStream(std::unique_ptr<ByteSource> stream, const std::string& name, TextEncoding encoding) {
  std::string start = StartOf(*stream);
  const bool whole = start.size() < kStreamSample;
  const TextEncoding read_as = Decide(name, start, encoding, [&] { return LooksLikeUtf8(start, whole); });
  std::string sample = read_as == TextEncoding::kCp936 ? start : std::string();
  stream = std::make_unique<ReplayedStream>(std::move(start), std::move(stream));
  if (read_as == TextEncoding::kCp936) return {Cp936Text(std::move(stream), name, std::move(sample), encoding)};
  return AsUtf8(std::make_unique<Utf8Source>(name, AsUtf8Text(read_as, name, std::move(stream))));
}

}  // namespace pixtrel
