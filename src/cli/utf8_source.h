#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "glyphdata/text_lines.h"
#include "platform/platform.h"

namespace pixtrel {

/// Length of the well-formed UTF-8 sequence `bytes` starts with; 0 when it
/// starts with an ill-formed one, kIncompleteUtf8 when `bytes` ends inside a
/// sequence that is well formed so far. `bytes` must not be empty.
inline constexpr size_t kIncompleteUtf8 = static_cast<size_t>(-1);
size_t Utf8SequenceLength(std::string_view bytes);

/// A UTF-8 text file read as CP936, converted by glibc iconv as it is read.
/// A byte order mark at the start is skipped. A character with no CP936
/// form reads as the two bytes FF FF: no glyph, and as much progress as a
/// double-byte character.
class Utf8Source : public ByteSource {
 public:
  /// Receives a character without a CP936 form, in UTF-8, and the number of
  /// its line (a line ends at CR LF, CR or LF).
  using UnconvertibleFn = std::function<void(std::string_view character, int64_t line_number)>;

  /// Opens `path` on `disk` and reads it through once, before anything
  /// else: measures its length in CP936 and hands each character without a
  /// CP936 form to `unconvertible` (when set). Throws Failure naming the
  /// path (and, for an ill-formed sequence, its line: "PATH:LINE: invalid
  /// UTF-8") when the file cannot be read or is not UTF-8.
  Utf8Source(Disk& disk, const std::string& path, const UnconvertibleFn& unconvertible);

  size_t Read(char* buffer, size_t size) override;
  /// The length of the whole text in CP936.
  int64_t Length() override { return length_; }

 private:
  /// One reading of the file from its start, converted a buffer at a time.
  class Pass {
   public:
    Pass(Disk& disk, const std::string& path);
    /// Converts the next part of the file; empty only at its end.
    std::string_view Next(const UnconvertibleFn* unconvertible);

   private:
    bool ReadMore();
    void SkipByteOrderMark();
    [[noreturn]] void FailIllFormed() const;

    std::string path_;
    std::unique_ptr<ByteSource> file_;
    TextConverter converter_{"CP936", "UTF-8"};
    std::vector<char> in_;
    std::vector<char> out_;
    std::string_view pending_;  ///< Bytes read and not yet converted, inside in_.
    bool file_ended_ = false;
    EditorLineCounter lines_;
  };

  int64_t length_ = 0;
  Pass pass_;
  std::string_view ready_;  ///< Converted bytes not yet read.
};

}  // namespace pixtrel
