#include "cli/extract_command.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/command_line_window.h"
#include "cli/depfile.h"
#include "cli/line_width_check.h"
#include "cli/missing_report.h"
#include "extract/extractor.h"
#include "fontfile/font_file_glyphs.h"
#include "fontfile/installed_fonts.h"
#include "formats/c_format.h"
#include "formats/glyph_format.h"
#include "formats/glyph_log.h"
#include "formats/png_picture.h"
#include "formats/target_file.h"
#include "formats/terminal_preview.h"
#include "glyphdata/font_set.h"
#include "glyphdata/output_path.h"
#include "glyphdata/utf8.h"
#include "platform/failure.h"
#include "shipped_sets.h"

namespace pixtrel {

namespace {

/// Says `message` on stderr: a warning, which -q does not silence.
void Warn(const std::string& message) { WriteText(stderr, "pixtrel-extract: " + message + "\n"); }

/// The name standard input goes by in messages, as a SOURCE of "-".
constexpr char kStandardInput[] = "-";

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

/// Loads the data files of `set`, in `dir`, as `options` ask; a font file that falls
/// short is a warning, or a failure with --strict. A font for a display
/// library takes ASCII from the set's half-width glyphs, and lacks it when
/// the set has none.
std::optional<int> LoadData(Extractor& extractor, const FontSet& set, const std::string& dir, const Options& options) {
  extractor.LoadGlyphData();
  extractor.MarkBlankGlyphs(set);
  if (options.half_width && set.half_width == 0) return Fail(dir + ": the font set has no half-width glyphs");
  if (options.placeholder && !set.placeholder) return Fail(dir + ": the font set has no placeholder");
  const bool half_width = options.half_width || options.format->font;
  if (half_width || options.placeholder) extractor.LoadSetGlyphs(set);
  extractor.WriteExtraRecords({half_width, options.placeholder});
  if (options.record_format.layout != GlyphLayout::kRowMsb || options.record_format.invert)
    extractor.Relayout(options.record_format);
  const std::optional<std::string> shortage = FontShortage(extractor);
  if (!shortage) return std::nullopt;
  if (options.strict) return Fail(extractor.FontPath() + ": " + *shortage);
  Warn(extractor.FontPath() + ": warning: " + *shortage);
  return std::nullopt;
}

SourceText OpenSource(const SourceFile& source, Disk& disk) {
  if (source.path == kStandardInput) return OpenSourceStream(disk.StandardInput(), kStandardInput, source.encoding);
  return OpenSourceFile(disk, source.path, source.encoding);
}

/// Everyone who hears of the run.
class Reports : public CharacterReport {
 public:
  void Add(CharacterReport* report) {
    if (report != nullptr) reports_.push_back(report);
  }

  bool HearsGlyphs() const override {
    return std::any_of(reports_.begin(), reports_.end(), [](CharacterReport* report) { return report->HearsGlyphs(); });
  }

  void GlyphWritten(const WrittenGlyph& glyph, int64_t line_number) override {
    for (CharacterReport* report : reports_) report->GlyphWritten(glyph, line_number);
  }
  void MissingCharacter(SourceCharacter character, int64_t line_number, MissingCause cause) override {
    for (CharacterReport* report : reports_) report->MissingCharacter(character, line_number, cause);
  }
  void SourceEnded(int64_t line_count) override {
    for (CharacterReport* report : reports_) report->SourceEnded(line_count);
  }

 private:
  std::vector<CharacterReport*> reports_;
};

/// A refusal of the run, naming the file it is about, and of the window's
/// refusal of a data file, what the file is.
std::string NamedRefusal(const std::string& refusal, const std::string& path) {
  return refusal == kBackupMessage ? path + ": " + refusal + " (a data file of a font set)" : refusal;
}

/// The header of the C source `output` (a file, not standard output), or none.
std::optional<std::string> HeaderOf(const Options& options, const std::string& output) {
  if (options.format != FindFormat("c") || output.empty()) return std::nullopt;
  return CommandOutputPathFor(output, "h");
}

/// Why the header of a C source may not be written at `header`: a file is
/// there that no run wrote, the user's own.
std::optional<std::string> HeaderRefusal(const std::optional<std::string>& header, Disk& disk) {
  if (!header) return std::nullopt;
  std::unique_ptr<ByteSource> file = disk.OpenIfExists(disk.FollowLinks(*header));
  if (!file) return std::nullopt;
  std::string start(std::string_view(kCHeaderStart).size(), '\0');
  start.resize(file->ReadFull(start.data(), start.size()));
  if (start == kCHeaderStart) return std::nullopt;
  return *header + ": the header of -o would replace it, and pixtrel-extract did not write it";
}

/// Why the runs may not read their sources or write the files they would
/// besides their output `output`, if they may not.
std::optional<std::string> Refusal(const Extractor& extractor, const Options& options, const std::string& output) {
  std::vector<std::string> read;
  for (const SourceFile& source : options.sources) read.push_back(source.path);
  if (options.font) read.push_back(*options.font);
  for (const std::string& source : read) {
    if (source == kStandardInput) continue;
    if (std::optional<std::string> refusal = extractor.DataFileRefusal(source)) return NamedRefusal(*refusal, source);
    for (const std::optional<std::string>& path :
         {options.index, options.depfile, options.png, HeaderOf(options, output), std::optional(output)}) {
      if (!path) continue;
      if (std::optional<std::string> refusal = extractor.OutputRefusal(source, *path))
        return NamedRefusal(*refusal, *path);
    }
  }
  return std::nullopt;
}

/// Why the run may not write two of its files, if two of them are one file
/// (in any spelling): the glyph file `output` ("" for standard output), the
/// index, the depfile and the picture.
std::optional<std::string> SharedTargetRefusal(const Options& options, const std::string& output, Disk& disk) {
  const std::pair<const char*, std::optional<std::string>> targets[] = {
      {"-o", output.empty() ? std::nullopt : std::optional(output)},
      {"the header of -o", HeaderOf(options, output)},
      {"--index", options.index},
      {"--depfile", options.depfile},
      {"--png", options.png}};
  for (auto later = std::begin(targets); later != std::end(targets); ++later)
    for (auto earlier = std::begin(targets); earlier != later; ++earlier)
      if (earlier->second && later->second && disk.SameFile(*earlier->second, *later->second))
        return *later->second + ": " + later->first + " names the file of " + earlier->first;
  return std::nullopt;
}

/// The sources' names, for comments.
std::string SourceNames(const std::vector<SourceFile>& sources) {
  std::string names;
  for (size_t i = 0; i < sources.size(); ++i)
    names += (i == 0 ? "" : i + 1 == sources.size() ? " and " : ", ") + sources[i].path;
  return names;
}

/// Where progress goes: to a terminal, or with --progress anywhere; never
/// with -q.
std::FILE* ProgressStream(const Options& options) {
  if (options.quiet || !(options.progress || IsTerminal(stderr))) return nullptr;
  return stderr;
}

/// The request a format is made from.
FormatRequest RequestFor(const Options& options, const Extractor& extractor, const GlyphSource& glyphs, Disk& disk) {
  FormatRequest request;
  request.disk = &disk;
  request.glyphs = &glyphs;
  request.output = extractor.OutputPath;
  request.index = options.index;
  request.header = HeaderOf(options, extractor.OutputPath);
  request.source = SourceNames(options.sources);
  request.name =
      options.name ? *options.name : IdentifierFor(extractor.OutputPath.empty() ? options.file : extractor.OutputPath);
  request.fallback = options.fallback;
  request.record_format = options.record_format;
  request.unique = options.unique;
  request.half_width = options.half_width;
  request.compress = options.compress;
  request.kerning = options.kerning;
  return request;
}

/// True when the file name of `path` is ASCII: C names made of it read as it does.
bool IsAsciiName(const std::string& path) {
  const std::string_view name = std::string_view(path).substr(NameStart(path));
  return std::all_of(name.begin(), name.end(), [](char c) { return (c & 0x80) == 0; });
}

/// The depfile's rule: the files written, made from the source and the
/// font file or the data files of `set` read.
std::string DepfileFor(const Options& options, const Extractor& extractor, const std::optional<FontSet>& set,
                       std::vector<std::string> targets) {
  std::vector<std::string> sources, read;
  for (const SourceFile& source : options.sources)
    if (source.path != kStandardInput) sources.push_back(source.path);
  if (!set) return DepfileRule(targets, sources, {*options.font});
  read.push_back(extractor.FontPath());
  read.push_back(extractor.TablePath());
  const std::string dir = extractor.FontPath().substr(0, NameStart(extractor.FontPath()) - 1);
  if (set->described) read.push_back(JoinPath(dir, kDescriptionFileName));
  if (extractor.HasHalfWidth()) read.push_back(JoinPath(dir, kHalfWidthFileName));
  if (extractor.HasPlaceholder()) read.push_back(JoinPath(dir, kPlaceholderFileName));
  return DepfileRule(targets, sources, read);
}

/// Draws the records the run appended, as `log` has them, on stdout.
void Preview(const GlyphLog& log, const GlyphSource& store, RecordFormat format) {
  TerminalPreview preview(TerminalColumns(stdout).value_or(80), format,
                          [](const std::string& band) { WriteText(stdout, band); });
  log.Walk(
      [&](const WrittenGlyph& glyph, int64_t) {
        preview.Add(store.RecordOf(glyph), {store.ShapeOf(glyph).width, store.Metrics().cell.height});
      },
      [](int64_t) {});
  preview.Finish();
}

/// The glyphs of the font file --font names, as `options` ask.
std::unique_ptr<GlyphSource> FontFileGlyphsFor(const Options& options) {
  FontFileRequest request;
  request.path = *options.font;
  request.face = options.face.value_or("0");
  request.size = options.size;
  request.hinting = options.hinting;
  request.record_format = options.record_format;
  request.cells = !options.format->font || options.png;
  return MakeFontFileGlyphs(request);
}

/// Gives the font of `format` the characters of --charset and --range that
/// `glyphs` has; warns of those it lacks, or with --missing lists them. True
/// when it has some.
bool AddCharacterSets(const Options& options, GlyphSource& glyphs, GlyphFormat& format) {
  std::vector<uint32_t> asked;
  for (const auto& [first, last] : options.ranges)
    for (uint32_t code_point = first; code_point <= last; ++code_point) asked.push_back(code_point);
  std::sort(asked.begin(), asked.end());
  asked.erase(std::unique(asked.begin(), asked.end()), asked.end());
  std::vector<uint32_t> lacking;
  for (uint32_t code_point : asked) {
    const GlyphFind found = glyphs.Find({kNoCp936Code, code_point});
    if (found.missing)
      lacking.push_back(code_point);
    else
      format.Report()->GlyphWritten(found.glyph, 0);
  }
  const std::string& font = *options.font;
  if (options.missing) {
    for (uint32_t code_point : lacking)
      WriteText(stderr,
                font + ": missing " + CodePointName(code_point) + " " + ShownIn(LocaleCharset(), code_point) + "\n");
  } else if (!lacking.empty()) {
    Warn(font + ": warning: " + std::to_string(lacking.size()) + " of the " + std::to_string(asked.size()) +
         " characters of --charset and --range are not in the font (--missing lists them)");
  }
  return lacking.size() < asked.size();
}

/// The directory of the font set the run reads, when it reads one: a directory there must be.
std::optional<int> CheckDataDir(const std::string& data_dir, Disk& disk) {
  if (disk.KindOf(disk.FollowLinks(data_dir)) == FileKind::kDirectory) return std::nullopt;
  if (disk.KindOf(data_dir) != FileKind::kNone) return Fail(NotADirectoryFailure(data_dir).what());
  std::string sets;
  for (const char* name : kShippedSetNames) sets += (sets.empty() ? "" : ", ") + std::string(name);
  return Fail(std::string(NoSuchFileFailure(data_dir).what()) +
              (NameStart(data_dir) == 0 ? "; the sets Pixtrel ships are " + sets : ""));
}

/// `options` with --font, when it names no file but an installed font
/// (a name without a directory), naming that font's file and face.
Options WithInstalledFont(Options options, Disk& disk) {
  if (!options.font || disk.KindOf(*options.font) != FileKind::kNone || NameStart(*options.font) != 0) return options;
  const std::optional<CatalogFace> found = FindInstalledFace(*options.font);
  if (!found)
    throw FileFailure(*options.font, "No such file, nor an installed font of that name (--list-fonts lists them)");
  options.font = found->path;
  if (!options.face) options.face = std::to_string(found->index);
  return options;
}

}  // namespace

std::string DataDirectory(const Options& options, const std::string& program_dir, Disk& disk) {
  if (!options.data_dir) return program_dir;
  if (disk.KindOf(*options.data_dir) != FileKind::kNone) return *options.data_dir;
  return ShippedSetDirectory(disk, program_dir, *options.data_dir).value_or(*options.data_dir);
}

int Fail(const std::string& message) {
  WriteText(stderr, "pixtrel-extract: " + message + "\n");
  return kExitFailed;
}

int ExtractCommand(const Options& given, Disk& disk) {
  const Options options = WithInstalledFont(given, disk);
  const std::string program_dir = ProgramDirectory();
  const std::string data_dir = DataDirectory(options, program_dir, disk);
  std::optional<FontSet> set;
  std::unique_ptr<GlyphSource> glyphs;
  if (!options.font) {
    if (std::optional<int> failed = CheckDataDir(data_dir, disk)) return *failed;
    set = FontSet::Read(disk, data_dir);
    set->CheckFileSizes(disk, data_dir);
  }
  Extractor extractor(data_dir, disk, set ? set->FullShape() : RecordShape{});
  extractor.GuardShippedSets(program_dir);
  if (set) {
    if (std::optional<int> failed = LoadData(extractor, *set, data_dir, options)) return *failed;
    glyphs = std::make_unique<SetGlyphs>(extractor, *set);
  } else {
    glyphs = FontFileGlyphsFor(options);
    extractor.WriteExtraRecords({options.half_width || options.format->font, options.placeholder});
  }
  extractor.OutputPath = CommandOutputPathFor(options.file, options.format->extension);
  if (options.output) extractor.OutputPath = options.ToStandardOutput() ? "" : *options.output;
  if (std::optional<std::string> refusal = Refusal(extractor, options, extractor.OutputPath)) return Fail(*refusal);
  if (std::optional<std::string> refusal = SharedTargetRefusal(options, extractor.OutputPath, disk))
    return Fail(*refusal);
  if (std::optional<std::string> refusal = HeaderRefusal(HeaderOf(options, extractor.OutputPath), disk))
    return Fail(*refusal);

  const FormatRequest request = RequestFor(options, extractor, *glyphs, disk);
  if (request.fallback == request.name) return Fail("--fallback " + request.name + " is the font itself");
  if (options.format->c_names && !options.name && !options.quiet && !IsAsciiName(request.output))
    WriteText(stderr, "pixtrel-extract: " + request.output + ": C names from the file name, " + request.name +
                          "…; --name gives them another\n");
  // The format, fed the run's stream, and beside it the picture.
  std::vector<std::unique_ptr<GlyphFormat>> outputs;
  outputs.push_back(options.format->make(request));
  if (options.png)
    outputs.push_back(std::make_unique<PngPicture>(request, *options.png, options.png_scale, options.max_width));
  GlyphFormat& format = *outputs.front();
  std::optional<GlyphLog> preview;
  if (options.preview) preview.emplace(disk);
  std::vector<MissingReport> missing(options.sources.size());
  std::vector<std::optional<LineWidthCheck>> widths(options.sources.size());
  CommandLineWindow window(ProgressStream(options));
  bool written = false;
  for (size_t i = 0; i < options.sources.size(); ++i) {
    if (options.max_width) widths[i].emplace(*glyphs, *options.max_width);
    Reports reports;
    reports.Add(&missing[i]);
    for (const std::unique_ptr<GlyphFormat>& output : outputs) reports.Add(output->Report());
    reports.Add(widths[i] ? &*widths[i] : nullptr);
    reports.Add(preview ? &*preview : nullptr);
    SourceText source = OpenSource(options.sources[i], disk);
    missing[i].NameByCodePoint(source.utf8 != nullptr);
    extractor.SourcePath = options.sources[i].path;
    RunOutcome outcome;
    try {
      outcome = extractor.Run(window, &reports, std::move(source), &format.Stream(), glyphs.get());
    } catch (const Failure&) {
      window.EndProgressLine();
      throw;
    }
    if (outcome == RunOutcome::kRefused) return Fail(NamedRefusal(window.message(), extractor.OutputPath));
    written = written || outcome == RunOutcome::kWritten;
  }
  if (!options.ranges.empty()) written = AddCharacterSets(options, *glyphs, format) || written;

  std::FILE* messages = options.ToStandardOutput() ? stderr : stdout;
  const bool some_missing =
      std::any_of(missing.begin(), missing.end(), [](const MissingReport& m) { return m.occurrences() > 0; });
  const bool too_wide = std::any_of(widths.begin(), widths.end(), [](const auto& w) { return w && w->Any(); });
  const bool incomplete = options.strict && (some_missing || too_wide);
  const std::string& message = written ? kOverMessage : kEmptyMessage;
  if (!incomplete && written) {
    std::vector<std::string> targets;
    for (const std::unique_ptr<GlyphFormat>& output : outputs) {
      output->Finish();
      const std::vector<std::string> written_files = output->Targets();
      targets.insert(targets.end(), written_files.begin(), written_files.end());
    }
    std::optional<TargetFile> depfile;
    if (options.depfile)
      depfile.emplace(disk, *options.depfile).WriteWhole(DepfileFor(options, extractor, set, targets));
    for (const std::unique_ptr<GlyphFormat>& output : outputs) output->Install();
    if (depfile) depfile->Install();
    if (!options.quiet) WriteText(messages, message + "\n");
  }
  if (!incomplete && !written) {
    for (const std::unique_ptr<GlyphFormat>& output : outputs) output->RemoveOld();
    if (options.depfile) TargetFile(disk, *options.depfile).RemoveOld();
    WriteText(options.quiet ? stderr : messages, message + "\n");
  }
  for (size_t i = 0; i < options.sources.size(); ++i) {
    const std::string& name = options.sources[i].path;
    if (missing[i].occurrences() > 0 && options.missing) missing[i].Print(stderr, name, LocaleCharset());
    if (missing[i].occurrences() > 0 && !options.missing)
      Warn(name + ": warning: " + std::to_string(missing[i].characters()) +
           (missing[i].characters() == 1 ? " character" : " characters") + " got no glyph (--missing lists them)");
    if (widths[i] && widths[i]->Any()) widths[i]->Print(stderr, name);
  }
  if (incomplete) {
    const char* why = some_missing && too_wide ? "some characters got no glyph and some lines are too wide"
                      : some_missing           ? "some characters got no glyph"
                                               : "some lines are too wide";
    Fail(options.ToStandardOutput() ? std::string("-: ") + why + " (--strict)"
                                    : extractor.OutputPath + ": not written, since " + why + " (--strict)");
    return kExitMissing;
  }
  if (!written) return kExitNothing;
  if (std::optional<std::string> summary = format.Summary(); summary && !options.quiet)
    WriteText(stderr, "pixtrel-extract: " + *summary + "\n");
  if (preview) Preview(*preview, *glyphs, options.record_format);
  return kExitWritten;
}

}  // namespace pixtrel
