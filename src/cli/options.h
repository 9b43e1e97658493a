#pragma once

#include <optional>
#include <string>
#include <vector>

#include "fontfile/font_face.h"
#include "formats/glyph_format.h"
#include "glyphdata/glyph_layout.h"
#include "glyphdata/source_text.h"

namespace pixtrel {

/// A SOURCE of the command line, and the encoding the --encoding before it says.
struct SourceFile {
  std::string path;  ///< "-" for standard input.
  TextEncoding encoding = TextEncoding::kDetect;
  friend bool operator==(const SourceFile&, const SourceFile&) = default;
};

/// What the command line asks pixtrel-extract to do.
struct Options {
  enum class Action { kExtract, kShow, kListFonts, kHelp, kVersion };

  Action action = Action::kExtract;
  std::optional<std::string> output;    ///< -o FILE: the glyph file, in place of the derived one.
  std::optional<std::string> data_dir;  ///< --data-dir DIR: where the data files lie.
  std::optional<std::string> font;      ///< --font FILE|NAME: the glyphs come from a font file instead.
  std::optional<std::string> face;      ///< --face N|NAME: which face of a collection (0, or the one NAME says).
  std::optional<int> size;              ///< --size PX: the font file's size in pixels.
  Hinting hinting = Hinting::kLight;    ///< --hinting: how a font file's outlines are hinted.
  bool kerning = true;                  ///< --no-kerning clears it: a font for LVGL holds the font file's kerning.
  bool compress = false;                ///< --compress: LVGL's compressed bitmaps.
  /// --charset and --range: characters a font holds besides those of the texts, as inclusive ranges.
  std::vector<std::pair<uint32_t, uint32_t>> ranges;
  bool quiet = false;          ///< -q: nothing on stdout or stderr but what was asked for, and trouble.
  bool progress = false;       ///< --progress: the captions on stderr even when it is no terminal.
  bool missing = false;        ///< --missing: list the characters that got no glyph.
  bool strict = false;         ///< --strict: no glyph file, exit 3, when some got none.
  bool preview = false;        ///< --preview: draw the glyph file written.
  RecordFormat record_format;  ///< --layout and --invert: how records are laid out.
  const FormatKind* format = &DefaultFormat();  ///< --format: raw records, C source, a C header, ...
  std::optional<std::string> name;              ///< --name IDENT: the C arrays' prefix.
  std::optional<std::string> fallback;          ///< --fallback NAME: the LVGL font behind the one written.
  bool unique = false;                          ///< --unique: each distinct record once, and an index.
  std::optional<std::string> index;             ///< --index FILE: the index file of --unique --format bin.
  std::optional<std::string> depfile;           ///< --depfile FILE: a make rule naming the files the run read.
  bool half_width = false;                      ///< --half-width: printable ASCII gets the set's half-width records.
  bool placeholder = false;                     ///< --placeholder: a character without a glyph gets the placeholder.
  std::optional<int> max_width;                 ///< --max-width PIXELS: report the lines wider.
  std::optional<std::string> png;               ///< --png FILE: a picture of the text as the records draw it.
  int png_scale = 4;                            ///< --png-scale K: each pixel a square of K.
  std::string file;                             ///< SOURCE ("-" for standard input), or the glyph file of --show.
  std::vector<SourceFile> sources;              ///< Every SOURCE, `file` the first; several for a font only;
                                                ///< none with --charset or --range.
  std::optional<std::string> font_pattern;      ///< --list-fonts PATTERN: the fonts to list.

  /// True when the glyph file goes to standard output (-o -).
  bool ToStandardOutput() const { return output == "-"; }
};

/// True when `name` is a C identifier.
bool IsCIdentifier(const std::string& name);

/// The usage lines.
extern const char kUsage[];
/// The text of --help: the usage, every option and the exit statuses.
extern const char kHelp[];

/// Parses the command line `arguments` (the program's name first) with
/// getopt_long; none, after writing what is wrong and the usage on stderr,
/// when it is not a valid one.
std::optional<Options> ParseOptions(std::vector<std::string> arguments);

}  // namespace pixtrel
