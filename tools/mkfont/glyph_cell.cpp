#include "glyph_cell.h"

#include <algorithm>
#include <cstring>

namespace pixtrel {

namespace {

constexpr int kCell = 16;

bool Inked(const InkBitmap& glyph, int row, int column) {
  return (glyph.bits[row * glyph.pitch + column / 8] & (0x80 >> (column % 8))) != 0;
}

/// The span [first, last] of rows (or columns) that hold ink, or none.
struct Span {
  int first = kCell, last = -1;
  bool empty() const { return last < first; }
};

/// Where an ink span placed at `from` goes so that it lies in the cell:
/// moved in when it fits, else centred on the cell and cut on both sides.
int Fitted(int from, Span ink, bool* shifted, bool* clipped) {
  const int first = from + ink.first, last = from + ink.last;
  if (first >= 0 && last < kCell) return from;
  const int size = ink.last - ink.first + 1;
  if (size <= kCell) {
    *shifted = true;
    return first < 0 ? from - first : from - (last - (kCell - 1));
  }
  *clipped = true;
  return -ink.first - (size - kCell) / 2;
}

}  // namespace

Placement PlaceInCell(const InkBitmap& glyph, int baseline, uint8_t* record) {
  std::memset(record, 0, 2 * kCell);
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
  const int across = (glyph.advance < kCell ? (kCell - glyph.advance) / 2 : 0) + glyph.left;
  const int x0 = Fitted(across, columns, &placement.shifted, &placement.clipped);
  const int y0 = Fitted(baseline - glyph.top, rows, &placement.shifted, &placement.clipped);
  for (int row = 0; row < glyph.rows; ++row) {
    for (int column = 0; column < glyph.width; ++column) {
      const int x = x0 + column, y = y0 + row;
      if (x < 0 || x >= kCell || y < 0 || y >= kCell || !Inked(glyph, row, column)) continue;
      record[2 * y + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
  }
  return placement;
}

}  // namespace pixtrel
