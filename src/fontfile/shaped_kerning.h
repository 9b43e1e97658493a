#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "extract/glyph_source.h"
#include "fontfile/font_face.h"

namespace pixtrel {

/// The kerning pairs among `code_points` (ascending; all are kerned) of the
/// face `face_index` of the font file `path`, whose bytes are `data`, at
/// `size` pixels, as its GPOS table's kern feature positions them (HarfBuzz
/// shapes each pair): how much the two glyphs' advances together differ
/// from their own, in 1/16 pixels. None when the face has no GPOS kern
/// feature (a legacy kern table, or no kerning at all).
std::optional<std::vector<KerningPair>> ShapedKerning(const std::string& path, const FontFileBytes& data,
                                                      int face_index, int size,
                                                      const std::vector<uint32_t>& code_points);

}  // namespace pixtrel
