#include "cli/options.h"

#include <getopt.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "glyphdata/charsets.h"
#include "platform/failure.h"
#include "platform/platform.h"

namespace pixtrel {

const char kUsage[] =
    "usage: pixtrel-extract [OPTION]... SOURCE\n"
    "       pixtrel-extract --format lvgl|u8g2 -o FILE [OPTION]... SOURCE...\n"
    "       pixtrel-extract -o FILE [OPTION]... -\n"
    "       pixtrel-extract --font FONT --size PX --format lvgl|lvgl-bin -o FILE\n"
    "                       --charset SET|--range U+X-U+Y [OPTION]... [SOURCE]...\n"
    "       pixtrel-extract --show GLYPHFILE\n"
    "       pixtrel-extract --list-fonts [PATTERN]\n";

const char kHelp[] =
    "Writes the glyph file of SOURCE: the 32-byte record of every double-byte\n"
    "character of the text that the code table knows, in text order.\n"
    "\n"
    "  -o, --output FILE     write the glyph file to FILE (default: SOURCE with\n"
    "                        the extension .bin, or .bin appended to a name\n"
    "                        without one); - writes it to stdout, and every\n"
    "                        message then goes to stderr\n"
    "      --data-dir DIR    read GB2312.bin and GB2312.tbl from DIR, or from the\n"
    "                        set Pixtrel ships of that name (efont-12); default:\n"
    "                        the directory of the executable\n"
    "      --font FONT       take the glyphs from the font file FONT (TrueType,\n"
    "                        OpenType, a TTC collection, WOFF, BDF or PCF, gzipped\n"
    "                        too), or the installed font of that name (\"Noto Sans\n"
    "                        CJK TC\", msyh.ttc), instead of a font set: every\n"
    "                        character it has, with its own advances and boxes\n"
    "      --face N|NAME     FONT's face N, or the face of that family name\n"
    "      --size PX         draw FONT at PX pixels: 8 to 128 for outlines, a\n"
    "                        strike's size for a bitmap font (default 16, or a\n"
    "                        bitmap font's one strike)\n"
    "      --bpp N           1 (the default), 2, 4 or 8 bits a pixel: anti-aliased\n"
    "                        coverage from FONT, for lvgl and the C formats\n"
    "      --hinting H       outlines hinted light (the default), normal or none\n"
    "      --no-kerning      leave FONT's kerning pairs out of an LVGL font\n"
    "      --compress        lvgl, lvgl-bin: LVGL's compressed bitmaps\n"
    "      --charset SET     a font also holds every character of SET that FONT\n"
    "                        has (repeatable): gb2312, gbk, big5, ksx1001,\n"
    "                        jisx0208 (each with ASCII) or ascii\n"
    "      --range U+X-U+Y   a font also holds the characters from U+X to U+Y\n"
    "                        (repeatable)\n"
    "      --encoding ENC    the SOURCEs after it are ENC, until the next:\n"
    "                        auto (the default: UTF-8 or UTF-16 when they say\n"
    "                        so, else CP936; one that looks like another East\n"
    "                        Asian encoding, or no text, is refused), utf-8,\n"
    "                        utf-16, utf-16le, utf-16be, cp936 (gbk, gb2312,\n"
    "                        gb18030), big5 (cp950), cp949 (euc-kr, uhc),\n"
    "                        shift_jis (cp932, sjis) or euc-jp\n"
    "  -q, --quiet           print nothing but what was asked for, warnings and\n"
    "                        errors\n"
    "      --progress        show progress on stderr even when it is no terminal\n"
    "      --missing         list on stderr the characters that got no glyph\n"
    "      --strict          as --missing; when there were any, exit 3 and leave\n"
    "                        the old glyph file as it was; a missing or short\n"
    "                        font file is an error\n"
    "      --layout NAME     lay records out as row-msb (the default), row-lsb,\n"
    "                        page-lsb, page-msb, column-lsb or column-msb\n"
    "      --invert          flip every bit (0 is ink)\n"
    "      --format FMT      bin (the default: raw records), c (a C source file),\n"
    "                        h (a C header), or a font of the text's characters\n"
    "                        for lvgl or u8g2 (a C file; several SOURCEs make\n"
    "                        one font), or lvgl-bin (LVGL's binary font file)\n"
    "      --name IDENT      the C arrays are IDENT_glyphs, IDENT_lines and\n"
    "                        IDENT_text (default: FILE's name made an identifier)\n"
    "      --fallback NAME   --format lvgl: the font NAME (a C identifier) draws\n"
    "                        the characters this one lacks\n"
    "      --unique          each distinct record once, and the text as indices\n"
    "                        into them: IDENT_text, or with bin the --index file\n"
    "      --index FILE      --unique --format bin: write the indices to FILE, one\n"
    "                        little-endian uint16 an occurrence\n"
    "      --depfile FILE    write a make rule to FILE naming every file the run\n"
    "                        read, for make and Ninja\n"
    "      --half-width      give printable ASCII (the space too) the set's\n"
    "                        half-width records, so whole lines can be drawn\n"
    "      --placeholder     give every character that gets no glyph the set's\n"
    "                        placeholder, so the records keep step with the text\n"
    "      --max-width PX    report each line wider than PX pixels as drawn;\n"
    "                        with --strict, such a line fails the run\n"
    "      --png FILE        write a picture of the text as the records draw it\n"
    "      --png-scale K     each pixel of the picture a square of K (default 4)\n"
    "      --preview         draw the glyph file written on stdout\n"
    "      --show GLYPHFILE  draw GLYPHFILE on stdout and run nothing (with\n"
    "                        --layout and --invert as it was written)\n"
    "      --list-fonts      list the installed fonts whose names hold PATTERN,\n"
    "                        their faces, and whether they hold hanzi, kana, Hangul\n"
    "  -h, --help            show this help\n"
    "  -V, --version         show the version\n"
    "\n"
    "Exit status: 0 a glyph file was written; 1 none was, since the text holds no\n"
    "character of the table; 2 a failure, a refusal or a wrong command line;\n"
    "3 (with --strict) some characters got no glyph, so no glyph file was written.\n"
    "A SOURCE of - is standard input. A failed run leaves the old glyph file as it was.\n";

namespace {

enum LongOnly {
  kDataDir = 256,
  kEncoding,
  kMissing,
  kStrict,
  kPreview,
  kShow,
  kLayout,
  kInvert,
  kFormat,
  kName,
  kUnique,
  kIndex,
  kProgress,
  kDepfile,
  kHalfWidth,
  kPlaceholder,
  kMaxWidth,
  kPng,
  kPngScale,
  kFallback,
  kFont,
  kFace,
  kSize,
  kBpp,
  kHinting,
  kNoKerning,
  kCompress,
  kCharset,
  kRange,
  kListFonts
};

const option kLongOptions[] = {
    {"output", required_argument, nullptr, 'o'},
    {"data-dir", required_argument, nullptr, kDataDir},
    {"encoding", required_argument, nullptr, kEncoding},
    {"quiet", no_argument, nullptr, 'q'},
    {"missing", no_argument, nullptr, kMissing},
    {"strict", no_argument, nullptr, kStrict},
    {"preview", no_argument, nullptr, kPreview},
    {"show", required_argument, nullptr, kShow},
    {"layout", required_argument, nullptr, kLayout},
    {"invert", no_argument, nullptr, kInvert},
    {"format", required_argument, nullptr, kFormat},
    {"name", required_argument, nullptr, kName},
    {"unique", no_argument, nullptr, kUnique},
    {"index", required_argument, nullptr, kIndex},
    {"progress", no_argument, nullptr, kProgress},
    {"depfile", required_argument, nullptr, kDepfile},
    {"half-width", no_argument, nullptr, kHalfWidth},
    {"placeholder", no_argument, nullptr, kPlaceholder},
    {"max-width", required_argument, nullptr, kMaxWidth},
    {"png", required_argument, nullptr, kPng},
    {"png-scale", required_argument, nullptr, kPngScale},
    {"fallback", required_argument, nullptr, kFallback},
    {"font", required_argument, nullptr, kFont},
    {"face", required_argument, nullptr, kFace},
    {"size", required_argument, nullptr, kSize},
    {"bpp", required_argument, nullptr, kBpp},
    {"hinting", required_argument, nullptr, kHinting},
    {"no-kerning", no_argument, nullptr, kNoKerning},
    {"compress", no_argument, nullptr, kCompress},
    {"charset", required_argument, nullptr, kCharset},
    {"range", required_argument, nullptr, kRange},
    {"list-fonts", no_argument, nullptr, kListFonts},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};

std::nullopt_t UsageError(const char* complaint = nullptr, const char* what = "") {
  if (complaint != nullptr) WriteText(stderr, std::string("pixtrel-extract: ") + complaint + what + "\n");
  WriteText(stderr, kUsage);
  return std::nullopt;
}

std::string Lowercase(std::string name) {
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
  return name;
}

/// `names` joined for a message: "a, b or c".
std::string OneOf(const std::vector<std::string>& names) {
  std::string text;
  for (size_t i = 0; i < names.size(); ++i) text += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
  return text;
}

std::string EncodingChoices() {
  std::vector<std::string> names;
  for (const EncodingName& encoding : EncodingNames()) names.push_back(encoding.name);
  return OneOf(names);
}

std::string CharsetChoices() {
  std::vector<std::string> names;
  for (const CharsetName& charset : CharsetNames()) names.push_back(charset.name);
  return OneOf(names);
}

std::optional<Hinting> ParseHinting(const std::string& name) {
  if (name == "light") return Hinting::kLight;
  if (name == "normal") return Hinting::kNative;
  if (name == "none") return Hinting::kNone;
  return std::nullopt;
}

/// The code point of "U+XXXX" (or "0xXXXX"), or none.
std::optional<uint32_t> CodePoint(std::string_view text) {
  if (!(text.starts_with("U+") || text.starts_with("u+") || text.starts_with("0x"))) return std::nullopt;
  text.remove_prefix(2);
  uint32_t value = 0;
  if (text.empty() || text.size() > 6) return std::nullopt;
  for (char c : text) {
    const int digit = std::isxdigit(static_cast<unsigned char>(c)) ? std::stoi(std::string(1, c), nullptr, 16) : -1;
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<uint32_t>(digit);
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

/// `text` as a number from `low` to `high`, or none.
std::optional<int> Number(const char* text, int low, int high) {
  char* end;
  const long value = std::strtol(text, &end, 10);
  if (*text == '\0' || *end != '\0' || value < low || value > high) return std::nullopt;
  return static_cast<int>(value);
}

/// What is wrong with the formats asked for, if anything.
const char* FormatComplaint(const Options& options) {
  const bool bin = options.format->raw;
  if (options.index && !options.unique) return "--index goes with --unique";
  if (options.unique && bin && !options.index) return "--unique --format bin needs --index FILE";
  if (options.index && !bin) return "--index goes with --format bin; C source holds the index itself";
  if (options.index == "-") return "--index needs a file of its own";
  if (options.preview && !bin) return "--preview draws a glyph file of --format bin";
  if (options.unique && options.half_width && bin)
    return "--unique --half-width needs --format c or h: an index cannot tell records of two sizes apart";
  const bool font = options.format->font;
  if (font && (options.record_format.layout != GlyphLayout::kRowMsb || options.record_format.invert))
    return "--layout and --invert do not apply to a font for LVGL or u8g2, which keeps its own bit order";
  if (font && (options.unique || options.placeholder))
    return "--unique and --placeholder do not apply to a font for LVGL or u8g2, which holds each character once";
  const bool lvgl = std::string_view(options.format->name).starts_with("lvgl");
  if (options.fallback && std::string_view(options.format->name) != "lvgl") return "--fallback goes with --format lvgl";
  if (options.compress && !lvgl) return "--compress goes with --format lvgl or lvgl-bin";
  if (!options.font && (options.size || options.face || options.record_format.bpp != 1 ||
                        options.hinting != Hinting::kLight || !options.kerning || !options.ranges.empty()))
    return "--size, --face, --bpp, --hinting, --no-kerning, --charset and --range go with --font: a font set's "
           "glyphs are drawn at its size, 1 bit a pixel";
  if (options.font && options.data_dir) return "--font and --data-dir are two sources of glyphs: say one";
  if (options.record_format.bpp != 1 && std::string_view(options.format->name) == "u8g2")
    return "--bpp goes with lvgl and the C formats: u8g2's fonts are 1 bit a pixel";
  if (options.record_format.bpp != 1 && options.record_format.layout != GlyphLayout::kRowMsb)
    return "--layout goes with --bpp 1: deeper records are rows, the leftmost pixel in the high bits";
  if (!options.ranges.empty() && !font) return "--charset and --range go with a font: lvgl, lvgl-bin or u8g2";
  if (options.depfile && options.ToStandardOutput()) return "--depfile needs a target file, not -";
  if (options.depfile == "-") return "--depfile needs a file of its own";
  return nullptr;
}

/// The name of the option whose file is empty, if any.
const char* EmptyPathOption(const Options& options) {
  if (options.data_dir == "") return "--data-dir needs a directory";
  if (options.index == "") return "--index needs a file name";
  if (options.depfile == "") return "--depfile needs a file name";
  if (options.png == "") return "--png needs a file name";
  return nullptr;
}

}  // namespace

bool IsCIdentifier(const std::string& name) {
  if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return c == '_' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
  });
}

std::optional<Options> ParseOptions(std::vector<std::string> arguments) {
  Options options;
  if (std::any_of(arguments.begin() + 1, arguments.end(), AsksForHelp)) {
    options.action = Options::Action::kHelp;
    return options;
  }
  optind = 0;  // Starts getopt_long afresh, however often the program parses.
  // getopt_long names the program as argv[0] does in what it says is wrong: so it says what our messages say.
  arguments.at(0) = "pixtrel-extract";
  std::vector<char*> words = ArgumentWords(arguments);
  const int argc = static_cast<int>(arguments.size());
  TextEncoding encoding = TextEncoding::kDetect;  // Of the SOURCEs that follow, as --encoding says.
  std::vector<SourceFile> operands;
  // "-" first: the operands come in their places among the options, so each takes the --encoding before it.
  for (int c; (c = getopt_long(argc, words.data(), "-o:qhV", kLongOptions, nullptr)) != -1;) {
    switch (c) {
      case 1:
        operands.push_back({optarg, encoding});
        break;
      case 'o':
        options.output = optarg;
        break;
      case kDataDir:
        options.data_dir = optarg;
        break;
      case kEncoding: {
        std::optional<TextEncoding> named = EncodingNamed(optarg);
        if (!named) return UsageError(("unknown encoding (" + EncodingChoices() + "): ").c_str(), optarg);
        encoding = *named;
        break;
      }
      case 'q':
        options.quiet = true;
        break;
      case kMissing:
        options.missing = true;
        break;
      case kStrict:
        options.strict = options.missing = true;
        break;
      case kPreview:
        options.preview = true;
        break;
      case kShow:
        options.action = Options::Action::kShow;
        options.file = optarg;
        break;
      case kLayout: {
        std::optional<GlyphLayout> layout = ParseLayout(Lowercase(optarg));
        if (!layout)
          return UsageError("unknown layout (row-msb, row-lsb, page-lsb, page-msb, column-lsb, column-msb): ", optarg);
        options.record_format.layout = *layout;
        break;
      }
      case kInvert:
        options.record_format.invert = true;
        break;
      case kFormat: {
        const FormatKind* format = FindFormat(Lowercase(optarg));
        if (format == nullptr) return UsageError(("unknown format (" + FormatNames() + "): ").c_str(), optarg);
        options.format = format;
        break;
      }
      case kName:
        if (!IsCIdentifier(optarg)) return UsageError("--name is not a C identifier: ", optarg);
        options.name = optarg;
        break;
      case kFallback:
        if (!IsCIdentifier(optarg)) return UsageError("--fallback is not a C identifier: ", optarg);
        options.fallback = optarg;
        break;
      case kUnique:
        options.unique = true;
        break;
      case kIndex:
        options.index = optarg;
        break;
      case kProgress:
        options.progress = true;
        break;
      case kDepfile:
        options.depfile = optarg;
        break;
      case kHalfWidth:
        options.half_width = true;
        break;
      case kPlaceholder:
        options.placeholder = true;
        break;
      case kMaxWidth:
        options.max_width = Number(optarg, 1, 65535);
        if (!options.max_width) return UsageError("--max-width takes a number of pixels: ", optarg);
        break;
      case kPng:
        options.png = optarg;
        break;
      case kPngScale: {
        const std::optional<int> scale = Number(optarg, 1, 64);
        if (!scale) return UsageError("--png-scale takes 1 to 64: ", optarg);
        options.png_scale = *scale;
        break;
      }
      case kFont:
        options.font = optarg;
        break;
      case kFace:
        options.face = optarg;
        break;
      case kSize:
        options.size = Number(optarg, 1, kLargestOutlines);
        if (!options.size) return UsageError("--size takes 1 to 128 pixels: ", optarg);
        break;
      case kBpp: {
        const std::optional<int> bpp = Number(optarg, 1, 8);
        if (!bpp || (*bpp & (*bpp - 1)) != 0) return UsageError("--bpp takes 1, 2, 4 or 8: ", optarg);
        options.record_format.bpp = *bpp;
        break;
      }
      case kHinting: {
        const std::optional<Hinting> hinting = ParseHinting(Lowercase(optarg));
        if (!hinting) return UsageError("unknown hinting (light, normal or none): ", optarg);
        options.hinting = *hinting;
        break;
      }
      case kNoKerning:
        options.kerning = false;
        break;
      case kCompress:
        options.compress = true;
        break;
      case kCharset: {
        const std::vector<uint32_t>* characters = CharsetCharacters(Lowercase(optarg));
        if (characters == nullptr)
          return UsageError(("unknown character set (" + CharsetChoices() + "): ").c_str(), optarg);
        for (uint32_t code_point : *characters) options.ranges.emplace_back(code_point, code_point);
        break;
      }
      case kRange: {
        const std::optional<std::pair<uint32_t, uint32_t>> range = Range(optarg);
        if (!range) return UsageError("--range takes U+XXXX-U+YYYY: ", optarg);
        options.ranges.push_back(*range);
        break;
      }
      case kListFonts:
        options.action = Options::Action::kListFonts;
        break;
      case 'h':
        options.action = Options::Action::kHelp;
        return options;
      case 'V':
        options.action = Options::Action::kVersion;
        return options;
      default:
        return UsageError();
    }
  }
  for (int i = optind; i < argc; ++i) operands.push_back({words[static_cast<size_t>(i)], encoding});  // After "--".
  if (options.action == Options::Action::kListFonts) {
    if (operands.size() > 1) return UsageError("--list-fonts takes one PATTERN at most");
    if (!operands.empty()) options.font_pattern = operands.front().path;
    return options;
  }
  if (options.output == "") return UsageError("-o needs a file name");
  if (const char* complaint = EmptyPathOption(options)) return UsageError(complaint);
  if (options.action == Options::Action::kShow) {
    if (!operands.empty()) return UsageError("--show takes no SOURCE");
    if (options.file.empty()) return UsageError("--show needs a glyph file");
    return options;
  }
  for (const SourceFile& operand : operands) {
    if (operand.path.empty()) return UsageError("SOURCE is an empty name");
    std::vector<std::string> expanded;
    try {
      expanded = ExpandWildcards(operand.path);
    } catch (const Failure& failure) {
      return UsageError(failure.what());
    }
    for (std::string& path : expanded) options.sources.push_back({std::move(path), operand.encoding});
  }
  const size_t sources = options.sources.size();
  if (sources == 0 && options.ranges.empty()) return UsageError("no SOURCE");
  if (sources == 0 && !options.output) return UsageError("--charset and --range without a SOURCE need -o");
  if (sources > 1 && !options.format->font)
    return UsageError("one SOURCE only: the fonts of --format lvgl and u8g2 take several, no other format does");
  options.file = options.sources.empty() ? *options.output : options.sources.front().path;
  if (sources > 1 && !options.output) return UsageError("several SOURCEs need -o, the font they make");
  if (sources > 1 && std::any_of(options.sources.begin(), options.sources.end(),
                                 [](const SourceFile& source) { return source.path == "-"; }))
    return UsageError("- (standard input) is a SOURCE of its own");
  if (sources > 1 && (options.png || options.preview)) return UsageError("--png and --preview draw one SOURCE");
  if (options.file == "-" && !options.output) return UsageError("a SOURCE of - (standard input) needs -o");
  if (options.preview && options.ToStandardOutput()) return UsageError("--preview cannot draw a glyph file sent to -");
  if (const char* complaint = FormatComplaint(options)) return UsageError(complaint);
  return options;
}

}  // namespace pixtrel
