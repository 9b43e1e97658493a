#include "fontfile/installed_fonts.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

#include "fontfile/font_face.h"
#include "platform/platform.h"
#include "platform/word_list.h"

namespace pixtrel {

namespace {

bool IsAscii(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
}

/// The faces of the font files in the system's font folders.
std::vector<CatalogFace> FacesInFolders() {
  std::vector<CatalogFace> faces;
  for (const std::string& dir : FontDirectories()) {
    for (const std::string& path : FilesIn(dir)) {
      // Mapped, not read: FreeType looks at a font's tables of names and characters only.
      const std::optional<MappedFont> mapped = MapFont(path);
      if (!mapped) continue;
      std::vector<CatalogFace> found = FontFace::Faces(path, mapped->file->data(), mapped->size);
      faces.insert(faces.end(), found.begin(), found.end());
    }
  }
  return faces;
}

/// The faces of the font file `path`, read from it mapped; none when it cannot be.
std::vector<CatalogFace> FacesOfFile(const std::string& path) {
  const std::optional<MappedFont> mapped = MapFont(path);
  return mapped ? FontFace::Faces(path, mapped->file->data(), mapped->size) : std::vector<CatalogFace>();
}

/// The regions whose forms a face's family name may end in, and what they are.
constexpr std::pair<const char*, const char*> kRegions[] = {{" JP", "Japanese"},
                                                            {" KR", "Korean"},
                                                            {" SC", "simplified Chinese"},
                                                            {" TC", "traditional Chinese"},
                                                            {" HK", "Hong Kong Chinese"}};

/// The region `family` ends in, and the family without it; none when it ends in none.
std::optional<std::pair<const char*, std::string>> RegionOf(const std::string& family) {
  for (const auto& [tag, what] : kRegions)
    if (family.ends_with(tag)) return std::pair(what, family.substr(0, family.size() - std::strlen(tag)));
  return std::nullopt;
}

/// `faces` (of a catalogue, which does not tell of the strikes in outline
/// fonts) with their strikes, as FreeType finds them, each file mapped once.
void AddStrikes(std::vector<CatalogFace>& faces) {
  std::map<std::string, std::vector<CatalogFace>> found;  // By file.
  for (CatalogFace& face : faces) {
    auto [at, fresh] = found.try_emplace(face.path);
    if (fresh) {
      at->second = FacesOfFile(face.path);
    }
    for (const CatalogFace& read : at->second)
      if (read.index == face.index) face.strikes = read.strikes;
  }
}

/// How near `style` is to the regular one: 0 for it, more the further.
int Irregularity(const std::string& style) {
  const std::string lower = Lowercase(style);
  for (const char* regular : {"regular", "book", "normal", "roman", "medium", ""})
    if (lower == regular) return 0;
  return 1;
}

}  // namespace

std::string ListedName(const CatalogFace& face) {
  const auto english = std::find_if(face.families.begin(), face.families.end(), IsAscii);
  const std::string family = english != face.families.end() ? *english
                             : face.families.empty()        ? "?"
                                                            : face.families.front();
  return face.style.empty() ? family : family + " " + face.style;
}

std::vector<CatalogFace> InstalledFaces(bool with_scripts) {
  std::vector<CatalogFace> faces = HasFontCatalog() ? CatalogFaces(with_scripts) : FacesInFolders();
  if (with_scripts && HasFontCatalog()) AddStrikes(faces);
  std::sort(faces.begin(), faces.end(), [](const CatalogFace& a, const CatalogFace& b) {
    return std::pair(Lowercase(ListedName(a)), std::pair(a.path, a.index)) <
           std::pair(Lowercase(ListedName(b)), std::pair(b.path, b.index));
  });
  return faces;
}

std::optional<std::string> RegionalFaceAdvice(const std::string& path) {
  const std::vector<CatalogFace> faces = FacesOfFile(path);
  if (faces.size() < 2 || faces.front().families.empty()) return std::nullopt;
  const std::string& first = faces.front().families.front();
  const auto region = RegionOf(first);
  if (!region || std::string_view(region->first) == "simplified Chinese") return std::nullopt;
  for (const CatalogFace& face : faces) {
    if (face.families.empty()) continue;
    const auto other = RegionOf(face.families.front());
    if (other && other->second == region->second && std::string_view(other->first) == "simplified Chinese")
      return "face 0 is " + first + " (" + region->first + " forms); --face \"" + face.families.front() +
             "\" draws simplified Chinese forms";
  }
  return std::nullopt;
}

std::optional<CatalogFace> FindInstalledFace(const std::string& name) {
  const std::string wanted = Lowercase(name);
  // A file of the font folders, found without reading every font there.
  for (const std::string& dir : FontDirectories())
    for (const std::string& path : FilesIn(dir))
      if (Lowercase(path.substr(NameStart(path))) == wanted)
        return CatalogFace{path, 0, {}, "", false, false, false, {}};
  std::optional<CatalogFace> best;
  int best_rank = 3;  // 0 a file of that name, 1 the family in its regular style, 2 in another.
  for (const CatalogFace& face : InstalledFaces(false)) {
    if (Lowercase(face.path.substr(NameStart(face.path))) == wanted && face.index == 0) return face;
    for (const std::string& family : face.families) {
      const std::string lower = Lowercase(family);
      if (wanted == lower + " " + Lowercase(face.style)) return face;
      const int rank = 1 + Irregularity(face.style);
      if (wanted == lower && rank < best_rank) best = face, best_rank = rank;
    }
  }
  return best;
}

}  // namespace pixtrel
