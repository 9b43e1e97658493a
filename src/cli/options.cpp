#include "cli/options.h"

#include <getopt.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <mutex>
#include <string>
#include <string_view>

#include "glyphdata/charsets.h"
#include "platform/failure.h"
#include "platform/platform.h"
#include "platform/word_list.h"

namespace pixtrel {

/// What the parser keeps while it reads a command line.
struct CommandLineState {
  TextEncoding encoding = TextEncoding::kDetect;  ///< Of the SOURCEs that follow, as --encoding says.
  std::optional<std::string> face;                ///< A --face before any --font, the first font's.
};

namespace {

// The choices of the options that take names.

/// A choice for each of `items`, named as `name` names it.
template <class Items, class Name>
std::vector<OptionChoice> ChoicesOf(const Items& items, Name name) {
  std::vector<OptionChoice> choices;
  for (const auto& item : items) choices.push_back({name(item), "", ""});
  return choices;
}

std::vector<OptionChoice> EncodingChoices() {
  std::vector<OptionChoice> choices = ChoicesOf(EncodingNames(), [](const EncodingName& e) { return e.name; });
  for (size_t i = 0; i < choices.size(); ++i) choices[i].aliases = EncodingNames()[i].aliases;
  choices.front().what =
      "UTF-8 or UTF-16 when they say so, else CP936; one that looks like another East Asian encoding, or no text, "
      "is refused";
  return choices;
}

std::vector<OptionChoice> CharsetChoices() {
  return ChoicesOf(CharsetNames(), [](const CharsetName& charset) { return charset.name; });
}

std::vector<OptionChoice> LayoutChoices() {
  return ChoicesOf(LayoutNames(), [](const std::string& name) { return name; });
}

std::vector<OptionChoice> FormatChoices() {
  return ChoicesOf(Formats(), [](const FormatKind& kind) { return kind.name; });
}

/// The depths some format takes.
std::vector<OptionChoice> DepthChoices() {
  std::vector<std::string> depths;
  for (int bpp = 1; bpp <= 8; ++bpp)
    if (std::any_of(Formats().begin(), Formats().end(), [&](const FormatKind& kind) { return kind.TakesDepth(bpp); }))
      depths.push_back(std::to_string(bpp));
  return ChoicesOf(depths, [](const std::string& depth) { return depth; });
}

constexpr std::pair<const char*, Hinting> kHintings[] = {
    {"light", Hinting::kLight}, {"normal", Hinting::kNative}, {"none", Hinting::kNone}};

std::vector<OptionChoice> HintingChoices() {
  return ChoicesOf(kHintings, [](const auto& hinting) { return hinting.first; });
}

/// `text` as a number from `low` to `high`, or none.
std::optional<int> Number(const char* text, int low, int high) {
  char* end;
  const long value = std::strtol(text, &end, 10);
  if (*text == '\0' || *end != '\0' || value < low || value > high) return std::nullopt;
  return static_cast<int>(value);
}

/// The code point of "U+XXXX" (or "0xXXXX"), or none.
std::optional<uint32_t> CodePoint(std::string_view text) {
  if (!(text.starts_with("U+") || text.starts_with("u+") || text.starts_with("0x"))) return std::nullopt;
  text.remove_prefix(2);
  if (text.empty() || text.size() > 6) return std::nullopt;
  uint32_t value = 0;
  for (char c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    value = value * 16 +
            static_cast<uint32_t>(std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10);
  }
  if (value > 0x10FFFF) return std::nullopt;
  return value;
}

/// The range "U+X-U+Y" (or a single "U+X"), or none.
std::optional<std::pair<uint32_t, uint32_t>> Range(std::string_view text) {
  const size_t dash = text.find('-');
  const std::optional<uint32_t> first = CodePoint(text.substr(0, dash));
  const std::optional<uint32_t> last = dash == std::string_view::npos ? first : CodePoint(text.substr(dash + 1));
  if (!first || !last || *last < *first) return std::nullopt;
  return std::pair(*first, *last);
}

// The setters, each what an option does with its value.

template <auto member>
bool SetFlag(const OptionRow&, const char*, Options& options, CommandLineState&) {
  options.*member = true;
  return true;
}

template <auto member>
bool ClearFlag(const OptionRow&, const char*, Options& options, CommandLineState&) {
  options.*member = false;
  return true;
}

template <auto member>
bool SetText(const OptionRow&, const char* value, Options& options, CommandLineState&) {
  options.*member = value;
  return true;
}

template <auto member>
bool SetNumber(const OptionRow& row, const char* value, Options& options, CommandLineState&) {
  const std::optional<int> number = Number(value, row.low, row.high);
  if (number) options.*member = *number;
  return number.has_value();
}

template <auto member>
bool SetIdentifier(const OptionRow&, const char* value, Options& options, CommandLineState&) {
  if (!IsCIdentifier(value)) return false;
  options.*member = value;
  return true;
}

template <Options::Action action>
bool SetAction(const OptionRow&, const char*, Options& options, CommandLineState&) {
  options.action = action;
  return true;
}

bool SetStrict(const OptionRow&, const char*, Options& options, CommandLineState&) {
  options.strict = options.missing = true;
  return true;
}

bool AddFont(const OptionRow&, const char* value, Options& options, CommandLineState& state) {
  options.fonts.push_back({value, options.fonts.empty() ? state.face : std::nullopt});
  return true;
}

/// The face of the last --font before it, or of the first when none came yet.
bool SetFace(const OptionRow&, const char* value, Options& options, CommandLineState& state) {
  (options.fonts.empty() ? state.face : options.fonts.back().face) = value;
  return true;
}

bool SetShow(const OptionRow&, const char* value, Options& options, CommandLineState&) {
  options.action = Options::Action::kShow;
  options.file = value;
  return true;
}

bool SetEncoding(const OptionRow&, const char* value, Options&, CommandLineState& state) {
  const std::optional<TextEncoding> named = EncodingNamed(value);
  if (named) state.encoding = *named;
  return named.has_value();
}

bool SetLayout(const OptionRow&, const char* value, Options& options, CommandLineState&) {
  const std::optional<GlyphLayout> layout = ParseLayout(Lowercase(value));
  if (layout) options.record_format.layout = *layout;
  return layout.has_value();
}

bool SetInvert(const OptionRow&, const char*, Options& options, CommandLineState&) {
  options.record_format.invert = true;
  return true;
}

bool SetFormat(const OptionRow&, const char* value, Options& options, CommandLineState&) {
  const FormatKind* format = FindFormat(value);
  if (format != nullptr) options.format = format;
  return format != nullptr;
}

bool SetDepth(const OptionRow& row, const char* value, Options& options, CommandLineState&) {
  const std::vector<OptionChoice> depths = row.choices();
  if (std::none_of(depths.begin(), depths.end(), [&](const OptionChoice& depth) { return depth.name == value; }))
    return false;
  options.record_format.bpp = std::atoi(value);
  return true;
}

bool SetHinting(const OptionRow&, const char* value, Options& options, CommandLineState&) {
  for (const auto& [name, hinting] : kHintings)
    if (Lowercase(value) == name) return options.hinting = hinting, true;
  return false;
}

bool AddCharset(const OptionRow&, const char* value, Options& options, CommandLineState&) {
  const std::vector<uint32_t>* characters = CharsetCharacters(Lowercase(value));
  if (characters == nullptr) return false;
  for (uint32_t code_point : *characters) options.ranges.emplace_back(code_point, code_point);
  options.sets_named.push_back("--charset " + Lowercase(value));
  return true;
}

bool AddRange(const OptionRow&, const char* value, Options& options, CommandLineState&) {
  const std::optional<std::pair<uint32_t, uint32_t>> range = Range(value);
  if (!range) return false;
  options.ranges.push_back(*range);
  options.sets_named.push_back(std::string("--range ") + value);
  return true;
}

/// The colour "RRGGBB" (or "#RRGGBB"), or none.
std::optional<Rgb> Colour(std::string_view text) {
  if (text.starts_with('#')) text.remove_prefix(1);
  if (text.size() != 6 || !std::all_of(text.begin(), text.end(), [](char c) { return std::isxdigit(c & 0xFF); }))
    return std::nullopt;
  Rgb colour;
  for (size_t i = 0; i < 3; ++i)
    colour[i] = static_cast<uint8_t>(std::strtoul(std::string(text.substr(i * 2, 2)).c_str(), nullptr, 16));
  return colour;
}

bool SetColours(const OptionRow&, const char* value, Options& options, CommandLineState&) {
  const std::string_view text = value;
  const size_t comma = text.find(',');
  if (comma == std::string_view::npos) return false;
  const std::optional<Rgb> ink = Colour(text.substr(0, comma)), background = Colour(text.substr(comma + 1));
  if (!ink || !background) return false;
  options.png_colours.ink = *ink;
  options.png_colours.background = *background;
  return true;
}

constexpr char kGlyphFile[] = "a glyph file";
constexpr char kFileName[] = "a file name";
constexpr char kIdentifier[] = "a C identifier";

const OptionRow kOptions[] = {
    {.name = "output",
     .letter = 'o',
     .argument = "FILE",
     .help = "write the glyph file to FILE (default: SOURCE with the format's extension, or that extension appended "
             "to a name without one); - writes it to stdout, and every message then goes to stderr",
     .unit = kFileName,
     .file = FileUse::kWrites,
     .set = SetText<&Options::output>},
    {.name = "data-dir",
     .argument = "DIR",
     .help = "read GB2312.bin and GB2312.tbl from DIR, or from the set Pixtrel ships of that name (efont-12); "
             "default: the directory of the executable",
     .unit = "a directory",
     .file = FileUse::kReads,
     .cmake = "DATA_DIR",
     .set = SetText<&Options::data_dir>},
    {.name = "font",
     .argument = "FONT",
     .help = "take the glyphs from the font file FONT (TrueType, OpenType, a TTC collection, WOFF, BDF or PCF, "
             "gzipped too), or the installed font of that name (\"Noto Sans CJK TC\", msyh.ttc), instead of a font "
             "set: every character it has, with its own advances and boxes; several make one font, each "
             "character from the first that has it",
     .unit = "a font file or an installed font's name",
     .file = FileUse::kReads,
     .cmake = "FONT",
     .set = AddFont},
    {.name = "face",
     .argument = "N|NAME",
     .help = "the --font before it is its face N, or the face of that family name",
     .unit = "a face's number or family name",
     .cmake = "FACE",
     .needs_font = true,
     .set = SetFace},
    {.name = "size",
     .argument = "PX",
     .help = "draw FONT at PX pixels: outlines at any size, a bitmap font at a strike's (default: 16, or a bitmap "
             "font's one strike)",
     .low = 1,
     .high = kLargestOutlines,
     .unit = "pixels",
     .cmake = "SIZE",
     .needs_font = true,
     .set = SetNumber<&Options::size>},
    {.name = "bpp",
     .argument = "N",
     .help = "bits a pixel of FONT's glyphs, anti-aliased coverage above 1",
     .choices = DepthChoices,
     .default_value = "1",
     .unit = "bits a pixel",
     .cmake = "BPP",
     .needs_font = true,
     .set = SetDepth},
    {.name = "hinting",
     .argument = "H",
     .help = "how FONT's outlines are hinted (light by FreeType's auto-hinter, vertically only above 1 bit a "
             "pixel; normal by the font's own instructions)",
     .choices = HintingChoices,
     .default_value = "light",
     .needs_font = true,
     .set = SetHinting},
    {.name = "no-kerning",
     .help = "leave FONT's kerning pairs out of an LVGL font",
     .needs_font = true,
     .set = ClearFlag<&Options::kerning>},
    {.name = "compress",
     .help = "LVGL's compressed bitmaps",
     .needs_ability = kTakesCompress,
     .set = SetFlag<&Options::compress>},
    {.name = "charset",
     .argument = "SET",
     .help = "a font also holds every character of SET that FONT has (repeatable; the CJK sets with ASCII)",
     .choices = CharsetChoices,
     .needs_font = true,
     .needs_ability = kTakesCharsets,
     .set = AddCharset},
    {.name = "range",
     .argument = "U+X-U+Y",
     .help = "a font also holds the characters from U+X to U+Y (repeatable)",
     .unit = "U+X-U+Y, or U+X",
     .needs_font = true,
     .needs_ability = kTakesCharsets,
     .set = AddRange},
    {.name = "encoding",
     .argument = "ENC",
     .help = "the SOURCEs after it are ENC, until the next --encoding, in any letter case",
     .choices = EncodingChoices,
     .cmake = "ENCODING",
     .set = SetEncoding},
    {.name = "quiet",
     .letter = 'q',
     .help = "print nothing but what was asked for, warnings and errors",
     .set = SetFlag<&Options::quiet>},
    {.name = "progress",
     .help = "show progress on stderr even when it is no terminal",
     .set = SetFlag<&Options::progress>},
    {.name = "missing", .help = "list on stderr the characters that got no glyph", .set = SetFlag<&Options::missing>},
    {.name = "strict",
     .help = "as --missing; when there were any, or lines too wide, exit 3 and leave the old glyph file as it was; "
             "a missing or short font file is an error",
     .set = SetStrict},
    {.name = "format",
     .argument = "FMT",
     .help = "what to write (--list-formats tells what each is)",
     .choices = FormatChoices,
     .default_value = "bin",
     .cmake = "FORMAT",
     .set = SetFormat},
    {.name = "layout",
     .argument = "NAME",
     .help = "lay records out so",
     .choices = LayoutChoices,
     .default_value = "row-msb",
     .cmake = "LAYOUT",
     .needs_ability = kTakesLayout,
     .set = SetLayout},
    {.name = "invert", .help = "flip every bit (0 is ink)", .needs_ability = kTakesLayout, .set = SetInvert},
    {.name = "name",
     .argument = "IDENT",
     .help = "the C names start with IDENT (default: FILE's name made an identifier)",
     .unit = kIdentifier,
     .cmake = "NAME",
     .set = SetIdentifier<&Options::name>},
    {.name = "fallback",
     .argument = "NAME",
     .help = "the font NAME (a C identifier) draws the characters this one lacks",
     .unit = kIdentifier,
     .needs_ability = kTakesFallback,
     .set = SetIdentifier<&Options::fallback>},
    {.name = "include",
     .argument = "HEADER",
     .help = "the header the font includes (u8g2_fonts.h for U8g2_for_Adafruit_GFX)",
     .default_value = "u8g2.h",
     .unit = "a header's name",
     .cmake = "INCLUDE",
     .needs_ability = kTakesInclude,
     .set = SetText<&Options::include>},
    {.name = "unique",
     .help = "each distinct record once, and the text as indices into them: IDENT_text, or with bin the --index "
             "file",
     .needs_ability = kTakesUnique,
     .set = SetFlag<&Options::unique>},
    {.name = "index",
     .argument = "FILE",
     .help = "--unique: write the indices to FILE, one little-endian uint16 an occurrence",
     .unit = kFileName,
     .file = FileUse::kWrites,
     .needs_ability = kRecordsFile,
     .set = SetText<&Options::index>},
    {.name = "depfile",
     .argument = "FILE",
     .help = "write a make rule to FILE naming every file the run read, for make and Ninja",
     .unit = kFileName,
     .file = FileUse::kWrites,
     .set = SetText<&Options::depfile>},
    {.name = "half-width",
     .help = "give printable ASCII (the space too) the set's half-width records, so whole lines can be drawn",
     .set = SetFlag<&Options::half_width>},
    {.name = "placeholder",
     .help = "give every character that gets no glyph the set's placeholder, so the records keep step with the "
             "text",
     .needs_ability = kTakesPlaceholder,
     .set = SetFlag<&Options::placeholder>},
    {.name = "max-width",
     .argument = "PX",
     .help = "report each line wider than PX pixels as drawn; with --strict, such a line fails the run",
     .low = 1,
     .high = 65535,
     .unit = "pixels",
     .set = SetNumber<&Options::max_width>},
    {.name = "png",
     .argument = "FILE",
     .help = "write a picture of the text as the records draw it",
     .unit = kFileName,
     .file = FileUse::kWrites,
     .set = SetText<&Options::png>},
    {.name = "png-scale",
     .argument = "K",
     .help = "each pixel of the picture a square of K",
     .default_value = "4",
     .low = 1,
     .high = 64,
     .set = SetNumber<&Options::png_scale>},
    {.name = "png-colours",
     .argument = "INK,BACK",
     .help = "draw the picture in the display's colours, the ink's and the background's (default: a monochrome "
             "OLED's, d8f0ff,080c14)",
     .unit = "two colours RRGGBB,RRGGBB",
     .set = SetColours},
    {.name = "png-map",
     .argument = "FILE",
     .help = "write to FILE, as JSON, where each glyph of the picture lies, its character, the font that drew it "
             "and its levels",
     .unit = kFileName,
     .file = FileUse::kWrites,
     .set = SetText<&Options::png_map>},
    {.name = "preview",
     .help = "draw the glyph file written on stdout",
     .needs_ability = kRecordsFile,
     .set = SetFlag<&Options::preview>},
    {.name = "show",
     .argument = "GLYPHFILE",
     .help = "draw GLYPHFILE on stdout and run nothing (with --layout and --invert as it was written)",
     .unit = kGlyphFile,
     .file = FileUse::kReads,
     .set = SetShow},
    {.name = "list-fonts",
     .help = "list the installed fonts whose names hold PATTERN, their faces, and whether they hold hanzi, kana "
             "and Hangul",
     .set = SetAction<Options::Action::kListFonts>},
    {.name = "list-formats",
     .help = "list the formats: the files each writes, and what a firmware does with them",
     .set = SetAction<Options::Action::kListFormats>},
    {.name = "help", .letter = 'h', .help = "show this help", .set = SetAction<Options::Action::kHelp>},
    {.name = "version", .letter = 'V', .help = "show the version", .set = SetAction<Options::Action::kVersion>},
};

/// How messages call an option: by its letter when it has one ("-o").
std::string Called(const OptionRow& row) {
  return row.letter != 0 ? std::string{'-', row.letter} : std::string("--") + row.name;
}

/// What is wrong with `value` for `row`.
std::string WrongValue(const OptionRow& row, std::string_view value) {
  const std::string takes = row.Takes();
  if (value.empty()) return Called(row) + " needs " + (takes.starts_with("a") ? takes : "a value: " + takes);
  return Called(row) + " takes " + takes + ": " + std::string(value);
}

/// What getopt_long returns for the long option of row 0; row k's is k more.
constexpr int kFirstRow = 256;

/// The getopt table of kOptions.
std::vector<option> GetoptTable() {
  std::vector<option> table;
  for (const OptionRow& row : kOptions)
    table.push_back({row.name, row.argument != nullptr ? required_argument : no_argument, nullptr,
                     kFirstRow + static_cast<int>(&row - kOptions)});
  table.push_back({nullptr, 0, nullptr, 0});
  return table;
}

/// getopt's string of short options: "-" first, so that operands come in
/// their places among the options, each taking the --encoding before it;
/// ":" to hear of a missing value rather than have getopt print it.
std::string ShortOptions() {
  std::string letters = "-:";
  for (const OptionRow& row : kOptions) {
    if (row.letter == 0) continue;
    letters += row.letter;
    if (row.argument != nullptr) letters += ':';
  }
  return letters;
}

/// The row of what getopt_long returned for an option, its letter or its
/// long option's value; none for anything else.
const OptionRow* RowOf(int returned) {
  if (returned >= kFirstRow && returned < kFirstRow + static_cast<int>(std::size(kOptions)))
    return &kOptions[returned - kFirstRow];
  for (const OptionRow& row : kOptions)
    if (row.letter != 0 && row.letter == returned) return &row;
  return nullptr;
}

/// What is wrong with the option getopt_long refused, written as `word`:
/// a value missing, or given to an option that takes none.
std::string Unreadable(std::string_view word) {
  const OptionRow* row = RowOf(optopt);
  if (row != nullptr) return row->argument != nullptr ? WrongValue(*row, "") : Called(*row) + " takes no value";
  return "unknown option " + (optopt != 0 ? std::string{'-', static_cast<char>(optopt)} : std::string(word));
}

/// What is wrong with the options and formats given together, if anything.
std::optional<std::string> Conflict(const Options& options, const std::vector<const OptionRow*>& given) {
  const FormatKind& format = *options.format;
  if (options.index && !options.unique) return "--index goes with --unique";
  if (options.index == "-") return "--index needs a file of its own";
  if (options.unique && format.Can(kRecordsFile) && !options.index)
    return "--unique --format " + std::string(format.name) + " needs --index FILE";
  if (options.unique && options.half_width && format.Can(kRecordsFile))
    return "--unique --half-width needs --format " + FormatNamesThatCan(kTakesUnique | kCNames) +
           ": an index cannot tell records of two sizes apart";
  for (const OptionRow* row : given) {
    if (row->needs_font && options.fonts.empty())
      return Called(*row) + " goes with --font: a font set's glyphs are drawn at its size, 1 bit a pixel";
    if (!format.Can(row->needs_ability))
      return Called(*row) + " goes with --format " + FormatNamesThatCan(row->needs_ability) + ", not " + format.name;
  }
  if (!options.fonts.empty() && options.data_dir) return "--font and --data-dir are two sources of glyphs: say one";
  if (options.fonts.size() > 1 && !format.IsFont())
    return "several --font make one font, for --format " + FormatNamesThatCan(kTakesCharsets) + ", not " + format.name;
  const int bpp = options.record_format.bpp;
  if (!format.TakesDepth(bpp)) {
    std::vector<std::string> names;
    for (const FormatKind& kind : Formats())
      if (kind.TakesDepth(bpp)) names.push_back(kind.name);
    return "--bpp " + std::to_string(bpp) + " goes with --format " + WordList(names, "or") + ", not " + format.name;
  }
  if (!format.TakesDepth(bpp, options.compress)) {
    std::vector<std::string> depths;
    for (int other = 1; other <= 8; ++other)
      if (format.TakesDepth(other, options.compress)) depths.push_back(std::to_string(other));
    return std::string(options.compress ? "--compress" : "--bpp " + std::to_string(bpp) + " without --compress") +
           " goes with --bpp " + WordList(depths, "or") + ": " + format.name + "'s library draws " +
           (options.compress ? "compressed" : "plain") + " bitmaps of those only";
  }
  if (options.record_format.bpp != 1 && options.record_format.layout != GlyphLayout::kRowMsb)
    return "--layout goes with --bpp 1: deeper records are rows, the leftmost pixel in the high bits";
  if (options.depfile && options.ToStandardOutput()) return "--depfile needs a target file, not -";
  if (options.depfile == "-") return "--depfile needs a file of its own";
  if (options.png_map && !options.png) return "--png-map goes with --png, the picture it maps";
  if (options.png_map == "-") return "--png-map needs a file of its own";
  return std::nullopt;
}

/// What is wrong with the SOURCEs `options` name, if anything.
std::optional<std::string> SourcesConflict(const Options& options) {
  const size_t sources = options.sources.size();
  if (sources == 0 && options.ranges.empty()) return "no SOURCE";
  if (sources == 0 && !options.output) return "--charset and --range without a SOURCE need -o";
  if (sources > 1 && !options.format->IsFont())
    return "one SOURCE only: the fonts (--format " + FormatNamesThatCan(kTakesCharsets) +
           ") take several, no other format does";
  if (sources > 1 && !options.output) return "several SOURCEs need -o, the font they make";
  if (sources > 1 && std::any_of(options.sources.begin(), options.sources.end(),
                                 [](const SourceFile& source) { return source.path == "-"; }))
    return "- (standard input) is a SOURCE of its own";
  if (sources > 1 && (options.png || options.preview)) return "--png and --preview draw one SOURCE";
  if (options.file == "-" && !options.output) return "a SOURCE of - (standard input) needs -o";
  if (options.preview && options.ToStandardOutput()) return "--preview cannot draw a glyph file sent to -";
  return std::nullopt;
}

ParsedCommandLine Refused(std::string error) { return {std::nullopt, std::move(error), {}}; }

/// What is wrong when an --encoding comes after every SOURCE, where it
/// reads no text (as gcc's -x after the last file).
std::optional<std::string> EncodingAfterTheSources(const std::vector<CommandWord>& words) {
  const auto is_source = [](const CommandWord& word) { return word.row == nullptr; };
  const auto last_source = std::find_if(words.rbegin(), words.rend(), is_source);
  if (last_source == words.rend()) return std::nullopt;
  const auto late =
      std::find_if(words.rbegin(), last_source, [](const CommandWord& word) { return word.row->set == SetEncoding; });
  if (late == last_source) return std::nullopt;
  return "--encoding " + late->value + " comes after the last SOURCE and reads no text: put it before the SOURCEs " +
         "it names";
}

/// The options once every word was read: the operands made SOURCEs (or the
/// pattern of --list-fonts), and what goes together checked.
ParsedCommandLine Completed(Options options, const std::vector<SourceFile>& operands,
                            const std::vector<const OptionRow*>& given) {
  if (options.action == Options::Action::kListFonts) {
    if (operands.size() > 1) return Refused("--list-fonts takes one PATTERN at most");
    if (!operands.empty()) options.font_pattern = operands.front().path;
    return {options, "", {}};
  }
  if (options.action == Options::Action::kListFormats) return {options, "", {}};
  if (options.action == Options::Action::kShow) {
    if (!operands.empty()) return Refused("--show takes no SOURCE");
    return {options, "", {}};
  }
  for (const SourceFile& operand : operands) {
    if (operand.path.empty()) return Refused("SOURCE is an empty name");
    std::vector<std::string> expanded;
    try {
      expanded = ExpandWildcards(operand.path);
    } catch (const Failure& failure) {
      return Refused(failure.what());
    }
    for (std::string& path : expanded) options.sources.push_back({std::move(path), operand.encoding});
  }
  options.file = options.sources.empty() ? options.output.value_or("") : options.sources.front().path;
  const bool depth_given =
      std::any_of(given.begin(), given.end(), [](const OptionRow* row) { return row->set == SetDepth; });
  if (!options.fonts.empty() && !depth_given) options.record_format.bpp = options.format->default_depth;
  if (std::optional<std::string> conflict = SourcesConflict(options)) return Refused(*conflict);
  if (std::optional<std::string> conflict = Conflict(options, given)) return Refused(*conflict);
  return {options, "", {}};
}

}  // namespace

std::string OptionRow::Takes() const {
  std::string text;
  if (choices != nullptr) {
    std::vector<std::string> names;
    for (const OptionChoice& choice : choices()) names.push_back(choice.name);
    text = WordList(names, "or");
  } else if (high > 0) {
    text = std::to_string(low) + " to " + std::to_string(high);
  }
  if (unit != nullptr) text += (text.empty() ? "" : " ") + std::string(unit);
  return text;
}

std::span<const OptionRow> OptionTable() { return kOptions; }

bool IsCIdentifier(const std::string& name) {
  if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return c == '_' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
  });
}

ParsedCommandLine ParseOptions(std::vector<std::string> arguments) {
  Options options;
  if (std::any_of(arguments.begin() + 1, arguments.end(), AsksForHelp)) {
    options.action = Options::Action::kHelp;
    return {options, "", {}};
  }
  static std::mutex getopt_state;  // getopt_long keeps its place in globals.
  const std::lock_guard one_at_a_time(getopt_state);
  optind = 0;  // Starts getopt_long afresh, however often the program parses.
  opterr = 0;  // What is wrong is said by the caller, from what this returns.
  std::vector<char*> words = ArgumentWords(arguments);
  const int argc = static_cast<int>(arguments.size());
  const std::vector<option> table = GetoptTable();
  const std::string letters = ShortOptions();
  CommandLineState state;
  std::vector<SourceFile> operands;
  std::vector<const OptionRow*> given;
  std::vector<CommandWord> said;
  for (int c; (c = getopt_long(argc, words.data(), letters.c_str(), table.data(), nullptr)) != -1;) {
    if (c == 1) {
      operands.push_back({optarg, state.encoding});
      said.push_back({nullptr, optarg});
      continue;
    }
    const OptionRow* found = RowOf(c);
    if (found == nullptr) return Refused(Unreadable(words[static_cast<size_t>(std::min(optind, argc) - 1)]));
    const OptionRow& row = *found;
    if (!row.set(row, optarg, options, state) || (optarg != nullptr && *optarg == '\0'))
      return Refused(WrongValue(row, optarg != nullptr ? optarg : ""));
    given.push_back(&row);
    said.push_back({&row, optarg != nullptr ? optarg : ""});
    if (options.action == Options::Action::kHelp || options.action == Options::Action::kVersion)
      return {options, "", said};
  }
  for (int i = optind; i < argc; ++i) {  // After "--".
    operands.push_back({words[static_cast<size_t>(i)], state.encoding});
    said.push_back({nullptr, words[static_cast<size_t>(i)]});
  }
  if (std::optional<std::string> late = EncodingAfterTheSources(said)) return Refused(*late);
  ParsedCommandLine parsed = Completed(std::move(options), operands, given);
  if (parsed.options) parsed.words = std::move(said);
  return parsed;
}

std::vector<std::string> CommandArguments(const std::vector<CommandWord>& words) {
  std::vector<std::string> arguments;
  for (const CommandWord& word : words) {
    if (word.row == nullptr) {
      arguments.push_back(word.value.starts_with("-") && word.value != "-" ? "./" + word.value : word.value);
      continue;
    }
    arguments.push_back(std::string("--") + word.row->name);
    if (word.row->argument != nullptr) arguments.push_back(word.value);
  }
  return arguments;
}

}  // namespace pixtrel
