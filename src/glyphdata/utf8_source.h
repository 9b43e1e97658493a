#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "glyphdata/raw_buffer.h"
#include "glyphdata/text_lines.h"
#include "glyphdata/utf8.h"
#include "platform/platform.h"

namespace pixtrel {

/// The two bytes a character with no CP936 form reads as: no glyph, and as
/// much progress as a double-byte character.
inline constexpr std::string_view kNoCp936Form = "\xFF\xFF";

/// A UTF-8 text read as CP936, converted as it is read (as the C library
/// converts). A byte order mark at the start is skipped; a character with no
/// CP936 form reads as kNoCp936Form.
class Utf8Source : public ByteSource {
 public:
  /// Opens the UTF-8 file `path` on `disk` and reads it through once before
  /// anything else, to measure its length in CP936 and to check it. Throws
  /// Failure naming the path when the file cannot be read, and "PATH:LINE:
  /// invalid UTF-8" at an ill-formed sequence.
  static std::unique_ptr<Utf8Source> OpenFile(Disk& disk, const std::string& path);

  /// As OpenFile, for the UTF-8 text that each call of `open` reads from
  /// its start (a file converted as it is read), named `name`.
  static std::unique_ptr<Utf8Source> OpenMeasured(const std::string& name,
                                                  const std::function<std::unique_ptr<ByteSource>()>& open);

  /// As OpenFile for a file that is UTF-8: one that starts with a byte order
  /// mark, or holds a character that is not ASCII and is mostly UTF-8
  /// (Utf8Census::MostlyUtf8, of the whole file), whose ill-formed sequences
  /// are then errors as OpenFile's are. None for any other file, which
  /// reads as CP936.
  static std::unique_ptr<Utf8Source> OpenFileIfUtf8(Disk& disk, const std::string& path);

  /// A UTF-8 text read once from `stream`, whose length is unknown; `name`
  /// names it in messages. An ill-formed sequence fails the read that meets
  /// it, with "NAME:LINE: invalid UTF-8".
  Utf8Source(std::string name, std::unique_ptr<ByteSource> stream);

  size_t Read(char* buffer, size_t size) override;

  /// The length of the whole text in CP936, or kUnknownLength for a stream.
  int64_t Length() override { return length_; }

  /// The oldest character with no CP936 form that Read has given as
  /// kNoCp936Form and that was not taken yet, in UTF-8; empty when none.
  std::string TakeUnconvertible();

 private:
  /// One reading of the text from its start, converted a buffer at a time.
  class Pass {
   public:
    Pass(std::string name, std::unique_ptr<ByteSource> input);

    /// Converts the next part of the text into the `size` bytes at
    /// `buffer` (2 at least, room for any character) and returns how many it
    /// wrote; 0 only at the end of the text. Throws IllFormed at an
    /// ill-formed sequence. Characters with no CP936 form are added to
    /// `unconvertible` when it is given.
    size_t ConvertInto(char* buffer, size_t size, std::deque<std::string>* unconvertible);

    /// Reads the whole text, converting nothing: its length in CP936.
    /// Throws IllFormed as ConvertInto does.
    int64_t Measure();

    /// True once a byte that is not ASCII was read (a byte order mark too).
    bool SawNonAscii() const { return saw_non_ascii_; }

    /// True when the text started with a byte order mark.
    bool StartedWithByteOrderMark() const { return byte_order_mark_; }

   private:
    bool ReadMore();
    /// Converts what is pending into `output` (Converted or Counted) as far
    /// as it has room; leaves pending the start of a sequence that goes on
    /// in what is still to be read. Throws IllFormed.
    template <class Output>
    void Walk(Output& output, std::deque<std::string>* unconvertible);
    void Consume(std::string_view consumed);
    [[noreturn]] void FailIllFormed() const;

    std::string name_;
    std::unique_ptr<ByteSource> input_;
    RawBuffer in_;
    std::string_view pending_;  ///< Bytes read and not yet converted, inside in_.
    bool input_ended_ = false;
    bool saw_non_ascii_ = false;
    bool byte_order_mark_ = false;
    EditorLineCounter lines_;
  };

  Utf8Source(std::string name, std::unique_ptr<ByteSource> input, int64_t length);

  Pass pass_;
  int64_t length_;
  char spare_[kNoCp936Form.size()];        ///< Room to convert into for a read of less.
  std::string_view ready_;                 ///< Converted bytes in spare_ not yet read.
  std::deque<std::string> unconvertible_;  ///< Given as kNoCp936Form and not taken yet.
};

}  // namespace pixtrel
