#pragma once

#include <memory>
#include <string>
#include <vector>

#include "formats/glyph_format.h"
#include "formats/lvgl_font.h"

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

/// What an LVGL C font whose bitmaps lie elsewhere (external flash) holds
/// in place of them.
struct LvglExternalBitmaps {
  std::string definitions;  ///< C after the descriptors: what reads a glyph's bitmap, its get_glyph_bitmap.
  std::string get_bitmap;   ///< The name of that get_glyph_bitmap.
};

/// "4 bits a pixel, compressed", of the font `request` asks for.
std::string LvglDetails(const FormatRequest& request);

/// How firmware draws with the LVGL font `ident`, for a heading.
std::string LvglUse(const std::string& ident);

/// The C source of the LVGL font `font` of `glyphs` that `request` asks
/// for, after `heading`: its bitmaps (unless `external` says where they lie
/// instead), descriptors, character maps, kerning, lv_font_fmt_txt_dsc_t
/// and `const lv_font_t IDENT`.
std::string LvglCSource(const FormatRequest& request, const std::string& heading, const std::vector<FontGlyph>& glyphs,
                        const LvglFont& font, const LvglExternalBitmaps* external);

}  // namespace pixtrel
