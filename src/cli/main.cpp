// pixtrel-extract: cuts the glyph file of one source text without a window.

#include <langinfo.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <optional>
#include <string>

#include "cli/command_line_run.h"
#include "cli/glyph_preview.h"
#include "cli/missing_report.h"
#include "cli/options.h"
#include "glyphdata/failure.h"

namespace {

using pixtrel::Options;

/// Exit statuses.
enum Status { kWritten = 0, kNothingWritten = 1, kFailed = 2, kWrittenWithMissing = 3 };

constexpr int kColumnsWithoutTerminal = 80;

/// The directory of the running executable, links resolved.
std::string ProgramDirectory() {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path);
  if (n <= 0 || static_cast<size_t>(n) == sizeof path) throw pixtrel::FileFailure(errno, "/proc/self/exe");
  std::string exe(path, static_cast<size_t>(n));
  size_t slash = exe.rfind('/');
  return slash == 0 ? "/" : exe.substr(0, slash);
}

/// The width of the terminal stdout goes to, or 80 when it is no terminal.
int OutputColumns() {
  winsize size{};
  if (isatty(STDOUT_FILENO) && ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return kColumnsWithoutTerminal;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "pixtrel-extract: %s\n", message.c_str());
  return kFailed;
}

/// Runs the extraction; returns the exit status of a run that did not fail.
int Extract(const Options& options) {
  pixtrel::MissingReport missing;
  std::string data_dir = options.data_dir ? *options.data_dir : ProgramDirectory();
  pixtrel::CommandLineRun run(data_dir, options.quiet ? nullptr : stderr, options.missing ? &missing : nullptr);
  run.LoadGlyphData();
  if (run.IsDataFile(options.file)) return Fail(pixtrel::kBackupMessage);
  run.SourcePath = options.file;
  run.MakeOutputPath();
  if (options.output) run.OutputPath = *options.output;
  if (options.encoding == Options::Encoding::kUtf8) run.OpenUtf8Source();
  pixtrel::RunOutcome outcome;
  try {
    outcome = run.Run();
  } catch (const pixtrel::Failure&) {
    run.EndProgressLine();
    throw;
  }
  if (outcome == pixtrel::RunOutcome::kRefused) return Fail(run.message());
  std::printf("%s\n", run.message().c_str());
  if (options.missing) missing.Print(stderr, options.file, nl_langinfo(CODESET));
  if (outcome == pixtrel::RunOutcome::kEmpty) return kNothingWritten;
  if (options.preview) {
    std::fflush(stdout);
    pixtrel::DrawGlyphFile(run.OutputPath, OutputColumns(), stdout);
  }
  return options.strict && missing.occurrences() > 0 ? kWrittenWithMissing : kWritten;
}

int Perform(const Options& options) {
  switch (options.action) {
    case Options::Action::kHelp:
      std::printf("%s\n%s", pixtrel::kUsage, pixtrel::kHelp);
      return kWritten;
    case Options::Action::kVersion:
      std::puts("pixtrel-extract 0.01");
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
