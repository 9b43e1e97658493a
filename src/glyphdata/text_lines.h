#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace pixtrel {

/// Splits a source into lines. A line ends at CR LF or at a CR not followed
/// by LF; the line end is not part of the line. A LF alone is an ordinary
/// byte. A last line without a line end is still a line, and a final line
/// end does not start an empty line. Memory grows only with the longest line.
class LineReader {
 public:
  /// Reads from `source`, which must outlive the reader.
  explicit LineReader(ByteSource& source);

  /// The next line, or none at the end of the source. The view stays valid
  /// until the next call.
  std::optional<std::string_view> Next();

  /// The source's length as of the last read from it: the length is taken
  /// anew whenever the reader fetches more of the source.
  int64_t SourceLength() const { return source_length_; }

 private:
  /// Moves the unread bytes to the front and reads more after them; false
  /// when the source has no more.
  bool Fill();

  ByteSource& source_;
  std::vector<char> buffer_;
  size_t begin_ = 0;     ///< First unread byte.
  size_t end_ = 0;       ///< One past the last byte read from the source.
  size_t scanned_ = 0;   ///< Bytes after begin_ known to hold no CR.
  bool at_end_ = false;  ///< The source has reported its end.
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
  }

  /// The number, from 1, of the line the next byte is on.
  int64_t Number() const { return number_; }

 private:
  int64_t number_ = 1;
  bool after_cr_ = false;  ///< The last byte counted was a CR, so a LF now ends no line.
};

}  // namespace pixtrel
