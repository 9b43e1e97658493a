// pixtrel-extract: cuts the glyph file of one source text without a window.

#include <clocale>
#include <cstdio>
#include <optional>
#include <string>

#include "cli/extract_command.h"
#include "cli/font_list.h"
#include "cli/options.h"
#include "formats/terminal_preview.h"
#include "glyphdata/font_set.h"
#include "platform/failure.h"
#include "platform/platform.h"
#include "version.h"

namespace {

using pixtrel::Options;

int Perform(const Options& options) {
  switch (options.action) {
    case Options::Action::kHelp:
      pixtrel::WriteText(stdout, std::string(pixtrel::kUsage) + "\n" + pixtrel::kHelp);
      return pixtrel::kExitWritten;
    case Options::Action::kVersion:
      pixtrel::WriteText(stdout, "pixtrel-extract " PIXTREL_VERSION_TEXT "\n");
      return pixtrel::kExitWritten;
    case Options::Action::kShow: {
      const std::string data_dir = pixtrel::DataDirectory(options, pixtrel::ProgramDirectory(), pixtrel::RealDisk());
      const pixtrel::FontSet set = pixtrel::FontSet::Read(pixtrel::RealDisk(), data_dir);
      set.CheckFileSizes(pixtrel::RealDisk(), data_dir);
      pixtrel::DrawGlyphFile(options.file, set.FullShape(), pixtrel::TerminalColumns(stdout).value_or(80), stdout,
                             options.record_format);
      return pixtrel::kExitWritten;
    }
    case Options::Action::kListFonts:
      return pixtrel::ListFonts(options.font_pattern);
    case Options::Action::kExtract:
      break;
  }
  return pixtrel::ExtractCommand(options, pixtrel::RealDisk());
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_CTYPE, "");  // The terminal's character set, for the characters --missing lists.
  std::optional<Options> options = pixtrel::ParseOptions(pixtrel::StartCommand(argc, argv));
  if (!options) return pixtrel::kExitFailed;
  try {
    return Perform(*options);
  } catch (const pixtrel::Failure& failure) {
    return pixtrel::Fail(failure.what());
  }
}
