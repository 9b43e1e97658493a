#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/glyph_choice.h"
#include "cli/options.h"
#include "platform/platform.h"

namespace pixtrel {

/// The files a command writes.
struct RunTargets {
  std::string output;                   ///< The format's file; empty for standard output.
  std::vector<std::string> companions;  ///< The files the format writes beside it (a C source's header).
  std::optional<std::string> index;     ///< --index FILE.
  std::optional<std::string> depfile;   ///< --depfile FILE.
  std::optional<std::string> png;       ///< --png FILE.
  std::optional<std::string> png_map;   ///< --png-map FILE.

  /// Each file there is, with how messages call it ("-o", "the header of -o").
  std::vector<std::pair<std::string, std::string>> Named() const;
};

/// The files `options` ask for, once each is one the runs may write: none
/// is a source, a data file of a set or the font file; none replaces a
/// source, a data file, a directory or anything but a regular file; no
/// two are one file, by any path; a companion there is one a run wrote.
/// Throws Failure, naming the file and why, for the first that is not.
RunTargets GuardedTargets(const Options& options, const ChosenGlyphs& chosen, Disk& disk);

}  // namespace pixtrel
