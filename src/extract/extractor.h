#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "extract/window_operations.h"
#include "glyphdata/glyph_store.h"
#include "platform/platform.h"

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
/// window derives from it; pixtrel-extract and the tests hold one.
class Extractor : public GlyphStore {
 public:
  /// An extractor whose data files lie in `program_dir` on `disk`.
  explicit Extractor(std::string program_dir, Disk& disk = RealDisk());

  /// The chosen source's path.
  std::string SourcePath;
  /// The glyph file's path, derived by MakeOutputPath and never cleared.
  std::string OutputPath;
  /// Source bytes consumed by the current or last run: 2 for each
  /// double-byte character, 1 for any other, 2 for each line read. 64 bits,
  /// so that a source of 21 MB or more, whose count times 100 would not fit
  /// in 32, runs to its end instead of failing with an overflow.
  int64_t BytesDone = 0;

  /// Sets OutputPath to the glyph file's path for SourcePath.
  void MakeOutputPath();

  /// "Dont't touch the backup !" when `path` names the font file or the code
  /// table, in any form; none otherwise.
  std::optional<std::string> DataFileRefusal(const std::string& path) const;

  /// Why `source` cannot be chosen as a source: it is a data file, or the
  /// glyph file derived from it would be a data file or `source` itself.
  /// None for an acceptable or empty path.
  std::optional<std::string> SourceRefusal(const std::string& source) const;

  /// Runs an extraction from SourcePath into OutputPath, touching the window
  /// only through `window`: disables Command1; refuses (message, ResetForm,
  /// nothing touched) when OutputPath is the source or a data file; deletes
  /// an old glyph file (never a directory); reads `source`, or when none is
  /// given opens the file SourcePath only now; appends the record of
  /// every double-byte character found in the table, in source order, and
  /// tells `report` (when given) of the others; shows the progress after
  /// each line, "100%" at the end, then "Over !" or "Your tbl is empty ."
  /// and calls ResetForm. Throws Failure (naming the path and the cause)
  /// when a file operation fails; records written before the failure stay
  /// in the glyph file.
  RunOutcome Run(WindowOperations& window, CharacterReport* report = nullptr,
                 std::unique_ptr<ByteSource> source = nullptr);

 private:
  std::optional<std::string> OutputRefusal(const std::string& source, const std::string& output) const;
  bool IsDataFile(const std::string& path) const;
  bool GlyphFileExists() const;
};

}  // namespace pixtrel
