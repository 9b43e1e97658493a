#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pixtrel {

/// The byte layout of a 16 x 16 glyph record of 32 bytes B[0..31]: which bit
/// of which byte holds the pixel p(x, y), x the column and y the row (0..15,
/// left to right, top to bottom), bit 7 the most significant.
enum class GlyphLayout {
  kRowMsb,     ///< "row-msb", the font's own: bit 7 - x mod 8 of B[2y + x div 8].
  kRowLsb,     ///< "row-lsb": bit x mod 8 of B[2y + x div 8] (XBM).
  kPageLsb,    ///< "page-lsb": bit y mod 8 of B[16 (y div 8) + x] (SSD1306 pages).
  kPageMsb,    ///< "page-msb": bit 7 - y mod 8 of B[16 (y div 8) + x].
  kColumnLsb,  ///< "column-lsb": bit y mod 8 of B[2x + y div 8] (SSD1306 vertical addressing).
  kColumnMsb,  ///< "column-msb": bit 7 - y mod 8 of B[2x + y div 8].
};

/// How records are laid out, and whether every bit is flipped (for e-paper
/// controllers where 0 is black).
struct RecordFormat {
  GlyphLayout layout = GlyphLayout::kRowMsb;
  bool invert = false;
};

/// The layout named `name` ("row-msb", ...), or none.
std::optional<GlyphLayout> ParseLayout(std::string_view name);

/// The name of `layout`.
const char* LayoutName(GlyphLayout layout);

/// Where `layout` keeps the pixel (x, y), in C: "bit 7 - x % 8 of byte 2 * y + x / 8".
const char* LayoutRule(GlyphLayout layout);

/// Rewrites `record`, 32 bytes in the font's own layout, into `format`.
void FormatRecord(uint8_t* record, RecordFormat format);

/// True when the pixel at column `x`, row `y` of `record`, 32 bytes in
/// `format`, is inked.
bool Inked(const uint8_t* record, RecordFormat format, int x, int y);

}  // namespace pixtrel
