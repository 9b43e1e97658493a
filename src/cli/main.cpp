// pixtrel-extract: cuts the glyph file of one source text without a window.

#include <clocale>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "cli/command_line_window.h"
#include "cli/glyph_preview.h"
#include "cli/missing_report.h"
#include "cli/options.h"
#include "cli/utf8_source.h"
#include "extract/extractor.h"
#include "platform/failure.h"
#include "platform/platform.h"
#include "version.h"

namespace {

using pixtrel::Options;

/// Exit statuses.
enum Status { kWritten = 0, kNothingWritten = 1, kFailed = 2, kWrittenWithMissing = 3 };

/// The width the preview takes: the terminal's, or 80 columns.
int OutputColumns() { return pixtrel::TerminalColumns(stdout).value_or(80); }

int Fail(const std::string& message) {
  std::fprintf(stderr, "pixtrel-extract: %s\n", message.c_str());
  return kFailed;
}

/// The source the run reads: a UTF-8 source, opened and checked now, before
/// the run touches any file; none for a CP936 source, which the run opens.
std::unique_ptr<pixtrel::ByteSource> OpenSource(const Options& options, const std::string& path,
                                                pixtrel::MissingReport* missing) {
  if (options.encoding != Options::Encoding::kUtf8) return nullptr;
  pixtrel::Utf8Source::UnconvertibleFn unconvertible;
  if (missing != nullptr)
    unconvertible = [missing](std::string_view character, int64_t line) { missing->AddUnconvertible(character, line); };
  return std::make_unique<pixtrel::Utf8Source>(pixtrel::RealDisk(), path, unconvertible);
}

/// Runs the extraction; returns the exit status of a run that did not fail.
int Extract(const Options& options) {
  pixtrel::Extractor extractor(options.data_dir ? *options.data_dir : pixtrel::ProgramDirectory());
  extractor.LoadGlyphData();
  if (std::optional<std::string> refusal = extractor.DataFileRefusal(options.file)) return Fail(*refusal);
  extractor.SourcePath = options.file;
  extractor.MakeOutputPath();
  if (options.output) extractor.OutputPath = *options.output;
  pixtrel::MissingReport missing;
  pixtrel::MissingReport* report = options.missing ? &missing : nullptr;
  std::unique_ptr<pixtrel::ByteSource> source = OpenSource(options, extractor.SourcePath, report);
  pixtrel::CommandLineWindow window(options.quiet ? nullptr : stderr);
  pixtrel::RunOutcome outcome;
  try {
    outcome = extractor.Run(window, report, std::move(source));
  } catch (const pixtrel::Failure&) {
    window.EndProgressLine();
    throw;
  }
  if (outcome == pixtrel::RunOutcome::kRefused) return Fail(window.message());
  std::printf("%s\n", window.message().c_str());
  if (options.missing) missing.Print(stderr, options.file, pixtrel::LocaleCharset());
  if (outcome == pixtrel::RunOutcome::kEmpty) return kNothingWritten;
  if (options.preview) {
    std::fflush(stdout);
    pixtrel::DrawGlyphFile(extractor.OutputPath, OutputColumns(), stdout);
  }
  return options.strict && missing.occurrences() > 0 ? kWrittenWithMissing : kWritten;
}

int Perform(const Options& options) {
  switch (options.action) {
    case Options::Action::kHelp:
      std::printf("%s\n%s", pixtrel::kUsage, pixtrel::kHelp);
      return kWritten;
    case Options::Action::kVersion:
      std::puts("pixtrel-extract " PIXTREL_VERSION_TEXT);
      return kWritten;
    case Options::Action::kShow:
      pixtrel::DrawGlyphFile(options.file, OutputColumns(), stdout);
      return kWritten;
    case Options::Action::kExtract:
      break;
  }
  return Extract(options);
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_CTYPE, "");  // The terminal's character set, for the characters --missing lists.
  std::optional<Options> options = pixtrel::ParseOptions(argc, argv);
  if (!options) return kFailed;
  try {
    return Perform(*options);
  } catch (const pixtrel::Failure& failure) {
    return Fail(failure.what());
  }
}
