#pragma once

#include <memory>

#include "formats/glyph_format.h"

namespace pixtrel {

/// A font for LVGL, in its own built-in format (lv_font_fmt_txt, as LVGL's
/// bundled fonts are): glyph_bitmap, glyph_dsc (entry 0 reserved), cmaps and
/// the lv_font_fmt_txt_dsc_t, and `const lv_font_t IDENT`, one bit a pixel,
/// no kerning, no compression; each glyph trimmed to its ink, its advance
/// the record's width. It holds every character the runs append a record
/// for, once, in code-point order, and compiles with LVGL 8.3 and 9.x.
std::unique_ptr<GlyphFormat> MakeLvglFormat(const FormatRequest& request);

}  // namespace pixtrel
