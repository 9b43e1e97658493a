#pragma once

#include <memory>

#include "formats/glyph_format.h"

namespace pixtrel {

/// A font for LVGL in its binary font file, as lv_binfont_create() and
/// lv_binfont_create_from_buffer() (9.x) and lv_font_load() (8.x) read it:
/// the tables head, cmap, loca and glyf, and kern when the font has pairs;
/// the same glyphs, bitmaps and kerning as --format lvgl writes.
std::unique_ptr<GlyphFormat> MakeLvglBinFormat(const FormatRequest& request);

}  // namespace pixtrel
