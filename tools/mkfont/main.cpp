// pixtrel-mkfont: makes the data files GB2312.bin and GB2312.tbl from a
// 16-pixel font, through FreeType.

#include <getopt.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "extract/glyph_output.h"
#include "font_face.h"
#include "glyph_cell.h"
#include "glyphdata/glyph_store.h"
#include "platform/failure.h"
#include "platform/platform.h"
#include "version.h"

namespace {

using namespace pixtrel;

constexpr char kUsage[] =
    "usage: pixtrel-mkfont [OPTION]... FONT\n"
    "       pixtrel-mkfont --list FONT\n";

constexpr char kHelp[] =
    "Writes GB2312.bin and GB2312.tbl, the data files of Pixtrel, from FONT (BDF,\n"
    "PCF, TTF, OTF or TTC; .gz too): slot (row - 0xA1) * 94 + (col - 0xA1) holds\n"
    "the 16 x 16 glyph of the CP936 code {row, col}, rows 0xA1-0xF7.\n"
    "\n"
    "  -o, --output DIR      write the files into DIR (default: .)\n"
    "      --face N          use face N of a collection (default 0)\n"
    "      --size PX         the glyphs' pixel size (default 16); smaller ones\n"
    "                        are placed in the 16 x 16 cell\n"
    "      --mode MODE       auto (a strike of the size, else outlines), strike\n"
    "                        or outline\n"
    "      --hint HINT       hinting of outlines: native, auto or none\n"
    "      --baseline ROW    the baseline's row (default: the strike's ascent, or\n"
    "                        from the ink of the hanzi)\n"
    "      --strict          exit 3 when anything was reported\n"
    "      --list            list FONT's faces, strikes and GB2312 coverage\n"
    "  -h, --help            show this help\n"
    "  -V, --version         show the version\n"
    "\n"
    "Reports on stderr: characters the font lacks (their glyph is blank), blank\n"
    "glyphs, strike glyphs drawn from outlines, glyphs shifted into the cell or\n"
    "clipped. Exit status: 0 written; 2 a failure, a refusal or a wrong command\n"
    "line; 3 (with --strict) written, with reports.\n";

constexpr int kCell = 16;
constexpr int kFirstRow = 0xA1, kLastRow = 0xF7, kFirstColumn = 0xA1, kLastColumn = 0xFE;
constexpr int kFirstHanziRow = 0xB0;

enum class Mode { kAuto, kStrike, kOutline };

struct Options {
  std::string font;
  std::string output = ".";
  int face = 0;
  int size = kCell;
  Mode mode = Mode::kAuto;
  Hinting hinting = Hinting::kNative;
  std::optional<int> baseline;
  bool strict = false;
  bool list = false;
};

int Fail(const std::string& message) {
  std::fprintf(stderr, "pixtrel-mkfont: %s\n", message.c_str());
  return 2;
}

/// A CP936 code with its character: in Unicode, and as the locale shows it.
struct Character {
  uint16_t code;
  uint32_t unicode;
  std::string cp936;
};

/// The standard character of CP936 code `code`, or none (unassigned, or
/// private use).
std::optional<Character> CharacterOf(uint16_t code) {
  const std::string cp936{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
  const std::optional<std::string> utf32 = TextConverter::Whole("UTF-32LE", "CP936", cp936);
  if (!utf32 || utf32->size() != 4) return std::nullopt;
  uint32_t unicode = 0;
  for (int i = 3; i >= 0; --i) unicode = unicode << 8 | static_cast<unsigned char>((*utf32)[static_cast<size_t>(i)]);
  if (unicode >= 0xE000 && unicode <= 0xF8FF) return std::nullopt;
  return Character{code, unicode, cp936};
}

/// True for a space, whose glyph is blank as it should be.
bool IsSpace(uint32_t unicode) { return unicode == 0x20 || unicode == 0xA0 || unicode == 0x3000; }

/// Every slot's character, in slot order.
std::vector<std::optional<Character>> Slots() {
  std::vector<std::optional<Character>> slots;
  for (int row = kFirstRow; row <= kLastRow; ++row)
    for (int column = kFirstColumn; column <= kLastColumn; ++column)
      slots.push_back(CharacterOf(static_cast<uint16_t>(row << 8 | column)));
  return slots;
}

/// The code by which `face` finds `character`.
uint32_t KeyOf(const FontFace& face, const Character& character) {
  return face.Map() == FontFace::CharacterMap::kGb2312 ? character.code - 0x8080u : character.unicode;
}

/// The row of the baseline that centres the ink of the hanzi in the cell.
int BaselineFromHanzi(FontFace& face, const std::vector<std::optional<Character>>& slots) {
  int top = -1000, bottom = 1000;
  for (const std::optional<Character>& character : slots) {
    if (!character || character->code >> 8 < kFirstHanziRow) continue;
    std::optional<FontFace::Drawn> drawn = face.Draw(KeyOf(face, *character));
    if (!drawn || drawn->ink.rows == 0) continue;
    top = std::max(top, drawn->ink.top);
    bottom = std::min(bottom, drawn->ink.top - drawn->ink.rows);
  }
  if (top < bottom) return kCell - 2;
  return (kCell - (top - bottom)) / 2 + top;
}

/// Chooses how the face is drawn; a refusal message when it cannot be.
std::optional<std::string> ChoosePixels(FontFace& face, const Options& options) {
  const bool has_strike = face.HasStrike(options.size);
  if (options.mode == Mode::kStrike || (options.mode == Mode::kAuto && has_strike)) {
    if (!has_strike) return "No strike of " + std::to_string(options.size) + " pixels";
    face.UseStrike(options.size);
    return std::nullopt;
  }
  if (!face.HasOutlines()) return "No strike of " + std::to_string(options.size) + " pixels, and no outlines";
  face.UseOutlines(options.size, options.hinting);
  return std::nullopt;
}

class Reports {
 public:
  void Add(const Character& character, const char* what) {
    const std::optional<std::string> shown = TextConverter::Whole(LocaleCharset().c_str(), "CP936", character.cp936);
    std::fprintf(stderr, "%04X U+%04X %s: %s\n", character.code, static_cast<unsigned>(character.unicode),
                 shown && !shown->empty() ? shown->c_str() : "?", what);
    ++count_;
  }
  int count() const { return count_; }

 private:
  int count_ = 0;
};

int List(const Options& options) {
  const std::shared_ptr<const std::string> data = FontFace::Read(options.font);  // Read once for every face.
  const int faces = FontFace(options.font, data, 0).FaceCount();
  const std::vector<std::optional<Character>> slots = Slots();
  for (int index = 0; index < faces; ++index) {
    FontFace face(options.font, data, index);
    std::string strikes;
    for (int size : face.StrikeSizes()) strikes += (strikes.empty() ? "" : ", ") + std::to_string(size) + " px";
    int covered = 0, characters = 0;
    for (const std::optional<Character>& character : slots) {
      if (!character) continue;
      ++characters;
      if (face.Map() != FontFace::CharacterMap::kNone && face.Draw(KeyOf(face, *character))) ++covered;
    }
    std::printf("face %d: %s; strikes: %s; outlines: %s; GB2312 coverage: %d of %d\n", index, face.Name().c_str(),
                strikes.empty() ? "none" : strikes.c_str(), face.HasOutlines() ? "yes" : "no", covered, characters);
  }
  return 0;
}

/// Why the files cannot go into `dir`, if they cannot: it is no directory.
std::optional<std::string> OutputDirectoryRefusal(const std::string& dir) {
  switch (RealDisk().KindOf(RealDisk().FollowLinks(dir))) {
    case FileKind::kDirectory:
      return std::nullopt;
    case FileKind::kNone:
      return dir + ": No such file or directory";
    case FileKind::kRegular:
    case FileKind::kOther:
      break;
  }
  return dir + ": Not a directory";
}

int Make(const Options& options) {
  if (std::optional<std::string> refusal = OutputDirectoryRefusal(options.output)) return Fail(*refusal);
  FontFace face(options.font, options.face);
  if (face.Map() == FontFace::CharacterMap::kNone) return Fail(options.font + ": No character map to find GB2312 by");
  if (std::optional<std::string> refusal = ChoosePixels(face, options)) return Fail(options.font + ": " + *refusal);
  const std::vector<std::optional<Character>> slots = Slots();
  int baseline;
  if (options.baseline)
    baseline = *options.baseline;
  else if (face.DrawsStrike() && face.Ascent() + face.Descent() == kCell)
    baseline = face.Ascent();
  else
    baseline = BaselineFromHanzi(face, slots);

  Reports reports;
  std::string font, table;
  for (const std::optional<Character>& character : slots) {
    uint8_t record[2 * kCell] = {};
    if (character) {
      char code[8];
      std::snprintf(code, sizeof code, "%04X ", character->code);
      table += code + character->cp936;
      if (std::optional<FontFace::Drawn> drawn = face.Draw(KeyOf(face, *character))) {
        const Placement placement = PlaceInCell(drawn->ink, baseline, record);
        if (placement.blank && !IsSpace(character->unicode)) reports.Add(*character, "blank");
        if (drawn->from_outline) reports.Add(*character, "drawn from outlines, not the strike");
        if (placement.shifted) reports.Add(*character, "shifted into the cell");
        if (placement.clipped) reports.Add(*character, "clipped");
      } else {
        reports.Add(*character, "missing");
      }
    }
    table += "\r\n";
    font.append(reinterpret_cast<const char*>(record), sizeof record);
  }
  std::fprintf(stderr, "pixtrel-mkfont: %s: %d reports, baseline on row %d\n", options.font.c_str(), reports.count(),
               baseline);
  AtomicGlyphFile font_file(RealDisk(), GlyphStore::FontPathIn(options.output));
  AtomicGlyphFile table_file(RealDisk(), GlyphStore::TablePathIn(options.output));
  font_file.WriteWhole(font);
  table_file.WriteWhole(table);
  font_file.Install();
  table_file.Install();
  return options.strict && reports.count() > 0 ? 3 : 0;
}

std::optional<int> Number(const char* text) {
  char* end;
  const long value = std::strtol(text, &end, 10);
  if (*text == '\0' || *end != '\0' || value < 0 || value > 1000) return std::nullopt;
  return static_cast<int>(value);
}

std::optional<Options> Parse(int argc, char** argv) {
  enum { kFace = 256, kSize, kMode, kHint, kBaseline, kStrict, kList };
  const option long_options[] = {{"output", required_argument, nullptr, 'o'},
                                 {"face", required_argument, nullptr, kFace},
                                 {"size", required_argument, nullptr, kSize},
                                 {"mode", required_argument, nullptr, kMode},
                                 {"hint", required_argument, nullptr, kHint},
                                 {"baseline", required_argument, nullptr, kBaseline},
                                 {"strict", no_argument, nullptr, kStrict},
                                 {"list", no_argument, nullptr, kList},
                                 {"help", no_argument, nullptr, 'h'},
                                 {"version", no_argument, nullptr, 'V'},
                                 {nullptr, 0, nullptr, 0}};
  Options options;
  auto wrong = [](const std::string& what) -> std::optional<Options> {
    if (!what.empty()) std::fprintf(stderr, "pixtrel-mkfont: %s\n", what.c_str());
    std::fputs(kUsage, stderr);
    return std::nullopt;
  };
  for (int c; (c = getopt_long(argc, argv, "o:hV", long_options, nullptr)) != -1;) {
    const std::string argument = optarg ? optarg : "";
    std::optional<int> number = optarg ? Number(optarg) : std::nullopt;
    switch (c) {
      case 'o':
        if (argument.empty()) return wrong("-o needs a directory");
        options.output = argument;
        break;
      case kFace:
        if (!number) return wrong("--face takes a number");
        options.face = *number;
        break;
      case kSize:
        if (!number || *number == 0 || *number > kCell) return wrong("--size takes 1 to 16");
        options.size = *number;
        break;
      case kBaseline:
        if (!number || *number >= kCell) return wrong("--baseline takes 0 to 15");
        options.baseline = number;
        break;
      case kMode:
        if (argument == "auto")
          options.mode = Mode::kAuto;
        else if (argument == "strike")
          options.mode = Mode::kStrike;
        else if (argument == "outline")
          options.mode = Mode::kOutline;
        else
          return wrong("unknown mode (auto, strike or outline): " + argument);
        break;
      case kHint:
        if (argument == "native")
          options.hinting = Hinting::kNative;
        else if (argument == "auto")
          options.hinting = Hinting::kAuto;
        else if (argument == "none")
          options.hinting = Hinting::kNone;
        else
          return wrong("unknown hinting (native, auto or none): " + argument);
        break;
      case kStrict:
        options.strict = true;
        break;
      case kList:
        options.list = true;
        break;
      case 'h':
        std::printf("%s\n%s", kUsage, kHelp);
        std::exit(0);
      case 'V':
        std::puts("pixtrel-mkfont " PIXTREL_VERSION_TEXT);
        std::exit(0);
      default:
        return wrong("");
    }
  }
  if (argc - optind != 1) return wrong(argc == optind ? "no FONT" : "one FONT only");
  options.font = argv[optind];
  if (options.font.empty()) return wrong("FONT is an empty name");
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_CTYPE, "");
  RemoveTemporaryFilesOnSignals();
  std::optional<Options> options = Parse(argc, argv);
  if (!options) return 2;
  try {
    return options->list ? List(*options) : Make(*options);
  } catch (const Failure& failure) {
    return Fail(failure.what());
  }
}
