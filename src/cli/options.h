#pragma once

#include <optional>
#include <string>

namespace pixtrel {

/// What the command line asks pixtrel-extract to do.
struct Options {
  enum class Action { kExtract, kShow, kHelp, kVersion };
  enum class Encoding { kCp936, kUtf8 };

  Action action = Action::kExtract;
  std::optional<std::string> output;     ///< -o FILE: the glyph file, in place of the derived one.
  std::optional<std::string> data_dir;   ///< --data-dir DIR: where the data files lie.
  bool quiet = false;                    ///< -q: no progress.
  bool missing = false;                  ///< --missing: list the characters that got no glyph.
  bool strict = false;                   ///< --strict: exit 3 when a glyph file lacks some of them.
  bool preview = false;                  ///< --preview: draw the glyph file written.
  Encoding encoding = Encoding::kCp936;  ///< --encoding: how the source is encoded.
  std::string file;                      ///< SOURCE, or the glyph file of --show.
};

/// The usage lines.
extern const char kUsage[];
/// The text of --help: the usage, every option and the exit statuses.
extern const char kHelp[];

/// Parses the command line with getopt_long; none, after writing what is
/// wrong and the usage on stderr, when it is not a valid one.
std::optional<Options> ParseOptions(int argc, char** argv);

}  // namespace pixtrel
