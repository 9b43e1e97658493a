#include "studio/project_folder.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "fontfile/font_face.h"
#include "glyphdata/font_set.h"
#include "platform/failure.h"
#include "platform/platform.h"
#include "platform/word_list.h"

namespace pixtrel {

namespace {

/// The extensions of the texts offered, lower case.
constexpr std::array<const char*, 14> kTextExtensions = {".txt",     ".csv",        ".tsv",  ".ini",  ".json",
                                                         ".po",      ".md",         ".xml",  ".yaml", ".yml",
                                                         ".strings", ".properties", ".lang", ".text"};

/// The extensions of the font files pixtrel-extract reads, lower case.
constexpr std::array<const char*, 9> kFontExtensions = {".ttf", ".otf", ".ttc",    ".otc",   ".woff",
                                                        ".bdf", ".pcf", ".pcf.gz", ".bdf.gz"};

constexpr int kDeepest = 4;
constexpr size_t kMostFiles = 1000;

template <size_t N>
bool EndsWithOneOf(const std::string& path, const std::array<const char*, N>& endings) {
  const std::string name = Lowercase(path.substr(NameStart(path)));
  return std::any_of(endings.begin(), endings.end(), [&](const char* ending) { return name.ends_with(ending); });
}

bool IsText(const std::string& path) { return EndsWithOneOf(path, kTextExtensions); }

bool IsFontFile(const std::string& path) { return EndsWithOneOf(path, kFontExtensions); }

bool IsSetDataFile(const std::string& path) {
  const std::string name = path.substr(NameStart(path));
  const std::vector<std::string>& names = DataFileNames();
  return std::find(names.begin(), names.end(), name) != names.end() && name != "LICENSE";
}

std::string Utf8Path(const std::filesystem::path& path) {
  const std::u8string text = path.generic_u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace

ProjectFolder::ProjectFolder(const std::string& root) {
  const std::optional<std::string> canonical = CanonicalPath(root);
  if (!canonical) throw NoSuchFileFailure(root);
  root_ = *canonical;
}

std::optional<std::string> ProjectFolder::Outside(const std::string& path) const {
  if (path.empty()) return std::string("\"\": no file named");
  if (path.find('\0') != std::string::npos) return "a path with a NUL character, which no file's name holds";
  if (IsPathSeparator(path[0]) || (path.size() > 1 && path[1] == ':'))
    return path + ": an absolute path; name it from the project folder";
  size_t start = 0;
  std::string existing;  // The longest part of the path that exists.
  for (;;) {
    const size_t end =
        std::find_if(path.begin() + static_cast<std::ptrdiff_t>(start), path.end(), IsPathSeparator) - path.begin();
    const std::string part = path.substr(start, end - start);
    if (part == "..") return path + ": \"..\" leads out of the project folder";
    if (RealDisk().KindOf(path.substr(0, end)) != FileKind::kNone) existing = path.substr(0, end);
    if (end == path.size()) break;
    start = end + 1;
  }
  if (existing.empty()) return std::nullopt;
  const std::optional<std::string> resolved = CanonicalPath(existing);
  if (!resolved) return path + ": a link to nothing";
  const bool inside =
      *resolved == root_ || (resolved->starts_with(root_) && resolved->size() > root_.size() &&
                             (IsPathSeparator((*resolved)[root_.size()]) || IsPathSeparator(root_.back())));
  if (!inside) return path + ": outside the project folder (a link leads to " + *resolved + ")";
  return std::nullopt;
}

bool ProjectFolder::IsProtected(const std::string& path) {
  return IsText(path) || IsFontFile(path) || IsSetDataFile(path);
}

FolderContents ProjectFolder::Contents() const {
  FolderContents contents;
  std::error_code error;
  namespace fs = std::filesystem;
  fs::recursive_directory_iterator walk(".", fs::directory_options::skip_permission_denied, error), end;
  size_t looked_at = 0;
  for (; !error && walk != end && looked_at < kMostFiles; walk.increment(error)) {
    const std::string name = Utf8Path(walk->path().filename());
    const bool directory = walk->is_directory(error);
    if (name.starts_with(".") || (directory && walk.depth() >= kDeepest)) {
      if (directory) walk.disable_recursion_pending();
      continue;
    }
    if (directory || !walk->is_regular_file(error)) continue;
    ++looked_at;
    const std::string path = Utf8Path(walk->path().lexically_relative("."));
    if (IsText(path)) contents.texts.push_back(path);
    if (name == DataFileNames().front())
      contents.sets.push_back(Utf8Path(walk->path().lexically_relative(".").parent_path()));
    if (!IsFontFile(path)) continue;
    try {
      const SharedFontBytes bytes = FontFace::Read(path);
      for (CatalogFace& face : FontFace::Faces(path, bytes->data(), bytes->size())) contents.font_faces.push_back(face);
    } catch (const Failure&) {
      // No font after all: not offered.
    }
  }
  std::sort(contents.texts.begin(), contents.texts.end());
  std::sort(contents.sets.begin(), contents.sets.end());
  std::sort(contents.font_faces.begin(), contents.font_faces.end(), [](const CatalogFace& a, const CatalogFace& b) {
    return std::tie(a.path, a.index) < std::tie(b.path, b.index);
  });
  return contents;
}

}  // namespace pixtrel
