#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "glyphdata/raw_buffer.h"
#include "platform/platform.h"

namespace pixtrel {

/// A line of a source, or a piece of one.
struct LinePiece {
  std::string_view text;  ///< Without the line end.
  bool ends_line;         ///< The line ends here: this is its last piece.
  bool had_line_end;      ///< It ended at a CR LF or CR, not at the end of the source.
};

/// Splits a source into lines. A line ends at CR LF or at a CR not followed
/// by LF; the line end is not part of the line. A LF alone is an ordinary
/// byte. A last line without a line end is still a line, and a final line
/// end does not start an empty line. A line longer than the reader holds at
/// once (a few hundred KB) comes in pieces, so memory does not grow with it.
class LineReader {
 public:
  /// Reads from `source`, which must outlive the reader.
  explicit LineReader(ByteSource& source);

  /// The next line or piece of a line, or none at the end of the source.
  /// The view stays valid until the next call. A line that comes in pieces
  /// ends with a piece that may be empty.
  std::optional<LinePiece> Next();

  /// The next whole line, its pieces joined, or none at the end of the
  /// source: for texts whose lines are known to be short. The view stays
  /// valid until the next call.
  std::optional<std::string_view> NextLine();

  /// Takes back the last `count` bytes of the piece Next just returned,
  /// which did not end its line: they begin the next piece instead.
  void GiveBack(size_t count) { begin_ -= count; }

  /// The source's length as of the last read from it: the length is taken
  /// anew whenever the reader fetches more of the source.
  int64_t SourceLength() const { return source_length_; }

 private:
  /// Moves the unread bytes to the front and reads more after them; false
  /// when the source has no more.
  bool Fill();
  /// Returns the next `length` bytes as a piece and moves past `consumed`.
  LinePiece TakePiece(size_t length, size_t consumed, bool ends_line);

  ByteSource& source_;
  RawBuffer buffer_;
  size_t begin_ = 0;      ///< First unread byte.
  size_t end_ = 0;        ///< One past the last byte read from the source.
  size_t scanned_ = 0;    ///< Bytes after begin_ known to hold no CR.
  bool at_end_ = false;   ///< The source has reported its end.
  std::string joined_;    ///< The line NextLine returned, when it came in pieces.
  bool in_line_ = false;  ///< A piece of a line that has not ended was returned.
  int64_t source_length_ = 0;
};

/// Numbers lines as a text editor does, for messages that point into a
/// text: a line ends at CR LF, at CR and at LF. The text is handed over in
/// pieces, in order.
class EditorLineCounter {
 public:
  /// Counts the line ends in `bytes`, the text's next bytes.
  void Count(std::string_view bytes);

  /// Counts one line end that is not among the bytes handed over (one a
  /// LineReader took away: CR LF or CR).
  void CountLineEnd() {
    ++number_;
    after_cr_ = false;
    at_line_start_ = true;
  }

  /// The number, from 1, of the line the next byte is on.
  int64_t Number() const { return number_; }

  /// How many lines were counted: a final line end starts no line.
  int64_t Lines() const { return at_line_start_ ? number_ - 1 : number_; }

 private:
  int64_t number_ = 1;
  bool after_cr_ = false;      ///< The last byte counted was a CR, so a LF now ends no line.
  bool at_line_start_ = true;  ///< Nothing, or a line end, was counted last.
};

}  // namespace pixtrel
