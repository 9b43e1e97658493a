#include "cli/glyph_choice.h"

#include <cstdio>

#include "fontfile/font_chain.h"
#include "fontfile/font_file_glyphs.h"
#include "fontfile/installed_fonts.h"
#include "glyphdata/output_path.h"
#include "platform/failure.h"
#include "platform/word_list.h"
#include "shipped_sets.h"

namespace pixtrel {

namespace {

/// What is wrong with the font file, when it supplies less than the whole font.
std::optional<std::string> FontShortage(const GlyphStore& store) {
  const std::optional<size_t> bytes = store.FontFileBytes();
  const size_t whole = store.FontFileSize(), record = whole / GlyphCount;
  if (!bytes) return "no font file: all " + std::to_string(GlyphCount) + " glyphs are blank";
  if (*bytes == whole) return std::nullopt;
  const size_t blank = (whole - *bytes + record - 1) / record;
  return "font file is " + std::to_string(whole - *bytes) + " bytes short: " + std::to_string(blank) + " of " +
         std::to_string(GlyphCount) + " glyphs are blank";
}

/// The directory of the font set the run reads: a directory there must be.
void CheckDataDir(const std::string& data_dir, Disk& disk) {
  if (disk.KindOf(disk.FollowLinks(data_dir)) == FileKind::kDirectory) return;
  if (disk.KindOf(data_dir) != FileKind::kNone) throw NotADirectoryFailure(data_dir);
  std::string sets;
  for (const char* name : kShippedSetNames) sets += (sets.empty() ? "" : ", ") + std::string(name);
  throw Failure(std::string(NoSuchFileFailure(data_dir).what()) +
                (NameStart(data_dir) == 0 ? "; the sets Pixtrel ships are " + sets : ""));
}

/// Loads the data files of `set`, in `dir`, into `extractor` as `options`
/// ask. A font for a display library takes ASCII from the set's half-width
/// glyphs, and lacks it when the set has none.
void LoadSet(Extractor& extractor, const FontSet& set, const std::string& dir, const Options& options) {
  extractor.LoadGlyphData();
  extractor.MarkBlankGlyphs(set);
  if (options.half_width && set.half_width == 0) throw FileFailure(dir, "the font set has no half-width glyphs");
  if (options.placeholder && !set.placeholder) throw FileFailure(dir, "the font set has no placeholder");
  const bool half_width = options.half_width || options.format->IsFont();
  if (half_width || options.placeholder) extractor.LoadSetGlyphs(set);
  extractor.WriteExtraRecords({half_width, options.placeholder});
  if (options.record_format.layout != GlyphLayout::kRowMsb || options.record_format.invert)
    extractor.Relayout(options.record_format);
  const std::optional<std::string> shortage = FontShortage(extractor);
  if (!shortage) return;
  if (options.strict) throw FileFailure(extractor.FontPath(), *shortage);
  Warn(extractor.FontPath() + ": warning: " + *shortage);
}

/// The glyphs of the font files --font names, as `options` ask: of one, or
/// of several chained.
std::unique_ptr<GlyphSource> FontFileGlyphsFor(const Options& options) {
  std::vector<std::unique_ptr<GlyphSource>> fonts;
  for (const FontChoice& font : options.fonts) {
    if (!font.face)
      if (std::optional<std::string> advice = RegionalFaceAdvice(font.path)) Warn(font.path + ": " + *advice);
    FontFileRequest request;
    request.path = font.path;
    request.face = font.face.value_or("0");
    request.size = options.size;
    request.hinting = options.hinting;
    request.record_format = options.record_format;
    request.cells = !options.format->IsFont();
    fonts.push_back(MakeFontFileGlyphs(request));
  }
  if (fonts.size() == 1) return std::move(fonts.front());
  return std::make_unique<FontChain>(std::move(fonts));
}

}  // namespace

std::string ChosenGlyphs::FontNames() const { return WordList(fonts, "and"); }

std::vector<std::string> ChosenGlyphs::FilesRead() const {
  if (!set) return fonts;
  std::vector<std::string> read = {extractor->FontPath(), extractor->TablePath()};
  const std::string dir = extractor->FontPath().substr(0, NameStart(extractor->FontPath()) - 1);
  if (set->described) read.push_back(JoinPath(dir, kDescriptionFileName));
  // Those of the set's files the runs took records from, and no other.
  if (extractor->Extras().half_width && extractor->HasHalfWidth()) read.push_back(JoinPath(dir, kHalfWidthFileName));
  if (extractor->Extras().placeholder && extractor->HasPlaceholder())
    read.push_back(JoinPath(dir, kPlaceholderFileName));
  return read;
}

Options WithInstalledFont(Options options, Disk& disk) {
  for (FontChoice& font : options.fonts) {
    if (disk.KindOf(font.path) != FileKind::kNone || NameStart(font.path) != 0) continue;
    const std::optional<CatalogFace> found = FindInstalledFace(font.path);
    if (!found)
      throw FileFailure(font.path, "No such file, nor an installed font of that name (--list-fonts lists them)");
    // A family's name chooses its face; a file's name, like a path, the face --face says.
    const bool by_file_name = found->path.substr(NameStart(found->path)) == font.path;
    font.path = found->path;
    if (!font.face && !by_file_name) font.face = std::to_string(found->index);
  }
  return options;
}

std::string DataDirectory(const Options& options, const std::string& program_dir, Disk& disk) {
  if (!options.data_dir) return program_dir;
  if (disk.KindOf(*options.data_dir) != FileKind::kNone) return *options.data_dir;
  return ShippedSetDirectory(disk, program_dir, *options.data_dir).value_or(*options.data_dir);
}

ChosenGlyphs ChooseGlyphs(const Options& options, Disk& disk) {
  const std::string program_dir = ProgramDirectory();
  const std::string data_dir = DataDirectory(options, program_dir, disk);
  ChosenGlyphs chosen;
  if (options.fonts.empty()) {
    CheckDataDir(data_dir, disk);
    chosen.set = FontSet::Read(disk, data_dir);
    chosen.set->CheckFileSizes(disk, data_dir);
  }
  chosen.extractor = std::make_unique<Extractor>(data_dir, disk, chosen.set ? chosen.set->FullShape() : RecordShape{});
  Extractor& extractor = *chosen.extractor;
  extractor.GuardShippedSets(program_dir);
  if (chosen.set) {
    LoadSet(extractor, *chosen.set, data_dir, options);
    chosen.glyphs = std::make_unique<SetGlyphs>(extractor, *chosen.set);
    chosen.fonts = {extractor.FontPath()};
  } else {
    chosen.glyphs = FontFileGlyphsFor(options);
    extractor.WriteExtraRecords({options.half_width || options.format->IsFont(), options.placeholder});
    for (const FontChoice& font : options.fonts) chosen.fonts.push_back(font.path);
  }
  if (options.format->last_code_point < kLastCodePoint)
    chosen.glyphs = std::make_unique<LimitedGlyphs>(std::move(chosen.glyphs), options.format->last_code_point);
  return chosen;
}

void Warn(const std::string& message) { WriteText(stderr, "pixtrel-extract: " + message + "\n"); }

}  // namespace pixtrel
