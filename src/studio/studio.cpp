#include "studio/studio.h"

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli/depfile.h"
#include "fontfile/installed_fonts.h"
#include "glyphdata/font_set.h"
#include "glyphdata/output_path.h"
#include "platform/failure.h"
#include "platform/other_programs.h"
#include "platform/platform.h"
#include "shipped_sets.h"

namespace pixtrel {

namespace {

using Json = nlohmann::json;

/// `json` written out, a character that is no UTF-8 replaced.
std::string Dump(const Json& json) { return json.dump(-1, ' ', false, Json::error_handler_t::replace); }

StudioAnswer JsonAnswer(const Json& json, int status = 200) { return {status, "application/json", Dump(json)}; }

StudioAnswer Refused(const StudioRefusal& refusal) { return JsonAnswer({{"error", refusal.message}}, refusal.status); }

std::string Base64(std::string_view bytes) {
  static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t group = static_cast<uint8_t>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) group |= static_cast<uint8_t>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) group |= static_cast<uint8_t>(bytes[i + 2]);
    for (size_t k = 0; k < 4; ++k) text += i + k <= bytes.size() ? kDigits[(group >> (18 - 6 * k)) & 63] : '=';
  }
  return text;
}

std::filesystem::path FileSystemPath(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

/// The whole file `path`; none when it cannot be read.
std::optional<std::string> FileText(const std::string& path) {
  try {
    return RealDisk().OpenForReading(path)->ReadAll();
  } catch (const Failure&) {
    return std::nullopt;
  }
}

/// The strings of the JSON array `json`; throws StudioRefusal 400 for another value.
std::vector<std::string> Strings(const Json& json, const char* what) {
  if (!json.is_array()) throw StudioRefusal{400, std::string(what) + " is no array of strings"};
  std::vector<std::string> strings;
  for (const Json& item : json) {
    if (!item.is_string()) throw StudioRefusal{400, std::string(what) + " is no array of strings"};
    strings.push_back(item.get<std::string>());
  }
  return strings;
}

Json ParsedBody(std::string_view body) {
  Json json = Json::parse(body, nullptr, false);
  if (json.is_discarded() || !json.is_object()) throw StudioRefusal{400, "the request is no JSON object"};
  return json;
}

/// The glyph file a run of `options` writes, and the files it writes beside it.
std::vector<std::string> GlyphFiles(const Options& options) {
  std::string output = options.output.value_or("");
  if (output.empty() && options.sources.size() == 1)
    output = CommandOutputPathFor(options.sources.front().path, options.format->extension);
  if (output.empty() || output == "-") return {};
  std::vector<std::string> files = CompanionsOf(*options.format, output);
  files.insert(files.begin(), output);
  return files;
}

/// Holds the file `path` an option or a SOURCE names to the folder.
void CheckPath(const ProjectFolder& folder, const std::string& path) {
  if (path == "-") return;
  if (std::optional<std::string> outside = folder.Outside(path)) throw StudioRefusal{403, *outside};
}

/// Holds a file a run writes to the folder, and keeps it off the files no output replaces.
void CheckOutput(const ProjectFolder& folder, const std::string& path) {
  CheckPath(folder, path);
  if (path == "-" || RealDisk().KindOf(path) == FileKind::kNone) return;
  // A link is followed when the file is replaced: what it leads to counts.
  const std::string replaced = CanonicalPath(path).value_or(path);
  if (ProjectFolder::IsProtected(path) || ProjectFolder::IsProtected(replaced))
    throw StudioRefusal{403, path + ": a text, a font or a font set's file, which no output replaces"};
}

void CheckWord(const ProjectFolder& folder, const CommandWord& word) {
  const FileUse use = word.row == nullptr ? FileUse::kReads : word.row->file;
  if (use == FileUse::kWrites) return CheckOutput(folder, word.value);
  if (use != FileUse::kReads) return;
  // A bare name that is no file of the folder names an installed font or a shipped set.
  const bool bare_name =
      word.row != nullptr && NameStart(word.value) == 0 && RealDisk().KindOf(word.value) == FileKind::kNone;
  if (!bare_name) CheckPath(folder, word.value);
}

/// The abilities' bits, by their names in the page.
Json FormatJson(const FormatKind& kind) {
  Json depths = Json::array(), compressed = Json::array(), companions = Json::array();
  for (int bpp = 1; bpp <= 8; ++bpp) {
    if (kind.TakesDepth(bpp, false)) depths.push_back(bpp);
    if (kind.TakesDepth(bpp, true)) compressed.push_back(bpp);
  }
  for (const char* companion : kind.companions)
    if (companion != nullptr) companions.push_back(companion);
  return {{"name", kind.name},
          {"extension", kind.extension},
          {"help", kind.help},
          {"font", kind.IsFont()},
          {"abilities", kind.abilities},
          {"depths", depths},
          {"compressed_depths", compressed},
          {"default_depth", kind.default_depth},
          {"companions", companions}};
}

/// True when `row` asks for something other than a run (--help, --list-fonts), as the parser reads it.
bool IsAction(const OptionRow& row) {
  std::vector<std::string> arguments = {"pixtrel-extract", "--" + std::string(row.name)};
  if (row.argument != nullptr) arguments.push_back("x");
  const ParsedCommandLine parsed = ParseOptions(arguments);
  return parsed.options && parsed.options->action != pixtrel::Options::Action::kExtract;
}

Json OptionJson(const OptionRow& row) {
  Json choices = Json::array();
  if (row.choices != nullptr)
    for (const OptionChoice& choice : row.choices())
      choices.push_back({{"name", choice.name}, {"aliases", choice.aliases}, {"what", choice.what}});
  static constexpr const char* kUses[] = {"", "reads", "writes"};
  auto text = [](const char* maybe) { return maybe != nullptr ? Json(maybe) : Json(); };
  return {{"name", "--" + std::string(row.name)},
          {"letter", row.letter != 0 ? Json(std::string(1, row.letter)) : Json()},
          {"argument", text(row.argument)},
          {"help", row.help},
          {"takes", row.Takes()},
          {"choices", choices},
          {"default", text(row.default_value)},
          {"low", row.low},
          {"high", row.high},
          {"file", kUses[static_cast<int>(row.file)]},
          {"needs_font", row.needs_font},
          {"needs_ability", row.needs_ability},
          {"action", IsAction(row)}};
}

Json FaceJson(const CatalogFace& face) {
  return {{"name", ListedName(face)}, {"path", face.path},     {"face", face.index},     {"hanzi", face.hanzi},
          {"kana", face.kana},        {"hangul", face.hangul}, {"strikes", face.strikes}};
}

/// The installed faces, read once.
const std::vector<CatalogFace>& Installed() {
  static const std::vector<CatalogFace> faces = [] {
    try {
      return InstalledFaces(true);
    } catch (const Failure&) {
      return std::vector<CatalogFace>();
    }
  }();
  return faces;
}

/// Removes the folder `path` and everything in it, as far as it can.
void RemoveFolder(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove_all(FileSystemPath(path), ignored);
}

/// Removes the folder of a run when the run is done.
struct RunFolderRemover {
  std::string path;
  ~RunFolderRemover() { RemoveFolder(path); }
};

/// `argument` as CMake reads it back as one argument.
std::string CMakeQuoted(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n;\"\\()#$") == std::string::npos) return argument;
  std::string quoted = "\"";
  for (char c : argument) {
    if (c == '"' || c == '\\' || c == '$') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

std::string Messages(const ProgramResult& result) { return result.errors + result.output; }

StudioAnswer FailedRun(const ProgramResult& result) {
  return JsonAnswer({{"error", Messages(result)}, {"status", result.status}}, 422);
}

}  // namespace

StudioCommand ReadCommand(std::string_view body, const ProjectFolder& folder) {
  const Json json = ParsedBody(body);
  std::vector<std::string> arguments = Strings(json.value("args", Json::array()), "args");
  arguments.insert(arguments.begin(), "pixtrel-extract");
  const bool has_text = json.contains("text");
  if (has_text && !json["text"].is_string()) throw StudioRefusal{400, "text is no string"};
  if (has_text) {
    // The text comes on standard input, which needs an output: one the args may name again.
    arguments.insert(arguments.begin() + 1, {"-o", "-"});
    arguments.push_back("-");
  }
  ParsedCommandLine parsed = ParseOptions(arguments);
  if (!parsed.options) throw StudioRefusal{400, parsed.error};
  if (has_text) {
    parsed.words.erase(parsed.words.begin());
    const bool output_named = std::any_of(parsed.words.begin(), parsed.words.end(),
                                          [](const CommandWord& word) { return word.row && word.row->letter == 'o'; });
    if (!output_named) parsed.options->output.reset();
  }
  const Json wants_json = json.value("json", Json(false));
  if (!wants_json.is_boolean()) throw StudioRefusal{400, "json is no true or false"};
  StudioCommand command{*parsed.options, parsed.words, std::nullopt, wants_json.get<bool>()};
  if (command.options.action != Options::Action::kExtract)
    throw StudioRefusal{400, "the studio runs texts through the command; it lists and shows nothing"};
  if (has_text) {
    if (std::count_if(command.words.begin(), command.words.end(), [](const CommandWord& word) { return !word.row; }) >
        1)
      throw StudioRefusal{400, "a text and a SOURCE: give one of them"};
    command.text = json["text"].get<std::string>();
  }
  for (const CommandWord& word : command.words) CheckWord(folder, word);
  for (const std::string& file : GlyphFiles(command.options)) CheckOutput(folder, file);
  return command;
}

Studio::Studio(const ProjectFolder& folder, std::string extract_program, const std::string& temporary_root)
    : folder_(folder),
      extract_program_(std::move(extract_program)),
      temporary_(JoinPath(temporary_root, "pixtrel-studio-" + SecretToken(8))) {
  RealDisk().MakeDirectories(temporary_);
}

Studio::~Studio() { RemoveFolder(temporary_); }

std::string Studio::RunFolder() {
  std::string path = JoinPath(temporary_, std::to_string(runs_++));
  RealDisk().MakeDirectories(path);
  return path;
}

StudioAnswer Studio::Options() const {
  Json options = Json::array(), formats = Json::array();
  for (const OptionRow& row : OptionTable()) options.push_back(OptionJson(row));
  for (const FormatKind& kind : Formats()) formats.push_back(FormatJson(kind));
  return JsonAnswer({{"options", options}, {"formats", formats}});
}

StudioAnswer Studio::Fonts() const {
  const FolderContents contents = folder_.Contents();
  Json sets = Json::array(), files = Json::array(), installed = Json::array();
  for (const char* name : kShippedSetNames) sets.push_back(name);
  for (const CatalogFace& face : contents.font_faces) files.push_back(FaceJson(face));
  for (const CatalogFace& face : Installed()) installed.push_back(FaceJson(face));
  return JsonAnswer(
      {{"shipped_sets", sets}, {"folder_sets", contents.sets}, {"files", files}, {"installed", installed}});
}

StudioAnswer Studio::Texts() const {
  return JsonAnswer({{"folder", folder_.root()}, {"texts", folder_.Contents().texts}});
}

StudioAnswer Studio::Preview(std::string_view body) try {
  const StudioCommand command = ReadCommand(body, folder_);
  const pixtrel::Options& options = command.options;
  const RunFolderRemover run{RunFolder()};
  // Every file the run writes goes to the run's folder; a picture, and its map, whether asked for or not.
  std::string picture = JoinPath(run.path, "picture.png"), map = JoinPath(run.path, "map.json");
  std::vector<CommandWord> words;
  for (const CommandWord& word : command.words) {
    if (word.row == nullptr || word.row->file != FileUse::kWrites) {
      words.push_back(word);
      continue;
    }
    const std::string moved =
        JoinPath(run.path, std::to_string(words.size()) + "-" + word.value.substr(NameStart(word.value)));
    if (word.value == options.png) picture = moved;
    if (word.value == options.png_map) map = moved;
    words.push_back({word.row, moved});
  }
  std::vector<std::string> arguments = CommandArguments(words);
  if (!options.output)
    arguments.insert(arguments.end(), {"-o", JoinPath(run.path, std::string("glyphs.") + options.format->extension)});
  if (!options.png) arguments.insert(arguments.end(), {"--png", picture});
  if (!options.png_map) arguments.insert(arguments.end(), {"--png-map", map});
  const ProgramResult result = RunProgram(extract_program_, arguments, command.text.value_or(""));
  const std::optional<std::string> png = FileText(picture);
  if (result.status != 0 || !png) return FailedRun(result);
  if (!command.wants_json) return {200, "image/png", *png};
  // Its warnings and what it lists: "Over !" on standard output tells nothing the picture does not.
  const Json picture_map = Json::parse(FileText(map).value_or("null"), nullptr, false);
  return JsonAnswer(
      {{"png", Base64(*png)}, {"map", picture_map}, {"messages", result.errors}, {"status", result.status}});
} catch (const StudioRefusal& refusal) {
  return Refused(refusal);
}

StudioAnswer Studio::Export(std::string_view body) try {
  const StudioCommand command = ReadCommand(body, folder_);
  if (command.text) throw StudioRefusal{400, "an export runs on the folder's texts: save the text first"};
  if (command.options.ToStandardOutput()) throw StudioRefusal{400, "-o -: an export writes files; give -o FILE"};
  const RunFolderRemover run{RunFolder()};
  const std::string depfile = command.options.depfile.value_or(JoinPath(run.path, "written.d"));
  std::vector<std::string> arguments = CommandArguments(command.words);
  if (!command.options.depfile) arguments.insert(arguments.end(), {"--depfile", depfile});
  const ProgramResult result = RunProgram(extract_program_, arguments, "");
  if (result.status != 0) return FailedRun(result);
  Json files = Json::array();
  for (const std::string& file : DepfileTargets(FileText(depfile).value_or(""))) {
    std::error_code error;
    files.push_back({{"path", file}, {"bytes", std::filesystem::file_size(FileSystemPath(file), error)}});
  }
  if (command.options.depfile) files.push_back({{"path", depfile}, {"bytes", FileText(depfile).value_or("").size()}});
  return JsonAnswer({{"files", files},
                     {"command", ShownCommandLine(command.words)},
                     {"cmake", CMakeCall(command)},
                     {"messages", Messages(result)},
                     {"status", result.status}});
} catch (const StudioRefusal& refusal) {
  return Refused(refusal);
}

StudioAnswer Studio::SaveText(std::string_view body) try {
  const Json json = ParsedBody(body);
  if (!json.value("path", Json()).is_string() || !json.value("text", Json()).is_string())
    throw StudioRefusal{400, "a text to save needs a path and a text, both strings"};
  const std::string path = json["path"], text = json["text"];
  CheckPath(folder_, path);
  if (path == "-" || !ProjectFolder::IsProtected(path) || NameStart(path) == path.size())
    throw StudioRefusal{400, path + ": name a text (.txt, .csv, .json, ...)"};
  Disk& disk = RealDisk();
  if (disk.KindOf(path) != FileKind::kNone) throw StudioRefusal{409, path + ": a file is there already"};
  try {
    if (NameStart(path) > 0) disk.MakeDirectories(path.substr(0, NameStart(path) - 1));
    TemporaryFile file = disk.CreateTemporary(path);
    file.sink->Write(text.data(), text.size());
    file.sink->Close();
    if (disk.KindOf(path) != FileKind::kNone) {
      disk.Remove(file.path);
      throw StudioRefusal{409, path + ": a file is there already"};
    }
    disk.Rename(file.path, path);
  } catch (const Failure& failure) {
    throw StudioRefusal{500, failure.what()};
  }
  return JsonAnswer({{"path", path}, {"bytes", text.size()}});
} catch (const StudioRefusal& refusal) {
  return Refused(refusal);
}

std::string ShownCommandLine(const std::vector<CommandWord>& words) {
  std::string line = "pixtrel-extract";
  for (const std::string& argument : CommandArguments(words)) line += " " + QuotedArgument(argument);
  return line;
}

std::string CMakeCall(const StudioCommand& command) {
  const pixtrel::Options& options = command.options;
  const std::vector<std::string> outputs = GlyphFiles(options);
  std::string name = options.name.value_or(outputs.empty() ? "glyphs" : IdentifierFor(outputs.front()));
  std::vector<std::string> sources, fonts, faces, extra;
  std::vector<std::pair<std::string, std::string>> keyed;
  bool any_face = false;
  for (const CommandWord& word : command.words) {
    if (word.row == nullptr) {
      sources.push_back(word.value);
    } else if (word.row->file == FileUse::kWrites) {
      continue;
    } else if (word.row->cmake == nullptr || (std::string(word.row->cmake) == "NAME" && !options.format->IsFont())) {
      extra.push_back("--" + std::string(word.row->name));
      if (word.row->argument != nullptr) extra.push_back(word.value);
    } else if (std::string(word.row->cmake) == "NAME") {
      continue;  // The call's first argument.
    } else if (std::string(word.row->cmake) == "FONT") {
      fonts.push_back(word.value);
      faces.push_back("0");
    } else if (std::string(word.row->cmake) == "FACE" && !faces.empty()) {
      faces.back() = word.value;
      any_face = true;
    } else {
      keyed.emplace_back(word.row->cmake, word.value);
    }
  }
  auto list = [](const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += " " + CMakeQuoted(item);
    return text;
  };
  // The function names a text's glyph stream after the text: its C names stay those of the export.
  const bool named_after_text = !options.format->IsFont() && !sources.empty();
  if (named_after_text && options.format->Can(kCNames) && !options.name && !outputs.empty())
    extra.insert(extra.end(), {"--name", IdentifierFor(outputs.front())});
  std::string call =
      named_after_text ? "# Writes " + name + "/STEM." + options.format->extension + " for each text STEM.\n" : "";
  call += "pixtrel_add_glyphs(" + name + "\n  SOURCES" + list(sources);
  for (const auto& [keyword, value] : keyed) call += "\n  " + keyword + " " + CMakeQuoted(value);
  if (!fonts.empty()) call += "\n  FONT" + list(fonts);
  if (any_face) call += "\n  FACE" + list(faces);
  if (!extra.empty()) call += "\n  OPTIONS" + list(extra);
  return call + ")";
}

}  // namespace pixtrel
