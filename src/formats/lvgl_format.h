#pragma once

#include <memory>

#include "formats/glyph_format.h"

namespace pixtrel {

/// A font for LVGL, in its own built-in format (lv_font_fmt_txt, as LVGL's
/// bundled fonts are), C that compiles with LVGL 8.3 and 9.x: glyph_bitmap
/// at the source's depth (1, 2, 4 or 8 bits a pixel), plain or, asked for,
/// in LVGL's compression (with an #error unless lv_conf.h sets
/// LV_USE_FONT_COMPRESSED, and one naming LV_FONT_FMT_TXT_LARGE when the
/// bitmaps need it); glyph_dsc (entry 0 reserved), each glyph trimmed to
/// its ink and advancing as the source says; cmaps; the source's kerning
/// pairs among the font's characters as a pair table, unless left out; the
/// lv_font_fmt_txt_dsc_t; and `const lv_font_t IDENT`, falling back on the
/// font --fallback names. It holds every character the runs append a
/// record for, and those added, once, in code-point order.
std::unique_ptr<GlyphFormat> MakeLvglFormat(const FormatRequest& request);

}  // namespace pixtrel
