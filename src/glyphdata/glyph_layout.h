#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pixtrel {

/// The size of a glyph's bitmap: `width` columns by `height` rows.
struct RecordShape {
  int width = 16;
  int height = 16;
  friend bool operator==(RecordShape, RecordShape) = default;
};

/// The byte layout of a glyph record B of width W and height H: which bit of
/// which byte holds the pixel p(x, y), x the column and y the row (from 0,
/// left to right, top to bottom), bit 7 the most significant. For a 16 x 16
/// record every layout takes 32 bytes.
enum class GlyphLayout {
  kRowMsb,     ///< "row-msb", the font's own: bit 7 - x mod 8 of B[ceil(W/8) y + x div 8].
  kRowLsb,     ///< "row-lsb": bit x mod 8 of B[ceil(W/8) y + x div 8] (XBM).
  kPageLsb,    ///< "page-lsb": bit y mod 8 of B[W (y div 8) + x] (SSD1306 pages).
  kPageMsb,    ///< "page-msb": bit 7 - y mod 8 of B[W (y div 8) + x].
  kColumnLsb,  ///< "column-lsb": bit y mod 8 of B[ceil(H/8) x + y div 8] (SSD1306 vertical addressing).
  kColumnMsb,  ///< "column-msb": bit 7 - y mod 8 of B[ceil(H/8) x + y div 8].
};

/// How records are laid out, whether every bit is flipped (for e-paper
/// controllers where 0 is black), and how many bits a pixel takes. At more
/// than 1 bit a pixel a record is rows of ceil(W bpp / 8) bytes, the
/// leftmost pixel in the most significant bits, whatever the layout says;
/// flipped, a level L reads 2^bpp - 1 - L.
struct RecordFormat {
  GlyphLayout layout = GlyphLayout::kRowMsb;
  bool invert = false;
  int bpp = 1;
};

/// The layout named `name` ("row-msb", ...), or none.
std::optional<GlyphLayout> ParseLayout(std::string_view name);

/// The names of the layouts, the font's own first.
std::vector<std::string> LayoutNames();

/// The name of `layout`.
const char* LayoutName(GlyphLayout layout);

/// Where `layout` keeps the pixel (x, y) of a record of `shape`, in C:
/// "bit 7 - x % 8 of byte 2 * y + x / 8". With `width` given, the record's
/// width is named so rather than written as a number.
std::string LayoutRule(GlyphLayout layout, RecordShape shape, std::string_view width = {});

/// The bytes of a record of `shape` in `layout`: H ceil(W/8) by rows,
/// W ceil(H/8) by pages or columns.
size_t RecordBytes(RecordShape shape, GlyphLayout layout);

/// Writes the record `row_msb` of `shape`, in the font's own layout, into
/// `out` in `format`; `out` takes RecordBytes(shape, format.layout) bytes.
void FormatRecord(const uint8_t* row_msb, RecordShape shape, RecordFormat format, uint8_t* out);

/// The bytes of a record of `shape` in `format`, at its depth.
size_t RecordBytes(RecordShape shape, RecordFormat format);

/// The level of coverage of the pixel at column `x`, row `y` of `record`,
/// of `shape` in `format`: 0 to 2^bpp - 1.
int LevelAt(const uint8_t* record, RecordShape shape, RecordFormat format, int x, int y);

/// Sets the pixel at column `x`, row `y` of a record of `shape` at `bpp`
/// bits a pixel (rows, not flipped), all 0 until then, to `level`.
void SetLevel(uint8_t* record, RecordShape shape, int bpp, int x, int y, int level);

/// Inks the pixel at column `x`, row `y` of `record`, of `shape` in `layout`.
void Ink(uint8_t* record, RecordShape shape, GlyphLayout layout, int x, int y);

/// True when the pixel at column `x`, row `y` of `record`, of `shape` in
/// `format`, is inked: at more than 1 bit a pixel, covered more than half.
bool Inked(const uint8_t* record, RecordShape shape, RecordFormat format, int x, int y);

}  // namespace pixtrel
