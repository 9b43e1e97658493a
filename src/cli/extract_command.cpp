#include "cli/extract_command.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/command_line_window.h"
#include "cli/depfile.h"
#include "cli/line_width_check.h"
#include "cli/missing_report.h"
#include "extract/extractor.h"
#include "formats/glyph_format.h"
#include "formats/glyph_log.h"
#include "formats/png_picture.h"
#include "formats/target_file.h"
#include "formats/terminal_preview.h"
#include "glyphdata/font_set.h"
#include "glyphdata/output_path.h"
#include "platform/failure.h"

namespace pixtrel {

namespace {

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

/// Loads the data files of `set` as `options` ask; a font file that falls
/// short is a warning, or a failure with --strict.
std::optional<int> LoadData(Extractor& extractor, const FontSet& set, const Options& options) {
  extractor.LoadGlyphData();
  const std::string& dir = options.data_dir ? *options.data_dir : ProgramDirectory();
  if (options.half_width && set.half_width == 0) return Fail(dir + ": the font set has no half-width glyphs");
  if (options.placeholder && !set.placeholder) return Fail(dir + ": the font set has no placeholder");
  if (options.half_width || options.placeholder) extractor.LoadSetGlyphs(set);
  extractor.WriteExtraRecords({options.half_width, options.placeholder});
  if (options.record_format.layout != GlyphLayout::kRowMsb || options.record_format.invert)
    extractor.Relayout(options.record_format);
  const std::optional<std::string> shortage = FontShortage(extractor);
  if (!shortage) return std::nullopt;
  if (options.strict) return Fail(extractor.FontPath() + ": " + *shortage);
  std::fprintf(stderr, "pixtrel-extract: %s: warning: %s\n", extractor.FontPath().c_str(), shortage->c_str());
  return std::nullopt;
}

SourceText OpenSource(const Options& options, Disk& disk) {
  if (options.file == kStandardInput) return OpenSourceStream(disk.StandardInput(), kStandardInput, options.encoding);
  return OpenSourceFile(disk, options.file, options.encoding);
}

/// Everyone who hears of the run.
class Reports : public CharacterReport {
 public:
  void Add(CharacterReport* report) {
    if (report != nullptr) reports_.push_back(report);
  }

  bool Any() const { return !reports_.empty(); }

  void GlyphWritten(const WrittenGlyph& glyph, int64_t line_number) override {
    for (CharacterReport* report : reports_) report->GlyphWritten(glyph, line_number);
  }
  void MissingCharacter(SourceCharacter character, int64_t line_number) override {
    for (CharacterReport* report : reports_) report->MissingCharacter(character, line_number);
  }
  void SourceEnded(int64_t line_count) override {
    for (CharacterReport* report : reports_) report->SourceEnded(line_count);
  }

 private:
  std::vector<CharacterReport*> reports_;
};

/// A refusal of the run, naming the file it is about.
std::string NamedRefusal(const std::string& refusal, const std::string& path) {
  return refusal == kBackupMessage ? path + ": " + refusal : refusal;
}

/// Why the run may not write the files it would besides its output, if it may not.
std::optional<std::string> ExtraOutputRefusal(const Extractor& extractor, const Options& options) {
  for (const std::optional<std::string>& path : {options.index, options.depfile, options.png}) {
    if (!path) continue;
    if (std::optional<std::string> refusal = extractor.OutputRefusal(options.file, *path))
      return NamedRefusal(*refusal, *path);
  }
  return std::nullopt;
}

/// Where progress goes: to a terminal, or with --progress anywhere; never
/// with -q.
std::FILE* ProgressStream(const Options& options) {
  if (options.quiet || !(options.progress || IsTerminal(stderr))) return nullptr;
  return stderr;
}

/// The request a format is made from.
FormatRequest RequestFor(const Options& options, const Extractor& extractor, Disk& disk) {
  FormatRequest request;
  request.disk = &disk;
  request.store = &extractor;
  request.output = extractor.OutputPath;
  request.index = options.index;
  request.source = options.file;
  request.name =
      options.name ? *options.name : IdentifierFor(extractor.OutputPath.empty() ? options.file : extractor.OutputPath);
  request.record_format = options.record_format;
  request.unique = options.unique;
  request.half_width = options.half_width;
  return request;
}

/// The depfile's rule: the files written, made from the source and the data files read.
std::string DepfileFor(const Options& options, const Extractor& extractor, const FontSet& set,
                       std::vector<std::string> targets) {
  std::vector<std::string> read;
  if (options.file != kStandardInput) read.push_back(options.file);
  read.push_back(extractor.FontPath());
  read.push_back(extractor.TablePath());
  const std::string dir = extractor.FontPath().substr(0, extractor.FontPath().rfind('/'));
  if (set.described) read.push_back(dir + "/" + kDescriptionFileName);
  if (extractor.HasHalfWidth()) read.push_back(dir + "/" + kHalfWidthFileName);
  if (extractor.HasPlaceholder()) read.push_back(dir + "/" + kPlaceholderFileName);
  return DepfileRule(targets, read);
}

/// Draws the records the run appended, as `log` has them, on stdout.
void Preview(const GlyphLog& log, const GlyphStore& store, RecordFormat format) {
  std::fflush(stdout);
  TerminalPreview preview(TerminalColumns(stdout).value_or(80), format,
                          [](const std::string& band) { std::fputs(band.c_str(), stdout); });
  log.Walk(
      [&](const WrittenGlyph& glyph, int64_t) {
        preview.Add(RecordOf(glyph, store), {WidthOf(glyph, store), store.Shape().height});
      },
      [](int64_t) {});
  preview.Finish();
}

}  // namespace

int Fail(const std::string& message) {
  std::fprintf(stderr, "pixtrel-extract: %s\n", message.c_str());
  return kExitFailed;
}

int ExtractCommand(const Options& options, Disk& disk) {
  const std::string data_dir = options.data_dir ? *options.data_dir : ProgramDirectory();
  const FontSet set = FontSet::Read(disk, data_dir);
  Extractor extractor(data_dir, disk, set.FullShape());
  extractor.GuardShippedSets(ProgramDirectory());
  if (std::optional<int> failed = LoadData(extractor, set, options)) return *failed;
  if (options.file != kStandardInput) {
    if (std::optional<std::string> refusal = extractor.DataFileRefusal(options.file))
      return Fail(NamedRefusal(*refusal, options.file));
  }
  extractor.SourcePath = options.file;
  extractor.OutputPath = CommandOutputPathFor(options.file, options.format->extension);
  if (options.output) extractor.OutputPath = options.ToStandardOutput() ? "" : *options.output;
  if (std::optional<std::string> refusal = ExtraOutputRefusal(extractor, options)) return Fail(*refusal);

  SourceText source = OpenSource(options, disk);
  const FormatRequest request = RequestFor(options, extractor, disk);
  std::unique_ptr<GlyphFormat> format = options.format->make(request);
  MissingReport missing;
  std::optional<LineWidthCheck> widths;
  if (options.max_width) widths.emplace(extractor, *options.max_width);
  std::optional<PngPicture> picture;
  if (options.png) picture.emplace(request, *options.png, options.png_scale, options.max_width);
  std::optional<GlyphLog> preview;
  if (options.preview) preview.emplace(disk);
  Reports reports;
  reports.Add(options.missing ? &missing : nullptr);
  reports.Add(format->Report());
  reports.Add(widths ? &*widths : nullptr);
  reports.Add(picture ? picture->Report() : nullptr);
  reports.Add(preview ? &*preview : nullptr);
  CommandLineWindow window(ProgressStream(options));
  RunOutcome outcome;
  try {
    outcome = extractor.Run(window, reports.Any() ? &reports : nullptr, std::move(source), &format->Stream());
  } catch (const Failure&) {
    window.EndProgressLine();
    throw;
  }
  if (outcome == RunOutcome::kRefused) return Fail(NamedRefusal(window.message(), extractor.OutputPath));

  std::FILE* messages = options.ToStandardOutput() ? stderr : stdout;
  const bool too_wide = widths && widths->Any();
  const bool incomplete = options.strict && (missing.occurrences() > 0 || too_wide);
  if (!incomplete && outcome == RunOutcome::kWritten) {
    format->Finish();
    if (picture) picture->Finish();
    std::vector<std::string> targets = format->Targets();
    if (picture) targets.push_back(picture->path());
    std::optional<TargetFile> depfile;
    if (options.depfile)
      depfile.emplace(disk, *options.depfile).WriteWhole(DepfileFor(options, extractor, set, targets));
    format->Install();
    if (picture) picture->Install();
    if (depfile) depfile->Install();
    if (!options.quiet) std::fprintf(messages, "%s\n", window.message().c_str());
  }
  if (!incomplete && outcome == RunOutcome::kEmpty) {
    format->RemoveOld();
    if (picture) picture->RemoveOld();
    if (options.depfile) TargetFile(disk, *options.depfile).RemoveOld();
    std::fprintf(options.quiet ? stderr : messages, "%s\n", window.message().c_str());
  }
  if (options.missing && missing.occurrences() > 0) missing.Print(stderr, options.file, LocaleCharset());
  if (too_wide) widths->Print(stderr, options.file);
  if (incomplete) {
    const char* why = missing.occurrences() > 0 ? "some characters got no glyph" : "some lines are too wide";
    Fail(options.ToStandardOutput() ? std::string("-: ") + why + " (--strict)"
                                    : extractor.OutputPath + ": not written, since " + why + " (--strict)");
    return kExitMissing;
  }
  if (outcome == RunOutcome::kEmpty) return kExitNothing;
  if (std::optional<std::string> summary = format->Summary(); summary && !options.quiet)
    std::fprintf(stderr, "pixtrel-extract: %s\n", summary->c_str());
  if (preview) Preview(*preview, extractor, options.record_format);
  return kExitWritten;
}

}  // namespace pixtrel
