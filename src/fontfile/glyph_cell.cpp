#include "fontfile/glyph_cell.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "glyphdata/glyph_layout.h"

namespace pixtrel {

namespace {

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

int LevelAt(const InkBitmap& glyph, int row, int column) {
  if (glyph.bytes) return glyph.bits[row * glyph.pitch + column];
  return (glyph.bits[row * glyph.pitch + column / 8] & (0x80 >> (column % 8))) != 0 ? 1 : 0;
}

Placement PlaceInCell(const InkBitmap& glyph, Cell cell, int baseline, uint8_t* record) {
  const RecordShape shape{cell.width, cell.height};
  std::memset(record, 0, RecordBytes(shape, RecordFormat{GlyphLayout::kRowMsb, false, glyph.bpp}));
  Placement placement;
  Span rows, columns;
  for (int row = 0; row < glyph.rows; ++row) {
    for (int column = 0; column < glyph.width; ++column) {
      if (LevelAt(glyph, row, column) == 0) continue;
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
      if (x < 0 || x >= cell.width || y < 0 || y >= cell.height) continue;
      SetLevel(record, shape, glyph.bpp, x, y, LevelAt(glyph, row, column));
    }
  }
  return placement;
}

std::string BoxRecord(int size) {
  const RecordShape shape{size, size};
  std::string record(RecordBytes(shape, GlyphLayout::kRowMsb), '\0');
  auto ink = [&](int x, int y) { Ink(reinterpret_cast<uint8_t*>(record.data()), shape, GlyphLayout::kRowMsb, x, y); };
  for (int i = 1; i < size - 1; ++i) ink(i, 1), ink(i, size - 2), ink(1, i), ink(size - 2, i);
  return record;
}

}  // namespace pixtrel
