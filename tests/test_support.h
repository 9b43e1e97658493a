#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "extract/character_report.h"
#include "extract/window_operations.h"
#include "platform/platform.h"

namespace pixtrel::testing {

/// The separator the programs join a directory and a file name with.
#ifdef _WIN32
inline const std::string kSeparator = "\\";
#else
inline const std::string kSeparator = "/";
#endif

/// A fresh directory under $TMPDIR (or /tmp), removed with everything in it
/// when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  /// The path of `name` inside the directory, joined as the programs join it.
  std::string operator/(const std::string& name) const { return path_ + kSeparator + name; }

 private:
  std::string path_;
};

/// What a command said and how it ended.
struct CommandResult {
  int status;  ///< Its exit status, or -1 when it did not exit.
  std::string out;
  std::string err;
};

/// Runs `command` (a shell command line) with standard input from /dev/null
/// unless it redirects it, its output caught in files of `dir`.
CommandResult RunCommand(const std::string& command, const TempDir& dir);

/// What the system says of a file that is not there: "No such file or
/// directory" on POSIX systems.
std::string NoSuchFileText();

/// The message of the Failure that `work` throws, or "no failure".
std::string FailureText(const std::function<void()>& work);

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);

/// Hands out a text at most `piece` bytes a read, so that line ends and
/// characters fall across reads.
class TrickleSource : public ByteSource {
 public:
  TrickleSource(std::string text, size_t piece) : text_(std::move(text)), piece_(piece) {}
  size_t Read(char* buffer, size_t size) override;
  int64_t Length() override { return static_cast<int64_t>(text_.size()); }

 private:
  std::string text_;
  size_t piece_;
  size_t at_ = 0;
};

/// Characters of the test tables, in CP936.
inline const std::string kAh = "\xB0\xA1";     // 啊
inline const std::string kA = "\xB0\xA2";      // 阿
inline const std::string kZhong = "\xD6\xD0";  // 中
inline const std::string kWen = "\xCE\xC4";    // 文, in no test table

/// A font whose every record differs from the others: byte k of record j is
/// (j * 131 + k) mod 256.
std::string TestFont();

/// Glyph record `slot` of TestFont.
std::string TestRecord(size_t slot);

/// A code table of GlyphCount CR LF lines: line j + 1 is "code " followed
/// by entries[j] where given, empty otherwise.
std::string TestTable(const std::map<size_t, std::string>& entries);

/// The table most tests use: 啊 at 0, 阿 at 1, 中 at 2.
std::string DefaultTable();

/// Writes TestFont and DefaultTable into `dir`.
void WriteDataFiles(const TempDir& dir);

/// A glyph as a set's files hold it: `width` columns, rows from the top.
struct SetCell {
  int width = 0;
  int advance = 0;  ///< The font's: the width, or half of it for a glyph the set says is narrow.
  int shift = 0;    ///< Columns the glyph lies right of its pen: (width - advance) / 2.
  std::vector<std::vector<bool>> rows;
};

/// The glyphs of the font set in a directory, read from its files by the
/// tests' own reading of them: GB2312.bin by slot, half-width.bin,
/// placeholder.bin, and the size and baseline of font-set.txt.
class SetFiles {
 public:
  explicit SetFiles(const std::string& dir);

  int size() const { return size_; }
  int baseline() const { return baseline_; }

  /// The glyph of the character `code_point`: its half-width record for
  /// printable ASCII, its slot's for a character of GB2312; none for any
  /// other, or ASCII of a set without half-width records.
  std::optional<SetCell> Of(uint32_t code_point) const;

  /// The placeholder.
  SetCell Placeholder() const;

 private:
  SetCell Cell(const std::string& records, size_t index, int width) const;

  int size_ = 16, half_width_ = 0, baseline_ = 14;
  std::string font_, half_, placeholder_;
  std::set<size_t> narrow_;  ///< The slots the set says are narrow.
};

/// The glyph file of the CP936 `text`, worked out from the data files in
/// `data_dir` by a plain reading of them.
std::string ExpectedGlyphs(const std::string& data_dir, const std::string& text);

/// The code points of `utf8`, a well-formed UTF-8 text.
std::vector<uint32_t> CodePoints(const std::string& utf8);

/// A character a run found missing, and its editor line.
using Missing = std::pair<uint16_t, int64_t>;

/// Window operations recorded, in order, as "enable 0", "caption TEXT",
/// "message TEXT" and "reset"; missing characters recorded apart, in order.
class RecordingWindow : public WindowOperations, public CharacterReport {
 public:
  std::vector<std::string> events;
  std::vector<Missing> missing;

  /// The captions recorded, in order.
  std::vector<std::string> Captions() const;

  void EnableCommand1(bool enabled) override;
  void SetCommand1Caption(const std::string& caption) override;
  void ShowMessageBox(const std::string& text) override;
  void ResetForm() override;
  void MissingCharacter(SourceCharacter character, int64_t line_number, MissingCause cause) override;
};

}  // namespace pixtrel::testing
