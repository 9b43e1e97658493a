#pragma once

#include <memory>

#include "formats/glyph_format.h"

namespace pixtrel {

/// A font for Adafruit GFX, a header as its fontconvert writes one:
/// IDENTBitmaps (each glyph's pixels one bit each, row after row, not
/// padded, the high bit first, from a byte of its own), IDENTGlyphs (a
/// GFXglyph a code point from the first to the last, a gap an empty glyph:
/// its bitmap's offset, width, height, advance, and its box's offset from
/// the cursor, yOffset one row below FreeType's top as fontconvert has it)
/// and `const GFXfont IDENT PROGMEM` against Adafruit's gfxfont.h, 1 bit a
/// pixel. Adafruit GFX draws bytes: the font holds U+0020 to U+00FF at most,
/// and its bitmaps the 64 KB a glyph's offset reaches.
std::unique_ptr<GlyphFormat> MakeGfxFormat(const FormatRequest& request);

}  // namespace pixtrel
