#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/options.h"
#include "studio/project_folder.h"

namespace pixtrel {

/// An answer to a request of the page: its HTTP status, its content type
/// and its body.
struct StudioAnswer {
  int status = 200;
  std::string type = "application/json";
  std::string body;
};

/// A command a request sends, read by the command's own parser and held to
/// the project folder.
struct StudioCommand {
  Options options;
  std::vector<CommandWord> words;
  std::optional<std::string> text;  ///< The text to run on, in place of a SOURCE.
  bool wants_json = false;          ///< The answer in JSON, the picture within it.
};

/// A request refused: the HTTP status and why, "PATH: cause" for a path.
struct StudioRefusal {
  int status;
  std::string message;
};

/// Reads the body `body` of a preview or export request, {"args": [...],
/// "text": "...", "json": true}: the arguments as pixtrel-extract takes
/// them (without its name), parsed by its parser; every file they name
/// held to `folder` (an output never one IsProtected names when it is
/// there). Throws StudioRefusal: 400 for a body that is no such JSON or
/// arguments the command refuses (its own message), 403 for a path out of
/// the folder or an output onto a text, a font or a set's data file.
StudioCommand ReadCommand(std::string_view body, const ProjectFolder& folder);

/// The studio's requests, answered for a project folder (the current
/// directory) by running pixtrel-extract.
class Studio {
 public:
  /// A studio for `folder` that runs `extract_program`, its runs' files in
  /// a folder of its own under `temporary_root`.
  Studio(const ProjectFolder& folder, std::string extract_program, const std::string& temporary_root);
  ~Studio();

  /// GET /api/options: the options' table and the formats', as the page
  /// builds its form from them.
  StudioAnswer Options() const;
  /// GET /api/fonts: the sets Pixtrel ships, the folder's sets and font
  /// files with their faces, and the installed fonts.
  StudioAnswer Fonts() const;
  /// GET /api/texts: the folder (its path) and its texts.
  StudioAnswer Texts() const;
  /// POST /api/preview: the picture `--png` draws of the run, in PNG, or
  /// with the run's messages and the picture's map in JSON.
  StudioAnswer Preview(std::string_view body);
  /// POST /api/export: runs the command in the folder; the files written,
  /// the command line and the pixtrel_add_glyphs call that make them.
  StudioAnswer Export(std::string_view body);
  /// POST /api/texts {"path", "text"}: writes a new text in UTF-8; never
  /// replaces a file.
  StudioAnswer SaveText(std::string_view body);

 private:
  /// A folder of its own for one run, removed when the run is done.
  std::string RunFolder();

  const ProjectFolder& folder_;
  std::string extract_program_;
  std::string temporary_;
  std::atomic<int> runs_{0};
};

/// The command line that runs `words` ("pixtrel-extract --format lvgl …"),
/// each word quoted as the system's command line needs.
std::string ShownCommandLine(const std::vector<CommandWord>& words);

/// The pixtrel_add_glyphs call that makes what `words` make, the options
/// it has keywords for by them, the rest in OPTIONS, the files written
/// left to it (a glyph stream it names after its text, in a folder of the
/// build: a comment says so, and its C names are kept by --name).
std::string CMakeCall(const StudioCommand& command);

}  // namespace pixtrel
