#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "extract/glyph_source.h"
#include "formats/bit_writer.h"
#include "formats/glyph_format.h"
#include "formats/line_layout.h"

namespace pixtrel {

/// A character map of an LVGL font: the glyphs from `first` on, for code
/// points from `start` on, listed when sparse.
struct LvglCharacterMap {
  uint32_t start;
  uint32_t length;               ///< The code points it spans.
  size_t first;                  ///< The index of its first glyph among the font's (from 0, before the reserved one).
  std::vector<uint32_t> sparse;  ///< Each code point less `start`; empty for a run (format 0).
};

/// A glyph's descriptor in an LVGL font (lv_font_fmt_txt_glyph_dsc_t).
struct LvglGlyph {
  uint32_t bitmap_index;  ///< Where its bitmap starts in the font's bitmaps.
  uint32_t bitmap_size;   ///< Its bytes there.
  uint32_t bitmap_bits;   ///< The bits of those bytes it takes.
  int adv_w;              ///< In 1/16 pixels.
  int box_w, box_h, ofs_x, ofs_y;
};

/// How LVGL's fonts keep their bitmaps (lv_font_fmt_txt_bitmap_format_t).
enum class LvglBitmaps : uint8_t { kPlain = 0, kCompressed = 1, kCompressedNoPrefilter = 2 };

/// An LVGL font as its formats (the C source and the binary file) hold it,
/// of glyphs in code-point order.
struct LvglFont {
  int bpp = 1;
  LvglBitmaps bitmap_format = LvglBitmaps::kPlain;
  std::vector<uint8_t> bitmaps;   ///< Every glyph's bitmap, one after another.
  std::vector<LvglGlyph> glyphs;  ///< In the order of `code_points`; glyph id k + 1 is glyph k.
  std::vector<uint32_t> code_points;
  std::vector<LvglCharacterMap> maps;
  /// The kerning pairs, by glyph ids, sorted by left then right; each value
  /// in units of kern_scale / 16 of 1/16 pixels.
  struct Pair {
    uint32_t left, right;
    int8_t value;
  };
  std::vector<Pair> kerning;
  int kern_scale = 16;  ///< 12.4 fixed point.
};

/// The kerning pairs of an LVGL font, by glyph ids, and its kern_scale.
struct LvglKerning {
  std::vector<LvglFont::Pair> pairs;  ///< Sorted by left then right.
  int kern_scale = 16;
};

/// The kerning of an LVGL font of the glyphs of `code_points` (ascending;
/// glyph id k + 1 is code_points[k]), made of the pairs `kerning` (by code
/// point): each value in 1/16 pixels scaled to a signed byte by the font's
/// kern_scale, rounded; pairs that round to 0 left out.
LvglKerning MakeLvglKerning(const std::vector<uint32_t>& code_points, const std::vector<KerningPair>& kerning);

/// How LVGL (8.3 and 9.x) lays out a line of the font of `glyphs` (in
/// code-point order) that `request` asks for: each glyph's advance plus the
/// kerning its font holds for it and the next glyph, scaled by kern_scale
/// and rounded to whole pixels, as lv_font_get_glyph_width gives it and a
/// label adds it up; each glyph's box at its offsets from the pen on the
/// baseline. `glyphs` must outlive it.
std::unique_ptr<LineLayout> MakeLvglLayout(const FormatRequest& request, const std::vector<FontGlyph>& glyphs);

/// The code points of `glyphs`, in their order.
std::vector<uint32_t> CodePointsOf(const std::vector<FontGlyph>& glyphs);

/// The LVGL font of `glyphs` (in code-point order) at `bpp`, its bitmaps
/// packed (each glyph's pixels one after another, rows not padded, the
/// first pixel in the most significant bits), or with `compress` LVGL's
/// compression, with or without its prefilter, whichever makes the smaller
/// font; with the kerning pairs `kerning` (by code point) among them.
LvglFont MakeLvglFont(const std::vector<FontGlyph>& glyphs, int bpp, bool compress,
                      const std::vector<KerningPair>& kerning);

/// The LVGL font of `glyphs` (in code-point order) as `request` asks for
/// it: at its source's depth, compressed or not, with its source's kerning
/// pairs unless left out.
LvglFont LvglFontOf(const FormatRequest& request, const std::vector<FontGlyph>& glyphs);

/// The bitmap of `glyph` as LVGL's compression writes it: its pixels run-
/// length coded at `bpp` bits, each row XORed with the one above first when
/// `prefilter`, most significant bits first.
BitWriter CompressedBitmap(const FontGlyph& glyph, int bpp, bool prefilter);

}  // namespace pixtrel
