#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/font_catalog.h"

namespace pixtrel {

/// The name a face is listed and found by: its family's name in English
/// (the first in ASCII), and its style.
std::string ListedName(const CatalogFace& face);

/// The faces of the installed fonts, ordered by their names: as the
/// system's catalogue lists them, or where there is none (Windows), as
/// FreeType reads the files of its font folders. With `with_scripts`, each
/// says whether it holds hanzi, kana and Hangul, and its bitmap strikes.
std::vector<CatalogFace> InstalledFaces(bool with_scripts);

/// The installed face `name` names, in any letter case: a family, the
/// regular style before the others, or a family and its style
/// ("Noto Sans CJK TC Bold"), or the name of an installed font file
/// ("msyh.ttc", its face 0). None when none is so named.
std::optional<CatalogFace> FindInstalledFace(const std::string& name);

/// When the font file `path` is a collection of one family's faces for
/// several regions (Noto Sans CJK JP, KR, SC, TC and HK), what its first
/// face draws and which face draws simplified Chinese: "face 0 is Noto
/// Sans CJK JP (Japanese forms); --face \"Noto Sans CJK SC\" draws
/// simplified Chinese forms"; none for any other file.
std::optional<std::string> RegionalFaceAdvice(const std::string& path);

}  // namespace pixtrel
