// pixtrel-extract: cuts the glyph file of one source text without a window.

#include <clocale>
#include <cstdio>
#include <string>

#include "cli/extract_command.h"
#include "cli/font_list.h"
#include "cli/glyph_choice.h"
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
      pixtrel::WriteText(stdout, pixtrel::UsageText() + "\n" + pixtrel::HelpText());
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
    case Options::Action::kListFormats:
      pixtrel::WriteText(stdout, pixtrel::FormatListText());
      return pixtrel::kExitWritten;
    case Options::Action::kExtract:
      break;
  }
  return pixtrel::ExtractCommand(options, pixtrel::RealDisk());
}

/// Says "pixtrel-extract: MESSAGE" on stderr and returns the status of a failure.
int Fail(const std::string& message) {
  pixtrel::WriteText(stderr, "pixtrel-extract: " + message + "\n");
  return pixtrel::kExitFailed;
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_CTYPE, "");  // The terminal's character set, for the characters --missing lists.
  const pixtrel::ParsedCommandLine parsed = pixtrel::ParseOptions(pixtrel::StartCommand(argc, argv));
  if (!parsed.options) {
    Fail(parsed.error);
    pixtrel::WriteText(stderr, pixtrel::UsageText());
    return pixtrel::kExitFailed;
  }
  try {
    return Perform(*parsed.options);
  } catch (const pixtrel::Failure& failure) {
    return Fail(failure.what());
  }
}
