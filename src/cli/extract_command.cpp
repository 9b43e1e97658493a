#include "cli/extract_command.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "cli/command_line_window.h"
#include "cli/depfile.h"
#include "cli/glyph_preview.h"
#include "cli/missing_report.h"
#include "extract/extractor.h"
#include "formats/glyph_format.h"
#include "formats/target_file.h"
#include "glyphdata/output_path.h"
#include "platform/failure.h"

namespace pixtrel {

namespace {

/// The name standard input goes by in messages, as a SOURCE of "-".
constexpr char kStandardInput[] = "-";

/// What is wrong with the font file, when it supplies less than the whole font.
std::optional<std::string> FontShortage(const GlyphStore& store) {
  const std::optional<size_t> bytes = store.FontFileBytes();
  if (!bytes) return "no font file: all " + std::to_string(GlyphCount) + " glyphs are blank";
  if (*bytes == FontSize) return std::nullopt;
  const size_t blank = (FontSize - *bytes + GlyphSize - 1) / GlyphSize;
  return "font file is " + std::to_string(FontSize - *bytes) + " bytes short: " + std::to_string(blank) + " of " +
         std::to_string(GlyphCount) + " glyphs are blank";
}

/// Loads the data files; a font file that falls short is a warning, or a
/// failure with --strict.
std::optional<int> LoadData(Extractor& extractor, const Options& options) {
  extractor.LoadGlyphData();
  if (options.record_format.layout != GlyphLayout::kRowMsb || options.record_format.invert)
    extractor.RewriteRecords([&](uint8_t* record) { FormatRecord(record, options.record_format); });
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

/// The missing characters and what the format hears, either or both.
class Reports : public CharacterReport {
 public:
  Reports(MissingReport* missing, CharacterReport* format) : missing_(missing), format_(format) {}

  bool Any() const { return missing_ != nullptr || format_ != nullptr; }

  void GlyphWritten(uint16_t slot, uint16_t code, int64_t line_number) override {
    if (format_ != nullptr) format_->GlyphWritten(slot, code, line_number);
  }
  void MissingCharacter(uint16_t code, int64_t line_number) override {
    if (missing_ != nullptr) missing_->MissingCharacter(code, line_number);
    if (format_ != nullptr) format_->MissingCharacter(code, line_number);
  }
  void SourceEnded(int64_t line_count) override {
    if (format_ != nullptr) format_->SourceEnded(line_count);
  }

 private:
  MissingReport* missing_;
  CharacterReport* format_;
};

/// A refusal of the run, naming the file it is about.
std::string NamedRefusal(const std::string& refusal, const std::string& path) {
  return refusal == kBackupMessage ? path + ": " + refusal : refusal;
}

/// Why the run may not write the files it would besides its output, if it may not.
std::optional<std::string> ExtraOutputRefusal(const Extractor& extractor, const Options& options) {
  for (const std::optional<std::string>& path : {options.index, options.depfile}) {
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
  return request;
}

/// The depfile's rule: the format's files, made from the source and the data files.
std::string DepfileFor(const Options& options, const Extractor& extractor, const GlyphFormat& format) {
  std::vector<std::string> read;
  if (options.file != kStandardInput) read.push_back(options.file);
  read.push_back(extractor.FontPath());
  read.push_back(extractor.TablePath());
  return DepfileRule(format.Targets(), read);
}

}  // namespace

int Fail(const std::string& message) {
  std::fprintf(stderr, "pixtrel-extract: %s\n", message.c_str());
  return kExitFailed;
}

int ExtractCommand(const Options& options, Disk& disk) {
  Extractor extractor(options.data_dir ? *options.data_dir : ProgramDirectory(), disk);
  extractor.GuardShippedSets(ProgramDirectory());
  if (std::optional<int> failed = LoadData(extractor, options)) return *failed;
  if (options.file != kStandardInput) {
    if (std::optional<std::string> refusal = extractor.DataFileRefusal(options.file))
      return Fail(NamedRefusal(*refusal, options.file));
  }
  extractor.SourcePath = options.file;
  extractor.OutputPath = CommandOutputPathFor(options.file, options.format->extension);
  if (options.output) extractor.OutputPath = options.ToStandardOutput() ? "" : *options.output;
  if (std::optional<std::string> refusal = ExtraOutputRefusal(extractor, options)) return Fail(*refusal);

  SourceText source = OpenSource(options, disk);
  MissingReport missing;
  missing.ConvertedFrom(source.utf8);
  std::unique_ptr<GlyphFormat> format = options.format->make(RequestFor(options, extractor, disk));
  Reports reports(options.missing ? &missing : nullptr, format->Report());
  CommandLineWindow window(ProgressStream(options));
  RunOutcome outcome;
  try {
    outcome = extractor.Run(window, reports.Any() ? &reports : nullptr, std::move(source.bytes), &format->Stream());
  } catch (const Failure&) {
    window.EndProgressLine();
    throw;
  }
  if (outcome == RunOutcome::kRefused) return Fail(NamedRefusal(window.message(), extractor.OutputPath));

  std::FILE* messages = options.ToStandardOutput() ? stderr : stdout;
  const bool incomplete = options.strict && missing.occurrences() > 0;
  if (!incomplete && outcome == RunOutcome::kWritten) {
    format->Finish();
    std::optional<TargetFile> depfile;
    if (options.depfile) depfile.emplace(disk, *options.depfile).WriteWhole(DepfileFor(options, extractor, *format));
    format->Install();
    if (depfile) depfile->Install();
    if (!options.quiet) std::fprintf(messages, "%s\n", window.message().c_str());
  }
  if (!incomplete && outcome == RunOutcome::kEmpty) {
    format->RemoveOld();
    if (options.depfile) TargetFile(disk, *options.depfile).RemoveOld();
    std::fprintf(options.quiet ? stderr : messages, "%s\n", window.message().c_str());
  }
  if (options.missing && missing.occurrences() > 0) missing.Print(stderr, options.file, LocaleCharset());
  if (incomplete) {
    Fail(options.ToStandardOutput()
             ? "-: some characters got no glyph (--strict)"
             : extractor.OutputPath + ": not written, since some characters got no glyph (--strict)");
    return kExitMissing;
  }
  if (outcome == RunOutcome::kEmpty) return kExitNothing;
  if (std::optional<std::string> summary = format->Summary(); summary && !options.quiet)
    std::fprintf(stderr, "pixtrel-extract: %s\n", summary->c_str());
  if (options.preview) {
    std::fflush(stdout);
    DrawGlyphFile(extractor.OutputPath, TerminalColumns(stdout).value_or(80), stdout, options.record_format);
  }
  return kExitWritten;
}

}  // namespace pixtrel
