#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "extract/glyph_file.h"
#include "glyphdata/glyph_store.h"
#include "glyphdata/text_lines.h"

namespace pixtrel {

/// The message of a run that wrote a glyph file.
inline constexpr char kOverMessage[] = "Over !";
/// The message of a run that found no character of the table.
inline constexpr char kEmptyMessage[] = "Your tbl is empty .";
/// The refusal of the program's own data files.
inline constexpr char kBackupMessage[] = "Dont't touch the backup !";

/// How a run ended, when it did not fail.
enum class RunOutcome {
  kWritten,  ///< A glyph file was written: "Over !".
  kEmpty,    ///< No character was found, no glyph file exists: "Your tbl is empty .".
  kRefused,  ///< The glyph file would have replaced the source or a data file; nothing was touched.
};

/// Everything the program keeps: the glyph data, the chosen source, its glyph
/// file and the run's counter, with the procedures that work on them. The
/// window derives from it and supplies the four window operations a run
/// touches; the command line and the tests supply their own.
class Extractor : public GlyphStore {
 public:
  /// An extractor whose data files lie in `program_dir`.
  explicit Extractor(std::string program_dir);
  virtual ~Extractor();

  /// The chosen source's path.
  std::string SourcePath;
  /// The glyph file's path, derived by MakeOutputPath and never cleared.
  std::string OutputPath;
  /// Source bytes consumed by the current or last run: 2 for each
  /// double-byte character, 1 for any other, 2 for each line read.
  int64_t BytesDone = 0;

  /// Sets OutputPath to the glyph file's path for SourcePath.
  void MakeOutputPath();

  /// True when `path` names the font file or the code table, in any form.
  bool IsDataFile(const std::string& path) const;

  /// Why `source` cannot be chosen as a source: it is a data file, or the
  /// glyph file derived from it would be a data file or `source` itself.
  /// None for an acceptable or empty path.
  std::optional<std::string> SourceRefusal(const std::string& source) const;

  /// Runs an extraction from SourcePath into OutputPath, reporting through
  /// the window operations: disables Command1; refuses (message, ResetForm,
  /// nothing touched) when OutputPath is the source or a data file; deletes
  /// an old glyph file (never a directory); appends the record of every
  /// double-byte character found in the table, in source order; shows the
  /// progress after each line, "100%" at the end, then "Over !" or
  /// "Your tbl is empty ." and calls ResetForm. Throws Failure (naming the
  /// cause and the path) when a file operation fails or BytesDone overflows;
  /// records written before the failure stay in the glyph file.
  RunOutcome Run();

 protected:
  /// Enables or disables the Start button, Command1.
  virtual void EnableCommand1(bool enabled) = 0;
  /// Shows `caption` on Command1 at once; the run does not return to the
  /// event loop between lines. Called only when the caption changes.
  virtual void SetCommand1Caption(const std::string& caption) = 0;
  /// Shows `text` in a modal message box and returns when it is dismissed.
  virtual void ShowMessageBox(const std::string& text) = 0;
  /// Returns the window to its idle state.
  virtual void ResetForm() = 0;

  /// Opens SourcePath for the run. Throws Failure naming the path.
  virtual std::unique_ptr<ByteSource> OpenSource();

  /// Called during a run for each double-byte character of the source that
  /// the table lacks, with the number of the line it is on as a text editor
  /// counts lines (a line ends at CR LF, CR or LF). Does nothing here.
  virtual void MissingCharacter(uint16_t code, int64_t line_number);

 private:
  /// Appends the record of every double-byte character of `line` found in
  /// the table to the glyph file, reports the others, and advances BytesDone
  /// by the line's characters.
  void ExtractLine(std::string_view line);
  std::optional<std::string> OutputRefusal(const std::string& source, const std::string& output) const;
  void ExtractSource();
  void DeleteOldOutput() const;
  void ShowProgress(int64_t source_length);
  void SetCaption(const std::string& caption);
  void AddBytesDone(int64_t count);
  int64_t LineNumberAt(std::string_view line, size_t offset);
  void FinishLine(std::string_view line);

  std::optional<GlyphFile> glyph_file_;
  int64_t percent_shown_ = -1;
  std::string caption_shown_;
  int64_t line_number_ = 1;  ///< Editor line number at line_offset_ of the current line.
  size_t line_offset_ = 0;   ///< Bytes of the current line whose LFs line_number_ counts.
};

}  // namespace pixtrel
