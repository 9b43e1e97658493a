#pragma once

#include <array>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "extract/character_report.h"
#include "extract/glyph_output.h"
#include "extract/glyph_source.h"
#include "formats/line_layout.h"
#include "formats/target_file.h"
#include "glyphdata/font_set.h"
#include "glyphdata/glyph_layout.h"
#include "glyphdata/glyph_store.h"
#include "platform/platform.h"

namespace pixtrel {

/// What a format is asked to write.
struct FormatRequest {
  Disk* disk = nullptr;
  const GlyphSource* glyphs = nullptr;  ///< Where the records come from, already in `record_format`.
  std::string output;                   ///< The file to write; empty for standard output.
  std::optional<std::string> index;     ///< --index FILE, where the format takes one.
  std::optional<std::string> header;    ///< The header that declares what a C source defines, when it has one.
  std::string source;                   ///< The source's name, or the sources' names, for comments.
  std::string name;                     ///< IDENT, the prefix of the C arrays.
  std::optional<std::string> fallback;  ///< The font behind a font for LVGL, for the characters it lacks.
  std::optional<std::string> include;   ///< The header the C includes, in place of its library's own.
  RecordFormat record_format;
  bool unique = false;      ///< Each distinct record once, and the text as indices into them.
  bool half_width = false;  ///< The run appends half-width records too.
  bool compress = false;    ///< A font for LVGL in its compressed bitmaps.
  bool kerning = true;      ///< A font for LVGL holds the source's kerning pairs.
};

/// One output of a run: the files written from the run's records. A
/// format's files stay under temporary names until Install, so that a run
/// that fails, or is not to be installed, leaves the old ones as they were.
class GlyphFormat {
 public:
  virtual ~GlyphFormat() = default;

  /// Where the run writes its records as it goes, in text order.
  virtual GlyphOutput& Stream() = 0;

  /// What the format hears of the run, or none.
  virtual CharacterReport* Report() { return nullptr; }

  /// After a run that wrote records: writes what the format makes from
  /// what it heard (to standard output at once). Throws Failure naming the file.
  virtual void Finish() {}

  /// Puts the files written in place. Throws Failure naming the file.
  virtual void Install() = 0;

  /// After a run that found nothing: removes the files an earlier run left.
  virtual void RemoveOld() = 0;

  /// The files the format writes, none for standard output.
  virtual std::vector<std::string> Targets() const = 0;

  /// What to tell after a run that succeeded, unless asked to be quiet; or nothing.
  virtual std::optional<std::string> Summary() const { return std::nullopt; }

  /// After the runs: how the format's display library lays out a line of
  /// what it heard of; none for records drawn one beside the other, in
  /// their cells. It lives as long as the format.
  virtual std::unique_ptr<LineLayout> Layout() { return nullptr; }
};

/// A format that writes one file: it installs, removes and names it.
class OneFileFormat : public GlyphFormat {
 public:
  /// A format of the file `path` on `disk` (standard output when empty).
  OneFileFormat(Disk& disk, const std::string& path) : file_(disk, path) {}

  void Install() override { file_.Install(); }
  void RemoveOld() override { file_.RemoveOld(); }
  std::vector<std::string> Targets() const override { return file_.Targets(); }

 protected:
  TargetFile& file() { return file_; }
  const TargetFile& file() const { return file_; }

 private:
  TargetFile file_;
};

/// What a format can do besides writing its file: which options apply to it.
enum FormatAbility : unsigned {
  kTakesLayout = 1 << 0,       ///< --layout and --invert: its records are laid out as the display reads them.
  kRecordsFile = 1 << 1,       ///< Its file is the records themselves: --index and --preview.
  kTakesUnique = 1 << 2,       ///< --unique: each distinct record once, and the text as indices.
  kTakesPlaceholder = 1 << 3,  ///< --placeholder: the records keep step with the text.
  kTakesFallback = 1 << 4,     ///< --fallback: a font behind it, in C, for the characters it lacks.
  kTakesCompress = 1 << 5,     ///< --compress: compressed bitmaps.
  kTakesCharsets = 1 << 6,     ///< --charset and --range: characters besides the texts'.
  kCNames = 1 << 7,            ///< Its file is C that names what it defines after IDENT (--name).
  kTakesInclude = 1 << 8,      ///< --include: the header its C includes is the firmware's to name.
};

/// The last code point of Unicode.
inline constexpr uint32_t kLastCodePoint = 0x10FFFF;

/// What a format's file is.
enum class FormatRole : uint8_t {
  kGlyphStream,  ///< The records of a text in text order, for firmware that draws them one by one.
  kFont,         ///< A font for a display library: the characters of one text or more, each once.
};

/// What a firmware's build does with a format's file.
enum class FormatUse : uint8_t {
  kCompiled,  ///< A C source compiled into it.
  kIncluded,  ///< A C header it includes.
  kData,      ///< Bytes it embeds, or puts in a file system or external flash.
};

/// A format pixtrel-extract writes, as --format names it: a row of the
/// formats' table, which everything that asks what a format is or does reads.
struct FormatKind {
  const char* name = nullptr;
  const char* extension = nullptr;  ///< Of the file written by default.
  const char* help = nullptr;       ///< What it writes, for --help and --list-formats.
  FormatRole role = FormatRole::kGlyphStream;
  FormatUse use = FormatUse::kData;
  unsigned abilities = 0;          ///< FormatAbility bits.
  unsigned depths = 0;             ///< The bits a pixel it takes plain (uncompressed), bit n for n bits.
  unsigned compressed_depths = 0;  ///< Those it takes compressed (--compress), its library drawing them so.
  int default_depth = 1;           ///< The bits a pixel it is drawn at unless --bpp says.
  /// The largest code point its library draws: a character beyond is missing.
  uint32_t last_code_point = kLastCodePoint;
  /// Where a character beyond last_code_point is no missing one but a text
  /// the format cannot take: the formats that draw it ("u8g2 or vlw");
  /// nullptr where it is missing.
  const char* beyond = nullptr;
  /// The extensions of the files it writes beside its own (a C source's
  /// header, which declares what it defines; an LVGL font's bitmaps); nullptr
  /// after the last.
  std::array<const char*, 2> companions = {};
  /// How the first of them starts, by which a later run knows it for its
  /// own; nullptr when any file there may be replaced.
  const char* companion_start = nullptr;
  std::unique_ptr<GlyphFormat> (*make)(const FormatRequest& request) = nullptr;

  /// True when it can do all of `ability`'s bits.
  bool Can(unsigned ability) const { return (abilities & ability) == ability; }
  /// True when it takes glyphs of `bpp` bits a pixel, plain or compressed.
  bool TakesDepth(int bpp) const { return TakesDepth(bpp, false) || TakesDepth(bpp, true); }
  /// True when it takes glyphs of `bpp` bits a pixel, `compressed` or plain.
  bool TakesDepth(int bpp, bool compressed) const {
    return bpp >= 0 && bpp < 32 && ((compressed ? compressed_depths : depths) >> bpp & 1) != 0;
  }
  /// True when it writes a font for a display library.
  bool IsFont() const { return role == FormatRole::kFont; }
};

/// The formats, in the order help lists them; the first is the default.
std::span<const FormatKind> Formats();

/// The format named `name` (in any letter case), or none.
const FormatKind* FindFormat(std::string_view name);

/// The format written unless another is asked for: raw records, "bin".
const FormatKind& DefaultFormat();

/// The names of the formats that can do `ability`, as a message lists
/// them: "lvgl or lvgl-bin".
std::string FormatNamesThatCan(unsigned ability);

/// The files beside `output` that `kind` writes as well (a C source's
/// header), in the order of its companions; none for standard output.
std::vector<std::string> CompanionsOf(const FormatKind& kind, const std::string& output);

}  // namespace pixtrel
