#pragma once

#include <memory>

#include "formats/glyph_format.h"

namespace pixtrel {

/// A smooth font (.vlw) as TFT_eSPI's and LovyanGFX's loadFont() read it,
/// as Processing writes it: a header of six big-endian 32-bit words (glyph
/// count, version 11, size, 0, ascent, descent), then seven a glyph (code
/// point, height, width, advance, top above the baseline, left offset, 0) in
/// ascending code point, then each glyph's 8-bit coverage row by row, then
/// the font's name and PostScript name (Java's writeUTF) and whether it is
/// smoothed. To a file of another name than ".h" the bytes themselves; to
/// ".h", the same bytes as `const uint8_t IDENT[] PROGMEM` (PROGMEM defined
/// away where the platform lacks it), for loadFont(IDENT). It holds every
/// character the runs append a record for up to U+FFFF, the coverage of
/// deeper or shallower glyphs scaled to 8 bits.
std::unique_ptr<GlyphFormat> MakeVlwFormat(const FormatRequest& request);

}  // namespace pixtrel
