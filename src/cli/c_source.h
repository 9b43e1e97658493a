#pragma once

#include <string>

#include "cli/glyph_collection.h"
#include "cli/glyph_layout.h"
#include "glyphdata/glyph_store.h"

namespace pixtrel {

/// What the C source of a run's records is to be.
struct CSourceRequest {
  std::string name;            ///< IDENT: the arrays are IDENT_glyphs, IDENT_lines, IDENT_text.
  bool header = false;         ///< A header: an include guard, and static const definitions.
  bool unique = false;         ///< Each distinct record once, the text as IDENT_text.
  std::string source;          ///< The source's name, for the leading comment.
  RecordFormat record_format;  ///< The layout the font's records are in.
};

/// The C source (C99, and C++11 as well) of the records `glyphs` collected,
/// taken from `font`: a leading comment that says how to draw them, then
/// `#include <stdint.h>` and the arrays IDENT_glyphs[N][32] (one record a
/// line, with a comment naming its character, CP936 code and line),
/// IDENT_lines[L][2] (uint16_t, or uint32_t when a value needs it: for each
/// line of the source, the index of its first record, or with `unique` of
/// its first entry of IDENT_text, and how many it has), and with `unique`
/// IDENT_text[M] (for each character, the index of its record).
std::string CSource(const CSourceRequest& request, const GlyphCollection& glyphs, const GlyphStore& font);

/// `path`'s file name without its extension, made a C identifier: a
/// character that is not ASCII becomes uXXXX (its code point), any other
/// that cannot be in one "_", and "glyphs_" goes before a name that would
/// start with no letter ("menu-v2.h" gives "menu_v2", "菜单.h" "u83DCu5355").
std::string IdentifierFor(const std::string& path);

}  // namespace pixtrel
