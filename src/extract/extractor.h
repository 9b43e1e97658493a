#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "extract/character_report.h"
#include "extract/glyph_output.h"
#include "extract/glyph_source.h"
#include "extract/window_operations.h"
#include "glyphdata/glyph_store.h"
#include "glyphdata/source_text.h"
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
  /// An extractor whose data files lie in `program_dir` on `disk`, of
  /// records of `shape` (the window's, 16 x 16, unless said).
  explicit Extractor(std::string program_dir, Disk& disk = RealDisk(), RecordShape shape = {});

  /// The chosen source's path.
  std::string SourcePath;
  /// The glyph file's path, derived by MakeOutputPath and never cleared;
  /// empty when the glyph file goes to a stream.
  std::string OutputPath;
  /// Source bytes consumed by the current or last run: 2 for each
  /// double-byte character, 1 for any other, 2 for each line read. 64 bits,
  /// so that a source of 21 MB or more, whose count times 100 would not fit
  /// in 32, runs to its end instead of failing with an overflow.
  int64_t BytesDone = 0;

  /// Sets OutputPath to the glyph file's path for SourcePath.
  void MakeOutputPath();

  /// The records a run appends besides those of the characters the table
  /// holds: none, as the window's run; pixtrel-extract's may ask for them.
  struct ExtraRecords {
    bool half_width = false;   ///< Each printable ASCII character gets its half-width record (or, from a
                               ///< store without them, is missing).
    bool placeholder = false;  ///< Each character that got no glyph gets the placeholder.
  };

  /// Makes the runs append `extras`, which the store must have loaded.
  void WriteExtraRecords(ExtraRecords extras);

  /// The extra records the runs append.
  ExtraRecords Extras() const { return extras_; }

  /// Guards the data files in `dir` too, as the extractor's own are: they
  /// are neither read as a source nor written as a glyph file.
  void GuardDataFilesIn(const std::string& dir);

  /// Guards the data files of every font set Pixtrel ships, as they lie
  /// from the program directory `program_dir` and where it is installed,
  /// and those in `program_dir`.
  void GuardShippedSets(const std::string& program_dir);

  /// "Dont't touch the backup !" when `path` names a guarded data file (the
  /// font file or the code table), in any form; none otherwise.
  std::optional<std::string> DataFileRefusal(const std::string& path) const;

  /// Why `source` cannot be chosen as a source: it is a data file, or the
  /// glyph file derived from it would be a data file or `source` itself.
  /// None for an acceptable or empty path.
  std::optional<std::string> SourceRefusal(const std::string& source) const;

  /// Why the glyph file of `source` may not be written at `output`: it is
  /// `source` itself, a data file, a directory or anything but a regular
  /// file (a symbolic link is followed), or a file the system keeps from
  /// being replaced (Disk::IsReadOnly). None when it may, or when `output`
  /// is empty (a stream).
  std::optional<std::string> OutputRefusal(const std::string& source, const std::string& output) const;

  /// Runs an extraction from SourcePath into OutputPath, touching the window
  /// only through `window`: disables Command1; refuses (message, ResetForm,
  /// nothing touched) as OutputRefusal says; makes way for the glyph file
  /// (the window's deletes an old one); reads `source`, or when none is
  /// given opens the file SourcePath only now (as UTF-8 when it is so, as
  /// CP936 otherwise); appends the record of every double-byte character
  /// found in the table, and the extra records asked for, in source order,
  /// to `output` (by default the window's glyph file at OutputPath) and
  /// tells `report` (when given) of each record, of every other character
  /// that is not ASCII, and of the number of lines; shows the progress after
  /// each line (when the source's length is known), "100%" at the end, then
  /// "Over !" or "Your tbl is empty ." and calls ResetForm. The records
  /// come from `glyphs`, by default the store's own. Throws Failure
  /// (naming the path and the cause) when a file operation fails; what
  /// becomes of the records written before the failure is `output`'s to say.
  RunOutcome Run(WindowOperations& window, CharacterReport* report = nullptr, SourceText source = {},
                 GlyphOutput* output = nullptr, GlyphSource* glyphs = nullptr);

 private:
  /// The guarded data files as they are now: the identities of those that
  /// are there, and the paths of those that are not.
  struct GuardedFiles {
    std::set<FileIdentity> present;
    std::vector<std::string> absent;
  };

  /// The guarded data files, looked at when first asked for, and again
  /// after a run or for the choice of a source (SourceRefusal).
  const GuardedFiles& Guarded() const;
  bool IsDataFile(const std::string& path) const;

  std::vector<std::string> guarded_dirs_;  ///< Data files guarded besides the extractor's own.
  mutable std::optional<GuardedFiles> guarded_;
  ExtraRecords extras_;
};

}  // namespace pixtrel
