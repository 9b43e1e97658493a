#include "cli/run_targets.h"

#include <memory>

#include "glyphdata/output_path.h"
#include "platform/failure.h"

namespace pixtrel {

namespace {

/// The name standard input goes by, as a SOURCE of "-".
constexpr char kStandardInput[] = "-";

/// A refusal of the run as a failure naming `path`: the window's refusal of
/// a data file says what the file is.
Failure Refusal(const std::string& refusal, const std::string& path) {
  if (refusal == kBackupMessage) return FileFailure(path, refusal + " (a data file of a font set)");
  return Failure(refusal);
}

/// Refuses the runs' reading their sources or the font, and writing `targets`.
void RefuseGuardedFiles(const Options& options, const Extractor& extractor, const RunTargets& targets) {
  std::vector<std::string> read;
  for (const SourceFile& source : options.sources) read.push_back(source.path);
  for (const FontChoice& font : options.fonts) read.push_back(font.path);
  for (const std::string& source : read) {
    if (source == kStandardInput) continue;
    if (std::optional<std::string> refusal = extractor.DataFileRefusal(source)) throw Refusal(*refusal, source);
    for (const auto& [called, path] : targets.Named())
      if (std::optional<std::string> refusal = extractor.OutputRefusal(source, path)) throw Refusal(*refusal, path);
  }
}

/// Refuses two targets that are one file, in any spelling.
void RefuseSharedTargets(const RunTargets& targets, Disk& disk) {
  const std::vector<std::pair<std::string, std::string>> named = targets.Named();
  for (auto later = named.begin(); later != named.end(); ++later)
    for (auto earlier = named.begin(); earlier != later; ++earlier)
      if (disk.SameFile(earlier->second, later->second))
        throw FileFailure(later->second, later->first + " names the file of " + earlier->first);
}

/// Refuses a first companion file that is there, but that no run wrote: the user's own.
void RefuseForeignCompanion(const FormatKind& format, const RunTargets& targets, Disk& disk) {
  if (targets.companions.empty() || format.companion_start == nullptr) return;
  const std::string& companion = targets.companions.front();
  std::unique_ptr<ByteSource> file = disk.OpenIfExists(disk.FollowLinks(companion));
  if (!file) return;
  const std::string_view start = format.companion_start;
  std::string read(start.size(), '\0');
  read.resize(file->ReadFull(read.data(), read.size()));
  if (read != start)
    throw FileFailure(companion, "the header of -o would replace it, and pixtrel-extract did not write it");
}

}  // namespace

std::vector<std::pair<std::string, std::string>> RunTargets::Named() const {
  std::vector<std::pair<std::string, std::string>> named;
  if (!output.empty()) named.emplace_back("-o", output);
  for (const std::string& companion : companions)
    named.emplace_back("the " + companion.substr(companion.rfind('.') + 1) + " file of -o", companion);
  if (index) named.emplace_back("--index", *index);
  if (depfile) named.emplace_back("--depfile", *depfile);
  if (png) named.emplace_back("--png", *png);
  if (png_map) named.emplace_back("--png-map", *png_map);
  return named;
}

RunTargets GuardedTargets(const Options& options, const ChosenGlyphs& chosen, Disk& disk) {
  RunTargets targets;
  targets.output = CommandOutputPathFor(options.file, options.format->extension);
  if (options.output) targets.output = options.ToStandardOutput() ? "" : *options.output;
  targets.companions = CompanionsOf(*options.format, targets.output);
  targets.index = options.index;
  targets.depfile = options.depfile;
  targets.png = options.png;
  targets.png_map = options.png_map;
  RefuseGuardedFiles(options, *chosen.extractor, targets);
  RefuseSharedTargets(targets, disk);
  RefuseForeignCompanion(*options.format, targets, disk);
  return targets;
}

}  // namespace pixtrel
