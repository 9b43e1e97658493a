// pixtrel-extract: cuts the glyph file of one source text without a window.

#include <getopt.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>

#include "cli/command_line_run.h"
#include "glyphdata/failure.h"

namespace {

constexpr char kUsage[] = "usage: pixtrel-extract [-o FILE] [--data-dir DIR] [-q] SOURCE\n";

/// Exit statuses.
enum Status { kWritten = 0, kNothingWritten = 1, kFailed = 2 };

struct Options {
  std::optional<std::string> output;
  std::optional<std::string> data_dir;
  bool quiet = false;
  std::string source;
};

/// The directory of the running executable, links resolved.
std::string ProgramDirectory() {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path);
  if (n <= 0 || static_cast<size_t>(n) == sizeof path) throw pixtrel::FileFailure(errno, "/proc/self/exe");
  std::string exe(path, static_cast<size_t>(n));
  size_t slash = exe.rfind('/');
  return slash == 0 ? "/" : exe.substr(0, slash);
}

/// Parses the command line; none, after printing the usage, when it is wrong.
std::optional<Options> ParseOptions(int argc, char** argv) {
  enum { kDataDir = 256 };
  static const option kLongOptions[] = {
      {"output", required_argument, nullptr, 'o'},
      {"data-dir", required_argument, nullptr, kDataDir},
      {"quiet", no_argument, nullptr, 'q'},
      {nullptr, 0, nullptr, 0},
  };
  Options options;
  for (int c; (c = getopt_long(argc, argv, "o:q", kLongOptions, nullptr)) != -1;) {
    switch (c) {
      case 'o': options.output = optarg; break;
      case kDataDir: options.data_dir = optarg; break;
      case 'q': options.quiet = true; break;
      default: std::fputs(kUsage, stderr); return std::nullopt;
    }
  }
  if (optind != argc - 1) {
    std::fputs(kUsage, stderr);
    return std::nullopt;
  }
  options.source = argv[optind];
  return options;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "pixtrel-extract: %s\n", message.c_str());
  return kFailed;
}

int Extract(const Options& options) {
  std::string data_dir = options.data_dir ? *options.data_dir : ProgramDirectory();
  pixtrel::CommandLineRun run(data_dir, options.quiet ? nullptr : stderr);
  run.LoadGlyphData();
  if (run.IsDataFile(options.source)) return Fail(pixtrel::kBackupMessage);
  run.SourcePath = options.source;
  run.MakeOutputPath();
  if (options.output) run.OutputPath = *options.output;
  try {
    pixtrel::RunOutcome outcome = run.Run();
    if (outcome == pixtrel::RunOutcome::kRefused) return Fail(run.message());
    std::printf("%s\n", run.message().c_str());
    return outcome == pixtrel::RunOutcome::kWritten ? kWritten : kNothingWritten;
  } catch (const pixtrel::Failure&) {
    run.EndProgressLine();
    throw;
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<Options> options = ParseOptions(argc, argv);
  if (!options) return kFailed;
  try {
    return Extract(*options);
  } catch (const pixtrel::Failure& failure) {
    return Fail(failure.what());
  }
}
