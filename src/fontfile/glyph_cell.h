#pragma once

#include <cstdint>
#include <string>

namespace pixtrel {

/// A glyph as a font draws it, placed against the pen position, rows from
/// the top, each pixel a level of coverage from 0 to 2^bpp - 1: in bits,
/// the most significant bit of a byte leftmost (at 1 bit a pixel), or in
/// bytes, one a pixel.
struct InkBitmap {
  const uint8_t* bits = nullptr;
  int bpp = 1;
  bool bytes = false;  ///< A byte a pixel.
  int pitch = 0;       ///< Bytes from one row to the next.
  int width = 0;       ///< Columns.
  int rows = 0;
  int left = 0;     ///< Columns from the pen to the bitmap's first column.
  int top = 0;      ///< Rows from the baseline up to the bitmap's first row.
  int advance = 0;  ///< Columns the pen moves on.
};

/// What became of a glyph put in the cell.
struct Placement {
  bool blank = false;    ///< It has no ink.
  bool shifted = false;  ///< Ink outside the cell was moved in, the glyph whole.
  bool clipped = false;  ///< Ink outside the cell was cut off, as much on either side.
};

/// A cell: `width` columns by `height` rows.
struct Cell {
  int width = 16;
  int height = 16;
};

/// The level of the pixel at `row`, `column` of `glyph`.
int LevelAt(const InkBitmap& glyph, int row, int column);

/// Puts `glyph` into a record of `cell` in the font's own layout, at the
/// glyph's depth (rows of ceil(width bpp / 8) bytes, the leftmost pixel in
/// the most significant bits), the same rule
/// for every glyph: across, (width - advance) / 2 (0 for an advance of the
/// width or more) plus the left bearing; down, the baseline on row
/// `baseline`. Ink outside the cell is shifted back in when it fits, else
/// clipped evenly on both sides.
Placement PlaceInCell(const InkBitmap& glyph, Cell cell, int baseline, uint8_t* record);

/// A box of `size` x `size` pixels at 1 bit a pixel, in the font's own
/// layout: the cell's outline, a pixel in from its edges.
std::string BoxRecord(int size);

}  // namespace pixtrel
