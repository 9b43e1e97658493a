#pragma once

#include <memory>

#include "formats/glyph_format.h"

namespace pixtrel {

/// A font for u8g2, `const uint8_t IDENT[] U8G2_FONT_SECTION("IDENT")` in
/// its font format (as its bdfconv writes it: a header of 23 bytes, the
/// glyphs below 0x100, then the Unicode glyphs behind their lookup table,
/// each glyph's bitmap run-length coded, its bounding box the glyph's ink),
/// in a C file that includes u8g2.h (or the header --include names:
/// u8g2_fonts.h for U8g2_for_Adafruit_GFX). It holds every character the runs
/// append a record for, once, in code-point order; u8g2_DrawUTF8 draws its
/// text on the baseline, and u8g2_GetAscent and u8g2_GetDescent give the
/// set's.
std::unique_ptr<GlyphFormat> MakeU8g2Format(const FormatRequest& request);

}  // namespace pixtrel
