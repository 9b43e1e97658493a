#pragma once

#include "cli/options.h"
#include "platform/platform.h"

namespace pixtrel {

/// The exit statuses of pixtrel-extract.
enum ExitStatus {
  kExitWritten = 0,  ///< A glyph file was written.
  kExitNothing = 1,  ///< None was: the text holds no character of the table.
  kExitFailed = 2,   ///< A failure, a refusal or a wrong command line.
  kExitMissing = 3,  ///< --strict, and some character got no glyph: no glyph file was written.
};

/// Extracts the glyph file `options` ask for, on `disk`: the records go to
/// a temporary file beside the glyph file, which replaces it only when the
/// run succeeds (and, with --strict, every character got a glyph), or to
/// standard output. "Over !" or "Your tbl is empty ." goes to stdout (to
/// stderr when the glyph file does); progress, warnings and the list of
/// missing characters go to stderr. Returns the exit status; throws Failure,
/// naming the file and the cause, when the run fails, and then nothing but
/// the temporary file, which is gone, was touched.
int ExtractCommand(const Options& options, Disk& disk);

}  // namespace pixtrel
