#pragma once

// The fonts installed on the system, as its font catalogue tells of them.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace pixtrel {

/// A face of an installed font.
struct CatalogFace {
  std::string path;                   ///< The font file.
  int index = 0;                      ///< The face's number in it.
  std::vector<std::string> families;  ///< Its family's names: in English, and in other languages.
  std::string style;
  bool hanzi = false, kana = false, hangul = false;  ///< It has 中文, あア, 한가.
  std::vector<int> strikes;                          ///< The pixel sizes of its bitmap strikes, where known.
};

/// True where the system has a font catalogue (fontconfig, loaded when first
/// asked for); on Windows, none, and the fonts lie in FontDirectories.
bool HasFontCatalog();

/// The faces the catalogue lists, with the scripts they hold when
/// `with_scripts`. Throws Failure when the catalogue cannot be read.
std::vector<CatalogFace> CatalogFaces(bool with_scripts);

/// The directories installed fonts lie in where no catalogue lists them:
/// on Windows, the system's font folder and the user's; none elsewhere.
std::vector<std::string> FontDirectories();

/// The paths of the regular files in the directory `dir`, in name order;
/// none when there is no such directory.
std::vector<std::string> FilesIn(const std::string& dir);

/// A font file mapped whole into memory, read-only, so that FreeType reads
/// in place what it needs rather than the whole file.
struct MappedFont {
  std::unique_ptr<MappedFile> file;
  size_t size;
};

/// The font file `path` mapped; none when it cannot be (no regular file, an
/// empty one), and the caller reads it.
std::optional<MappedFont> MapFont(const std::string& path);

}  // namespace pixtrel
