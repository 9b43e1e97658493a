// pixtrel-mkfont: makes a font set of Pixtrel, GB2312.bin and GB2312.tbl with
// the half-width glyphs and the placeholder, from a font, through FreeType.

#include <getopt.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "fontfile/font_face.h"
#include "platform/failure.h"
#include "platform/platform.h"
#include "set_maker.h"
#include "version.h"

namespace {

using namespace pixtrel;

constexpr char kUsage[] =
    "usage: pixtrel-mkfont [OPTION]... FONT\n"
    "       pixtrel-mkfont --list FONT\n";

constexpr char kHelp[] =
    "Writes a font set of Pixtrel from FONT (BDF, PCF, TTF, OTF or TTC; .gz too):\n"
    "GB2312.bin, whose slot (row - 0xA1) * 94 + (col - 0xA1) holds the glyph of\n"
    "the CP936 code {row, col}, rows 0xA1-0xF7, in a cell of PX x PX; GB2312.tbl;\n"
    "half-width.bin, the printable ASCII characters in cells half as wide, when\n"
    "the font has half-width glyphs; placeholder.bin, the font's U+FFFD or a box;\n"
    "and font-set.txt, which describes the set.\n"
    "\n"
    "  -o, --output DIR      write the files into DIR (default: .)\n"
    "      --face N|NAME     use face N of a collection (default 0), or the face of\n"
    "                        that family name\n"
    "      --size PX         the cell's size in pixels, 8 to 32 (default 16)\n"
    "      --mode MODE       auto (a strike of the size, else outlines), strike\n"
    "                        or outline\n"
    "      --hint HINT       hinting of outlines: native, auto or none\n"
    "      --baseline ROW    the baseline's row (default: the strike's ascent, or\n"
    "                        from the ink of the hanzi)\n"
    "      --strict          exit 3 when anything was reported\n"
    "      --list            list FONT's faces, strikes, GB2312 and ASCII coverage\n"
    "  -h, --help            show this help\n"
    "  -V, --version         show the version\n"
    "\n"
    "Reports on stderr: characters the font lacks (their glyph is blank), blank\n"
    "glyphs, strike glyphs drawn from outlines, glyphs shifted into the cell or\n"
    "clipped. Exit status: 0 written; 2 a failure, a refusal or a wrong command\n"
    "line; 3 (with --strict) written, with reports.\n";

constexpr int kDefaultSize = 16;

enum class Mode { kAuto, kStrike, kOutline };

struct Options {
  std::string font;
  std::string output = ".";
  std::string face = "0";  ///< --face N|NAME.
  int size = kDefaultSize;
  Mode mode = Mode::kAuto;
  Hinting hinting = Hinting::kNative;
  std::optional<int> baseline;
  bool strict = false;
  bool list = false;
};

int Fail(const std::string& message) {
  WriteText(stderr, "pixtrel-mkfont: " + message + "\n");
  return 2;
}

/// Chooses how the face is drawn; a refusal message when it cannot be.
std::optional<std::string> ChoosePixels(FontFace& face, const Options& options) {
  const bool has_strike = face.HasStrike(options.size);
  if (options.mode == Mode::kStrike || (options.mode == Mode::kAuto && has_strike)) {
    if (!has_strike) return "No strike of " + std::to_string(options.size) + " pixels";
    face.UseStrike(options.size);
    return std::nullopt;
  }
  if (!face.HasOutlines())
    return options.mode == Mode::kOutline ? std::string("No outlines to draw")
                                          : "No strike of " + std::to_string(options.size) + " pixels, and no outlines";
  face.UseOutlines(options.size, options.hinting);
  return std::nullopt;
}

int List(const Options& options) {
  const SharedFontBytes data = FontFace::Read(options.font);  // Read once for every face.
  const int faces = FontFace(options.font, data, 0).FaceCount();
  const std::vector<std::optional<TableCharacter>> characters = TableCharacters();
  for (int index = 0; index < faces; ++index) {
    FontFace face(options.font, data, index);
    std::string strikes;
    for (int size : face.StrikeSizes()) strikes += (strikes.empty() ? "" : ", ") + std::to_string(size) + " px";
    int covered = 0, table = 0, ascii = 0;
    for (const std::optional<TableCharacter>& character : characters) {
      if (!character) continue;
      ++table;
      if (face.Map() != FontFace::CharacterMap::kNone && face.Draw(KeyOf(face, character->code, character->unicode)))
        ++covered;
    }
    for (unsigned c = kFirstHalfWidth; c <= kLastHalfWidth; ++c)
      if (face.Map() == FontFace::CharacterMap::kUnicode && face.Draw(c)) ++ascii;
    WriteText(stdout, "face " + std::to_string(index) + ": " + face.Name() + "; strikes: " +
                          (strikes.empty() ? "none" : strikes) + "; outlines: " + (face.HasOutlines() ? "yes" : "no") +
                          "; GB2312 coverage: " + std::to_string(covered) + " of " + std::to_string(table) +
                          "; ASCII: " + std::to_string(ascii) + " of " +
                          std::to_string(kLastHalfWidth - kFirstHalfWidth + 1) + "\n");
  }
  return 0;
}

/// Why the set may not be written into `dir`, if it may not: one of its
/// files would be `font`, by any path that reaches it.
std::optional<std::string> OwnFontRefusal(const std::string& dir, const std::string& font) {
  for (const std::string& name : DataFileNames())
    if (RealDisk().SameFile(JoinPath(dir, name), font))
      return JoinPath(dir, name) + ": The font set would overwrite its own font";
  return std::nullopt;
}

int Make(const Options& options) {
  if (std::optional<std::string> refusal = OwnFontRefusal(options.output, options.font)) return Fail(*refusal);
  const SharedFontBytes data = FontFace::Read(options.font);
  FontFace face(options.font, data, FontFace::FaceIndex(options.font, data, options.face));
  if (face.Map() == FontFace::CharacterMap::kNone) return Fail(options.font + ": No character map to find GB2312 by");
  if (std::optional<std::string> refusal = ChoosePixels(face, options)) return Fail(options.font + ": " + *refusal);
  if (options.baseline >= options.size)
    return Fail("--baseline is past the cell of " + std::to_string(options.size) + " rows");
  const std::string name = face.Name() + " (" + options.font.substr(NameStart(options.font)) + ")";
  RealDisk().MakeDirectories(options.output);
  const MadeSet made = MakeSet(face, options.size, options.baseline, name);
  WriteSet(made, options.output);
  return options.strict && made.reports > 0 ? 3 : 0;
}

std::optional<int> Number(const char* text) {
  char* end;
  const long value = std::strtol(text, &end, 10);
  if (*text == '\0' || *end != '\0' || value < 0 || value > 1000) return std::nullopt;
  return static_cast<int>(value);
}

std::optional<Options> Parse(std::vector<std::string> arguments) {
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
    if (!what.empty()) Fail(what);
    std::fputs(kUsage, stderr);
    return std::nullopt;
  };
  // getopt_long names the program as argv[0] does in what it says is wrong: so it says what our messages say.
  arguments.at(0) = "pixtrel-mkfont";
  std::vector<char*> words = ArgumentWords(arguments);
  const int argc = static_cast<int>(arguments.size());
  char** argv = words.data();
  for (int c; (c = getopt_long(argc, argv, "o:hV", long_options, nullptr)) != -1;) {
    const std::string argument = optarg ? optarg : "";
    std::optional<int> number = optarg ? Number(optarg) : std::nullopt;
    switch (c) {
      case 'o':
        if (argument.empty()) return wrong("-o needs a directory");
        options.output = argument;
        break;
      case kFace:
        options.face = optarg;
        break;
      case kSize:
        if (!number || *number < kSmallestSet || *number > kLargestSet) return wrong("--size takes 8 to 32");
        options.size = *number;
        break;
      case kBaseline:
        if (!number || *number >= kLargestSet) return wrong("--baseline takes 0 to 31");
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
  std::optional<Options> options = Parse(StartCommand(argc, argv));
  if (!options) return 2;
  try {
    return options->list ? List(*options) : Make(*options);
  } catch (const Failure& failure) {
    return Fail(failure.what());
  }
}
