#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "fontfile/font_face.h"
#include "formats/glyph_format.h"
#include "formats/png_picture.h"
#include "glyphdata/glyph_layout.h"
#include "glyphdata/source_text.h"

namespace pixtrel {

/// A SOURCE of the command line, and the encoding the --encoding before it says.
struct SourceFile {
  std::string path;  ///< "-" for standard input.
  TextEncoding encoding = TextEncoding::kDetect;
  friend bool operator==(const SourceFile&, const SourceFile&) = default;
};

/// A font file --font names, or an installed font's name, and its face.
struct FontChoice {
  std::string path;
  std::optional<std::string> face;  ///< --face N|NAME: which face of a collection (0, or the one NAME says).
  friend bool operator==(const FontChoice&, const FontChoice&) = default;
};

/// What the command line asks pixtrel-extract to do.
struct Options {
  enum class Action { kExtract, kShow, kListFonts, kListFormats, kHelp, kVersion };

  Action action = Action::kExtract;
  std::optional<std::string> output;    ///< -o FILE: the glyph file, in place of the derived one.
  std::optional<std::string> data_dir;  ///< --data-dir DIR: where the data files lie.
  /// --font FILE|NAME, each with the --face after it: the glyphs come from
  /// font files instead, each character from the first that has it.
  std::vector<FontChoice> fonts;
  std::optional<int> size;            ///< --size PX: the font file's size in pixels.
  Hinting hinting = Hinting::kLight;  ///< --hinting: how a font file's outlines are hinted.
  bool kerning = true;                ///< --no-kerning clears it: a font for LVGL holds the font file's kerning.
  bool compress = false;              ///< --compress: LVGL's compressed bitmaps.
  /// --charset and --range: characters a font holds besides those of the texts, as inclusive ranges.
  std::vector<std::pair<uint32_t, uint32_t>> ranges;
  std::vector<std::string> sets_named;  ///< Each --charset and --range as given ("--charset gb2312"), for comments.
  bool quiet = false;                   ///< -q: nothing on stdout or stderr but what was asked for, and trouble.
  bool progress = false;                ///< --progress: the captions on stderr even when it is no terminal.
  bool missing = false;                 ///< --missing: list the characters that got no glyph.
  bool strict = false;                  ///< --strict: no glyph file, exit 3, when some got none.
  bool preview = false;                 ///< --preview: draw the glyph file written.
  RecordFormat record_format;           ///< --layout, --invert and --bpp: how records are laid out.
  const FormatKind* format = &DefaultFormat();  ///< --format: raw records, C source, a C header, ...
  std::optional<std::string> name;              ///< --name IDENT: the C arrays' prefix.
  std::optional<std::string> fallback;          ///< --fallback NAME: the LVGL font behind the one written.
  std::optional<std::string> include;           ///< --include HEADER: the header a u8g2 font includes.
  bool unique = false;                          ///< --unique: each distinct record once, and an index.
  std::optional<std::string> index;             ///< --index FILE: the index file of --unique --format bin.
  std::optional<std::string> depfile;           ///< --depfile FILE: a make rule naming the files the run read.
  bool half_width = false;                      ///< --half-width: printable ASCII gets the set's half-width records.
  bool placeholder = false;                     ///< --placeholder: a character without a glyph gets the placeholder.
  std::optional<int> max_width;                 ///< --max-width PIXELS: report the lines wider.
  std::optional<std::string> png;               ///< --png FILE: a picture of the text as the records draw it.
  int png_scale = 4;                            ///< --png-scale K: each pixel a square of K.
  PictureColours png_colours;                   ///< --png-colours INK,BACKGROUND: the picture's colours.
  std::optional<std::string> png_map;           ///< --png-map FILE: where the picture's glyphs lie, as JSON.
  std::string file;                             ///< SOURCE ("-" for standard input), or the glyph file of --show.
  std::vector<SourceFile> sources;              ///< Every SOURCE, `file` the first; several for a font only;
                                                ///< none with --charset or --range.
  std::optional<std::string> font_pattern;      ///< --list-fonts PATTERN: the fonts to list.

  /// True when the glyph file goes to standard output (-o -).
  bool ToStandardOutput() const { return output == "-"; }
};

/// A value an option takes by name.
struct OptionChoice {
  std::string name;
  std::string aliases;  ///< Its other names, ", " between them; "" for none.
  std::string what;     ///< What it means, where its name does not say, for help; "" for nothing.
};

struct CommandLineState;
struct OptionRow;

/// What an option's value names on disk, if anything.
enum class FileUse : uint8_t {
  kNone,    ///< Nothing: a number, a name, a choice.
  kReads,   ///< A file or directory the run reads (or, where the option says, a name it finds one by).
  kWrites,  ///< A file the run writes.
};

/// What an option does to the options with its value (nullptr for an
/// option without one); false when the value is none the option takes.
using OptionSetter = bool (*)(const OptionRow& row, const char* value, Options& options, CommandLineState& state);

/// An option of pixtrel-extract: a row of the options' table, from which
/// the parser, --help, the usage and the messages about the option are
/// made.
struct OptionRow {
  const char* name = nullptr;      ///< Its long name, without "--".
  char letter = 0;                 ///< Its short name, or 0 for none.
  const char* argument = nullptr;  ///< What help calls its value ("FILE"); nullptr for an option without one.
  const char* help = nullptr;      ///< What it does, for --help (its choices, bounds and default follow).
  /// The values it takes by name, in the order help lists them; nullptr for
  /// an option without such values.
  std::vector<OptionChoice> (*choices)() = nullptr;
  const char* default_value = nullptr;  ///< What it is when not given, for help; nullptr for nothing to say.
  int low = 0, high = 0;                ///< The numbers it takes, when it takes numbers (high > 0).
  const char* unit = nullptr;           ///< What its numbers count ("pixels"); nullptr for nothing.
  FileUse file = FileUse::kNone;        ///< What its value names on disk.
  /// pixtrel_add_glyphs' keyword for it (FONT; NAME for its first argument,
  /// which names a font's C); nullptr for one its OPTIONS carry, or it does
  /// not take (a file written).
  const char* cmake = nullptr;
  bool needs_font = false;     ///< It goes with --font: it says how a font file is drawn.
  unsigned needs_ability = 0;  ///< It goes with the formats that can do these FormatAbility bits.
  OptionSetter set = nullptr;

  /// What its value may be, for messages: "1, 2, 4 or 8 bits a pixel".
  std::string Takes() const;
};

/// The options of pixtrel-extract, in the order --help lists them.
std::span<const OptionRow> OptionTable();

/// A word of a command line as the parser read it: an option with its
/// value, or a SOURCE.
struct CommandWord {
  const OptionRow* row = nullptr;  ///< The option; nullptr for a SOURCE.
  std::string value;               ///< Its value, or the SOURCE; empty for an option that takes none.
};

/// The command line's options, or what is wrong with it.
struct ParsedCommandLine {
  std::optional<Options> options;
  std::string error;               ///< Why the line is no valid one, when `options` is none.
  std::vector<CommandWord> words;  ///< What the line says, in its order, with `options`.
};

/// Parses the command line `arguments` (the program's name first) with
/// getopt_long, after the options' table; writes nothing. One parse at a
/// time runs, from whichever thread.
ParsedCommandLine ParseOptions(std::vector<std::string> arguments);

/// The arguments that say `words` again (the program's name not among
/// them): each option by its long name, then its value as a word of its
/// own; a SOURCE that starts with "-" (but "-" itself) after "./".
std::vector<std::string> CommandArguments(const std::vector<CommandWord>& words);

/// True when `name` is a C identifier.
bool IsCIdentifier(const std::string& name);

/// The usage lines.
std::string UsageText();

/// The text of --help: what the program does, every option and the exit statuses.
std::string HelpText();

/// The text of --list-formats: a line a format, its name, the files it
/// writes (".c+.h"), whether it is a glyph stream ("glyphs") or a font
/// ("font"), whether a firmware compiles, includes or embeds it
/// ("compiled", "included", "data"), and what it is.
std::string FormatListText();

}  // namespace pixtrel
