#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/options.h"
#include "extract/extractor.h"
#include "extract/glyph_source.h"
#include "glyphdata/font_set.h"
#include "platform/platform.h"

namespace pixtrel {

/// Where a command's glyphs come from, chosen once from its options: a font
/// set, loaded, or a font file, opened; and the run that reads them, which
/// guards the data files of every set.
struct ChosenGlyphs {
  std::unique_ptr<Extractor> extractor;  ///< The run; a set's store besides.
  std::optional<FontSet> set;            ///< The font set, when the glyphs are a set's.
  std::unique_ptr<GlyphSource> glyphs;
  std::vector<std::string> fonts;  ///< The font files the glyphs come from, or the set's font file.

  /// The fonts' names, for messages: "a.ttf and b.ttc".
  std::string FontNames() const;

  /// The files the glyphs were read from, for a depfile.
  std::vector<std::string> FilesRead() const;
};

/// `options` with --font, when it names no file but an installed font (a
/// name without a directory), naming that font's file and face. Throws
/// Failure when there is no such font either.
Options WithInstalledFont(Options options, Disk& disk);

/// The directory of the font set `options` name: --data-dir DIR, or the set
/// Pixtrel ships of that name when DIR is none there; without --data-dir,
/// `program_dir`.
std::string DataDirectory(const Options& options, const std::string& program_dir, Disk& disk);

/// The glyphs `options` ask for, on `disk`, ready for the runs: a font set
/// read and checked, with the extra records asked for, in the layout asked
/// for; or a font file opened at its size. A set's font file that falls
/// short is a warning on stderr, or with --strict a failure. Throws
/// Failure, naming the file and the cause, when they cannot be had.
ChosenGlyphs ChooseGlyphs(const Options& options, Disk& disk);

/// Says "pixtrel-extract: MESSAGE" on stderr: a warning, which -q does not silence.
void Warn(const std::string& message);

}  // namespace pixtrel
