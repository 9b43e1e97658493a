#pragma once

#include <memory>
#include <string>

#include "glyphdata/utf8_source.h"
#include "platform/platform.h"

namespace pixtrel {

/// How a source text is encoded.
enum class TextEncoding {
  kAuto,    ///< UTF-8 when it starts with a byte order mark, or is mostly UTF-8
            ///< (Utf8Census::MostlyUtf8); CP936 otherwise.
  kDetect,  ///< As kAuto; besides, a text that starts with a UTF-16 byte order mark
            ///< is read as UTF-16, and one that looks like Big5 (LooksLikeBig5, of
            ///< its first 64 KiB) is refused rather than read as CP936.
  kCp936,   ///< CP936 (GBK), read as it is.
  kUtf8,    ///< UTF-8, converted to CP936 as it is read.
  kBig5,    ///< Big5 (CP950), converted to UTF-8 whole, then as kUtf8.
};

/// A source text opened for a run, which reads it as CP936.
struct SourceText {
  /// `bytes` read as they are, or as `utf8` converts them.
  SourceText(std::unique_ptr<ByteSource> bytes = nullptr, Utf8Source* utf8 = nullptr)
      : bytes(std::move(bytes)), utf8(utf8) {}

  std::unique_ptr<ByteSource> bytes;
  Utf8Source* utf8;  ///< The source behind `bytes` when it is converted from UTF-8.
};

/// Opens the file `path` on `disk` as `encoding` says; one whose length
/// cannot be known (a FIFO) is read once, as OpenSourceStream reads. Throws
/// Failure naming the path (and the line of a sequence that is not UTF-8).
SourceText OpenSourceFile(Disk& disk, const std::string& path, TextEncoding encoding);

/// Opens `stream`, named `name` in messages, as `encoding` says; with
/// kAuto or kDetect, its first 64 KiB decide.
SourceText OpenSourceStream(std::unique_ptr<ByteSource> stream, const std::string& name, TextEncoding encoding);

}  // namespace pixtrel
