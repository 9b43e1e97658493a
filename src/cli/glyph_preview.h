#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "glyphdata/glyph_layout.h"

namespace pixtrel {

/// Draws glyph records as text art in UTF-8: a glyph is 16 columns by 8
/// lines of Unicode half blocks, each line two pixel rows; as many glyphs
/// stand side by side as `columns` allows (always at least one), and each
/// band of them is followed by the next. `records` holds whole records in
/// `format`.
std::string DrawGlyphs(std::string_view records, int columns, RecordFormat format = {});

/// Draws the glyph file `path` on `out` as DrawGlyphs does, a band at a
/// time. Throws Failure naming the path when it cannot be read or its length
/// is not a multiple of the record size.
void DrawGlyphFile(const std::string& path, int columns, std::FILE* out, RecordFormat format = {});

}  // namespace pixtrel
