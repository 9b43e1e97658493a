#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pixtrel {

/// Where a text is read from: a file, or a conversion in front of one.
class ByteSource {
 public:
  virtual ~ByteSource() = default;

  /// Reads up to `size` bytes into `buffer` and returns how many were read;
  /// 0 only at the end of the source. Throws Failure when reading fails.
  virtual size_t Read(char* buffer, size_t size) = 0;

  /// The source's current length in bytes, as progress is measured against.
  virtual int64_t Length() = 0;
};

/// A file opened for reading; closed when destroyed.
class FileSource : public ByteSource {
 public:
  /// Opens `path`; throws Failure naming the path and the cause. With
  /// `missing_is_empty`, a file that does not exist reads as empty instead.
  explicit FileSource(std::string path, bool missing_is_empty = false);
  ~FileSource() override;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  size_t Read(char* buffer, size_t size) override;
  int64_t Length() override;

  /// The path the file was opened by.
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  int fd_;
};

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

}  // namespace pixtrel
