#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "glyphdata/utf8_source.h"
#include "platform/platform.h"

namespace pixtrel {

/// How a source text is encoded.
enum class TextEncoding {
  kAuto,      ///< The window's reading: UTF-16 after its byte order mark; UTF-8 when it starts
              ///< with its mark or is mostly UTF-8 (Utf8Census::MostlyUtf8); CP936 otherwise.
  kDetect,    ///< The command's: as kAuto, but a source that is no text (NUL bytes, the start
              ///< of a font, an archive or a picture) is refused, and so is one that the
              ///< detector judges another East Asian encoding (ForeignEncoding).
  kCp936,     ///< CP936 (GBK, and GB18030's four-byte characters), read as it is.
  kUtf8,      ///< UTF-8, converted to CP936 as it is read.
  kUtf16,     ///< UTF-16, in the order of its byte order mark, little-endian without one.
  kUtf16Le,   ///< UTF-16, little-endian.
  kUtf16Be,   ///< UTF-16, big-endian.
  kBig5,      ///< Big5 (CP950).
  kCp949,     ///< CP949 (EUC-KR and Unified Hangul Code).
  kShiftJis,  ///< Shift_JIS (CP932).
  kEucJp,     ///< EUC-JP.
};

/// An encoding a source may be said to be in, and its names.
struct EncodingName {
  TextEncoding encoding;
  const char* name;     ///< Its own name: "cp949".
  const char* aliases;  ///< Its other names, ", " between them: "euc-kr, uhc"; "" for none.
  const char* shown;    ///< How messages name it: "CP949".
  const char* what;     ///< What texts it holds, for messages: "Korean"; "" where the name says it.
};

/// The encodings --encoding names, in the order help lists them.
std::span<const EncodingName> EncodingNames();

/// The encoding named `name` (its name or an alias, in any letter case), or none.
std::optional<TextEncoding> EncodingNamed(std::string_view name);

/// A source text opened for a run, which reads it as CP936.
struct SourceText {
  /// `bytes` read as they are, or as `utf8` converts them.
  SourceText(std::unique_ptr<ByteSource> bytes = nullptr, Utf8Source* utf8 = nullptr)
      : bytes(std::move(bytes)), utf8(utf8) {}

  std::unique_ptr<ByteSource> bytes;
  Utf8Source* utf8;  ///< The source behind `bytes` when it is converted to CP936 as it is read; else null,
                     ///< and the text is CP936.
};

/// Opens the file `path` on `disk` as `encoding` says; one whose length
/// cannot be known (a FIFO) is read once, as OpenSourceStream reads. Throws
/// Failure naming the path (and the line of a sequence that is not of its
/// encoding), or a refusal as kDetect says.
SourceText OpenSourceFile(Disk& disk, const std::string& path, TextEncoding encoding);

/// Opens `stream`, named `name` in messages, as `encoding` says; with
/// kAuto or kDetect, its first 64 KiB decide.
SourceText OpenSourceStream(std::unique_ptr<ByteSource> stream, const std::string& name, TextEncoding encoding);

/// The encoding that `sample`, the start of a text (cut anywhere), is
/// judged to be in by the detector, when it is one that a CP936 text must
/// not be taken for: Big5, CP949, Shift_JIS or EUC-JP. A verdict of CP949
/// or EUC-JP, whose two-byte characters are GB2312's byte for byte, holds
/// only when the text read so holds Hangul or kana. None for any other.
std::optional<TextEncoding> ForeignEncoding(std::string_view sample);

}  // namespace pixtrel
