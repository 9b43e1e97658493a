#include "glyph_cell.h"

#include <algorithm>
#include <cstring>

#include "glyphdata/glyph_layout.h"

namespace pixtrel {

namespace {

bool Inked(const InkBitmap& glyph, int row, int column) {
  return (glyph.bits[row * glyph.pitch + column / 8] & (0x80 >> (column % 8))) != 0;
}

/// The span [first, last] of rows (or columns) that hold ink, or none.
struct Span {
  int first = 1 << 30, last = -1;
  bool empty() const { return last < first; }
};

/// Where an ink span placed at `from` goes so that it lies in a cell of
/// `side` rows (or columns): moved in when it fits, else centred on the cell
/// and cut on both sides.
int Fitted(int from, Span ink, int side, bool* shifted, bool* clipped) {
  const int first = from + ink.first, last = from + ink.last;
  if (first >= 0 && last < side) return from;
  const int size = ink.last - ink.first + 1;
  if (size <= side) {
    *shifted = true;
    return first < 0 ? from - first : from - (last - (side - 1));
  }
  *clipped = true;
  return -ink.first - (size - side) / 2;
}

}  // namespace

Placement PlaceInCell(const InkBitmap& glyph, Cell cell, int baseline, uint8_t* record) {
  const RecordShape shape{cell.width, cell.height};
  std::memset(record, 0, RecordBytes(shape, GlyphLayout::kRowMsb));
  Placement placement;
  Span rows, columns;
  for (int row = 0; row < glyph.rows; ++row) {
    for (int column = 0; column < glyph.width; ++column) {
      if (!Inked(glyph, row, column)) continue;
      rows.first = std::min(rows.first, row), rows.last = std::max(rows.last, row);
      columns.first = std::min(columns.first, column), columns.last = std::max(columns.last, column);
    }
  }
  if (rows.empty()) {
    placement.blank = true;
    return placement;
  }
  const int across = (glyph.advance < cell.width ? (cell.width - glyph.advance) / 2 : 0) + glyph.left;
  const int x0 = Fitted(across, columns, cell.width, &placement.shifted, &placement.clipped);
  const int y0 = Fitted(baseline - glyph.top, rows, cell.height, &placement.shifted, &placement.clipped);
  for (int row = 0; row < glyph.rows; ++row) {
    for (int column = 0; column < glyph.width; ++column) {
      const int x = x0 + column, y = y0 + row;
      if (x < 0 || x >= cell.width || y < 0 || y >= cell.height || !Inked(glyph, row, column)) continue;
      Ink(record, shape, GlyphLayout::kRowMsb, x, y);
    }
  }
  return placement;
}

}  // namespace pixtrel
