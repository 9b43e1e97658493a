#include "cli/extract_command.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/command_line_window.h"
#include "cli/cut_glyph_report.h"
#include "cli/depfile.h"
#include "cli/glyph_choice.h"
#include "cli/line_width_check.h"
#include "cli/missing_report.h"
#include "cli/run_targets.h"
#include "formats/glyph_format.h"
#include "formats/glyph_log.h"
#include "formats/png_picture.h"
#include "formats/target_file.h"
#include "formats/terminal_preview.h"
#include "glyphdata/output_path.h"
#include "glyphdata/utf8.h"
#include "platform/failure.h"
#include "platform/word_list.h"

namespace pixtrel {

namespace {

/// The name standard input goes by in messages, as a SOURCE of "-".
constexpr char kStandardInput[] = "-";

SourceText OpenSource(const SourceFile& source, Disk& disk) {
  if (source.path == kStandardInput) return OpenSourceStream(disk.StandardInput(), kStandardInput, source.encoding);
  return OpenSourceFile(disk, source.path, source.encoding);
}

/// Everyone who hears of a run.
class Reports : public CharacterReport {
 public:
  void Add(CharacterReport* report) {
    if (report == nullptr) return;
    reports_.push_back(report);
    if (report->HearsGlyphs()) hearing_glyphs_.push_back(report);
  }

  bool HearsGlyphs() const override { return !hearing_glyphs_.empty(); }

  void GlyphWritten(const WrittenGlyph& glyph, int64_t line_number) override {
    for (CharacterReport* report : hearing_glyphs_) report->GlyphWritten(glyph, line_number);
  }
  void MissingCharacter(SourceCharacter character, int64_t line_number, MissingCause cause) override {
    for (CharacterReport* report : reports_) report->MissingCharacter(character, line_number, cause);
  }
  void SourceEnded(int64_t line_count) override {
    for (CharacterReport* report : reports_) report->SourceEnded(line_count);
  }

 private:
  std::vector<CharacterReport*> reports_;
  std::vector<CharacterReport*> hearing_glyphs_;  ///< Those of reports_ that hear of each glyph.
};

/// What the characters come from, for comments: the sources' names, and
/// the character sets and ranges as given.
std::string SourceNames(const Options& options) {
  std::vector<std::string> names;
  for (const SourceFile& source : options.sources) names.push_back(source.path);
  names.insert(names.end(), options.sets_named.begin(), options.sets_named.end());
  return WordList(names, "and");
}

/// Where progress goes: to a terminal, or with --progress anywhere; never with -q.
std::FILE* ProgressStream(const Options& options) {
  if (options.quiet || !(options.progress || IsTerminal(stderr))) return nullptr;
  return stderr;
}

/// True when the file name of `path` is ASCII: C names made of it read as it does.
bool IsAsciiName(const std::string& path) {
  const std::string_view name = std::string_view(path).substr(NameStart(path));
  return std::all_of(name.begin(), name.end(), [](char c) { return (c & 0x80) == 0; });
}

/// The request the format is made from; says once where C names made from
/// a file name of no ASCII come from.
FormatRequest RequestFor(const Options& options, const ChosenGlyphs& chosen, const RunTargets& targets, Disk& disk) {
  FormatRequest request;
  request.disk = &disk;
  request.glyphs = chosen.glyphs.get();
  request.output = targets.output;
  request.index = options.index;
  if (!targets.companions.empty()) request.header = targets.companions.front();
  request.source = SourceNames(options);
  request.name = options.name ? *options.name : IdentifierFor(targets.output.empty() ? options.file : targets.output);
  request.fallback = options.fallback;
  request.include = options.include;
  request.record_format = options.record_format;
  request.unique = options.unique;
  request.half_width = options.half_width;
  request.compress = options.compress;
  request.kerning = options.kerning;
  if (request.fallback == request.name) throw Failure("--fallback " + request.name + " is the font itself");
  if (options.format->Can(kCNames) && !options.name && !options.quiet && !IsAsciiName(request.output))
    Warn(request.output + ": C names from the file name, " + request.name + "…; --name gives them another");
  return request;
}

/// What a command writes: its format, fed the runs' records, and beside it
/// the picture; and what --preview draws afterwards.
struct Outputs {
  std::vector<std::unique_ptr<GlyphFormat>> files;  ///< The format first.
  PngPicture* picture = nullptr;                    ///< Among the files, with --png.
  std::unique_ptr<GlyphLog> preview;                ///< Only with --preview.
  std::unique_ptr<LineLayout> layout;               ///< How the format's library lays out a line, once asked.

  GlyphFormat& format() { return *files.front(); }
};

Outputs MakeOutputs(const Options& options, const FormatRequest& request, Disk& disk) {
  Outputs outputs;
  outputs.files.push_back(options.format->make(request));
  if (options.png) {
    auto picture = std::make_unique<PngPicture>(
        request,
        PictureRequest{*options.png, options.png_scale, options.max_width, options.png_colours, options.png_map});
    outputs.picture = picture.get();
    outputs.files.push_back(std::move(picture));
  }
  if (options.preview) outputs.preview = std::make_unique<GlyphLog>(disk);
  return outputs;
}

/// What the runs of a command found, a source each.
struct Findings {
  bool written = false;  ///< Some run appended a record.
  std::vector<MissingReport> missing;
  std::vector<std::unique_ptr<CutGlyphReport>> cut;
  std::vector<std::unique_ptr<LineWidthCheck>> widths;  ///< With --max-width.

  bool SomeMissing() const {
    return std::any_of(missing.begin(), missing.end(), [](const MissingReport& m) { return m.occurrences() > 0; });
  }
  bool TooWide() const {
    return std::any_of(widths.begin(), widths.end(), [](const auto& w) { return w && w->Any(); });
  }
  bool SomeCut() const {
    return std::any_of(cut.begin(), cut.end(), [](const auto& c) { return c->Any(); });
  }
};

/// Runs each source into `outputs`.
Findings RunSources(const Options& options, const ChosenGlyphs& chosen, Outputs& outputs, Disk& disk) {
  Findings found;
  found.missing.resize(options.sources.size());
  found.widths.resize(options.sources.size());
  Extractor& extractor = *chosen.extractor;
  CommandLineWindow window(ProgressStream(options));
  for (size_t i = 0; i < options.sources.size(); ++i) {
    if (options.max_width) found.widths[i] = std::make_unique<LineWidthCheck>(disk, *options.max_width);
    found.cut.push_back(std::make_unique<CutGlyphReport>(*chosen.glyphs));
    Reports reports;
    reports.Add(&found.missing[i]);
    for (const std::unique_ptr<GlyphFormat>& output : outputs.files) reports.Add(output->Report());
    reports.Add(found.widths[i].get());
    reports.Add(found.cut[i].get());
    reports.Add(outputs.preview.get());
    SourceText source = OpenSource(options.sources[i], disk);
    found.missing[i].NameByCodePoint(source.utf8 != nullptr);
    extractor.SourcePath = options.sources[i].path;
    RunOutcome outcome;
    try {
      outcome = extractor.Run(window, &reports, std::move(source), &outputs.format().Stream(), chosen.glyphs.get());
    } catch (const Failure&) {
      window.EndProgressLine();
      throw;
    }
    if (outcome == RunOutcome::kRefused) {
      const std::string& refusal = window.message();
      throw refusal == kBackupMessage ? FileFailure(extractor.OutputPath, refusal + " (a data file of a font set)")
                                      : Failure(refusal);
    }
    found.written = found.written || outcome == RunOutcome::kWritten;
  }
  return found;
}

/// Refuses texts of characters a format's library cannot draw, where the
/// format says so (Adafruit GFX draws bytes), naming them and the formats that draw them.
void RefuseBeyond(const Options& options, const Findings& found) {
  const FormatKind& format = *options.format;
  if (format.beyond == nullptr) return;
  for (size_t i = 0; i < options.sources.size(); ++i) {
    std::vector<std::string> beyond;
    for (uint32_t code_point : found.missing[i].CodePoints(MissingCause::kBeyond))
      beyond.push_back(ShownIn(LocaleCharset(), code_point));
    if (!beyond.empty())
      throw FileFailure(options.sources[i].path, std::string("--format ") + format.name + " draws characters up to " +
                                                     CodePointName(format.last_code_point) + ", not " +
                                                     WordList(beyond, "and") + "; --format " + format.beyond +
                                                     " draws them");
  }
}

/// After the runs: lays lines out as the format's library does (records in
/// their cells for a glyph stream), for the widths and the picture.
void LayOutLines(const Options& options, const ChosenGlyphs& chosen, Outputs& outputs, Findings& found) {
  if (!options.max_width && !options.png) return;
  outputs.layout = outputs.format().Layout();
  if (!outputs.layout) outputs.layout = std::make_unique<CellLayout>(*chosen.glyphs, options.record_format);
  for (const std::unique_ptr<LineWidthCheck>& widths : found.widths)
    if (widths) widths->Measure(*outputs.layout);
  if (outputs.picture != nullptr) outputs.picture->UseLayout(*outputs.layout);
}

/// Gives the font of `format` the characters of --charset and --range that
/// `glyphs` has; warns of those it lacks, or with --missing lists them. True
/// when it has some.
bool AddCharacterSets(const Options& options, const ChosenGlyphs& chosen, GlyphFormat& format) {
  GlyphSource& glyphs = *chosen.glyphs;
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
  const std::string font = chosen.FontNames();
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

/// Puts every file of `outputs` in place, the depfile last.
void Install(const Options& options, const ChosenGlyphs& chosen, Outputs& outputs, Disk& disk) {
  std::vector<std::string> written;
  for (const std::unique_ptr<GlyphFormat>& output : outputs.files) {
    output->Finish();
    const std::vector<std::string> files = output->Targets();
    written.insert(written.end(), files.begin(), files.end());
  }
  std::optional<TargetFile> depfile;
  if (options.depfile) {
    std::vector<std::string> sources;
    for (const SourceFile& source : options.sources)
      if (source.path != kStandardInput) sources.push_back(source.path);
    depfile.emplace(disk, *options.depfile).WriteWhole(DepfileRule(written, sources, chosen.FilesRead()));
  }
  for (const std::unique_ptr<GlyphFormat>& output : outputs.files) output->Install();
  if (depfile) depfile->Install();
}

/// Removes what an earlier run left, after runs that found nothing.
void RemoveOld(const Options& options, Outputs& outputs, Disk& disk) {
  for (const std::unique_ptr<GlyphFormat>& output : outputs.files) output->RemoveOld();
  if (options.depfile) TargetFile(disk, *options.depfile).RemoveOld();
}

/// Ends runs whose files are to be kept: installs them, or after runs that
/// found nothing removes the old ones; then says which it was.
void Conclude(const Options& options, const ChosenGlyphs& chosen, bool written, Outputs& outputs, Disk& disk) {
  if (written)
    Install(options, chosen, outputs, disk);
  else
    RemoveOld(options, outputs, disk);
  std::FILE* messages = options.ToStandardOutput() ? stderr : stdout;
  if (written && !options.quiet) WriteText(messages, std::string(kOverMessage) + "\n");
  if (!written) WriteText(options.quiet ? stderr : messages, std::string(kEmptyMessage) + "\n");
  if (!written) Warn(options.file + ": no character of the table");
}

/// Tells, a source each, of the characters that got no glyph and the lines too wide.
void ReportFindings(const Options& options, const Findings& found) {
  for (size_t i = 0; i < options.sources.size(); ++i) {
    const std::string& name = options.sources[i].path;
    const MissingReport& missing = found.missing[i];
    if (missing.occurrences() > 0 && options.missing) missing.Print(stderr, name, LocaleCharset());
    if (missing.occurrences() > 0 && !options.missing)
      Warn(name + ": warning: " + std::to_string(missing.characters()) +
           (missing.characters() == 1 ? " character" : " characters") + " got no glyph (--missing lists them)");
    if (found.widths[i] && found.widths[i]->Any()) found.widths[i]->Print(stderr, name);
    found.cut[i]->Print(stderr, name, LocaleCharset());
  }
}

/// Says why --strict keeps the old files, naming the glyph file `output`.
void SayNotWritten(const Options& options, const Findings& found, const std::string& output) {
  std::vector<std::string> whys;
  if (found.SomeMissing()) whys.push_back("some characters got no glyph");
  if (found.SomeCut()) whys.push_back("some glyphs are cut to their cells");
  if (found.TooWide()) whys.push_back("some lines are too wide");
  const std::string why = WordList(whys, "and");
  Warn(options.ToStandardOutput() ? std::string("-: ") + why + " (--strict)"
                                  : output + ": not written, since " + why + " (--strict)");
}

/// Draws the records the runs appended, as `log` has them, on stdout.
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

}  // namespace

int ExtractCommand(const Options& given, Disk& disk) {
  const Options options = WithInstalledFont(given, disk);
  const ChosenGlyphs chosen = ChooseGlyphs(options, disk);
  const RunTargets targets = GuardedTargets(options, chosen, disk);
  const FormatRequest request = RequestFor(options, chosen, targets, disk);
  Outputs outputs = MakeOutputs(options, request, disk);
  Findings found = RunSources(options, chosen, outputs, disk);
  RefuseBeyond(options, found);
  if (!options.ranges.empty()) found.written = AddCharacterSets(options, chosen, outputs.format()) || found.written;
  // A font of no character is still a font: an empty translation builds.
  found.written = found.written || options.format->IsFont();
  LayOutLines(options, chosen, outputs, found);

  const bool incomplete = options.strict && (found.SomeMissing() || found.SomeCut() || found.TooWide());
  if (!incomplete) Conclude(options, chosen, found.written, outputs, disk);
  ReportFindings(options, found);
  if (incomplete) {
    SayNotWritten(options, found, targets.output);
    return kExitMissing;
  }
  if (!found.written) return kExitNothing;
  if (std::optional<std::string> summary = outputs.format().Summary(); summary && !options.quiet) Warn(*summary);
  if (outputs.preview) Preview(*outputs.preview, *chosen.glyphs, options.record_format);
  return kExitWritten;
}

}  // namespace pixtrel
