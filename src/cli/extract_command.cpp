#include "cli/extract_command.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "cli/command_line_window.h"
#include "cli/glyph_preview.h"
#include "cli/missing_report.h"
#include "extract/extractor.h"
#include "extract/glyph_output.h"
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

/// A refusal of the run, naming the file it is about.
std::string NamedRefusal(const std::string& refusal, const std::string& path) {
  return refusal == kBackupMessage ? path + ": " + refusal : refusal;
}

}  // namespace

int Fail(const std::string& message) {
  std::fprintf(stderr, "pixtrel-extract: %s\n", message.c_str());
  return kExitFailed;
}

int ExtractCommand(const Options& options, Disk& disk) {
  Extractor extractor(options.data_dir ? *options.data_dir : ProgramDirectory(), disk);
  if (options.data_dir) extractor.GuardDataFilesIn(ProgramDirectory());
  if (std::optional<int> failed = LoadData(extractor, options)) return *failed;
  if (options.file != kStandardInput) {
    if (std::optional<std::string> refusal = extractor.DataFileRefusal(options.file))
      return Fail(NamedRefusal(*refusal, options.file));
  }
  extractor.SourcePath = options.file;
  extractor.MakeOutputPath();
  if (options.output) extractor.OutputPath = options.ToStandardOutput() ? "" : *options.output;

  SourceText source = OpenSource(options, disk);
  MissingReport missing;
  missing.ConvertedFrom(source.utf8);
  std::unique_ptr<GlyphOutput> output;
  AtomicGlyphFile* file = nullptr;
  if (options.ToStandardOutput()) {
    output = std::make_unique<StreamGlyphOutput>(disk);
  } else {
    auto atomic = std::make_unique<AtomicGlyphFile>(disk, extractor.OutputPath);
    file = atomic.get();
    output = std::move(atomic);
  }
  CommandLineWindow window(options.quiet ? nullptr : stderr);
  RunOutcome outcome;
  try {
    outcome = extractor.Run(window, options.missing ? &missing : nullptr, std::move(source.bytes), output.get());
  } catch (const Failure&) {
    window.EndProgressLine();
    throw;
  }
  if (outcome == RunOutcome::kRefused) return Fail(NamedRefusal(window.message(), extractor.OutputPath));

  const bool incomplete = options.strict && missing.occurrences() > 0;
  if (file != nullptr && !incomplete) {
    if (outcome == RunOutcome::kWritten) file->Install();
    if (outcome == RunOutcome::kEmpty) file->RemoveOld();
  }
  if (!incomplete) std::fprintf(options.ToStandardOutput() ? stderr : stdout, "%s\n", window.message().c_str());
  if (options.missing) missing.Print(stderr, options.file, LocaleCharset());
  if (incomplete) {
    Fail(extractor.OutputPath + ": not written, since some characters got no glyph (--strict)");
    return kExitMissing;
  }
  if (outcome == RunOutcome::kEmpty) return kExitNothing;
  if (options.preview) {
    std::fflush(stdout);
    DrawGlyphFile(extractor.OutputPath, TerminalColumns(stdout).value_or(80), stdout);
  }
  return kExitWritten;
}

}  // namespace pixtrel
