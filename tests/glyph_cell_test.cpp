#include "fontfile/glyph_cell.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pixtrel {
namespace {

/// A glyph of `width` x `rows` pixels all inked.
struct SolidGlyph {
  SolidGlyph(int width, int rows) : bits(static_cast<size_t>(rows) * 2, '\xFF') {
    ink.bits = reinterpret_cast<const uint8_t*>(bits.data());
    ink.pitch = 2;
    ink.width = width;
    ink.rows = rows;
  }
  std::string bits;
  InkBitmap ink;
};

/// The record of `cell` as rows of '#' and '.'.
std::vector<std::string> Rows(const uint8_t* record, Cell cell = {}) {
  std::vector<std::string> rows;
  const int row_bytes = (cell.width + 7) / 8;
  for (int y = 0; y < cell.height; ++y) {
    std::string row;
    for (int x = 0; x < cell.width; ++x) row += record[row_bytes * y + x / 8] & (0x80 >> (x % 8)) ? '#' : '.';
    rows.push_back(row);
  }
  return rows;
}

TEST(GlyphCellTest, OneRuleForEveryGlyph) {
  uint8_t record[32];
  SolidGlyph narrow(2, 3);  // An 8-wide advance is centred: 4 columns in, plus the bearing.
  narrow.ink.left = 1, narrow.ink.top = 3, narrow.ink.advance = 8;
  Placement placement = PlaceInCell(narrow.ink, {}, 14, record);
  EXPECT_FALSE(placement.shifted || placement.clipped || placement.blank);
  EXPECT_EQ(Rows(record)[11], ".....##.........");  // Top on row 14 - 3.
  EXPECT_EQ(Rows(record)[13], ".....##.........");
  EXPECT_EQ(Rows(record)[14], "................");

  SolidGlyph low(16, 4);  // Ink below the cell: moved up, whole.
  low.ink.top = -1, low.ink.advance = 16;
  placement = PlaceInCell(low.ink, {}, 14, record);
  EXPECT_TRUE(placement.shifted);
  EXPECT_EQ(Rows(record)[15], std::string(16, '#'));
  EXPECT_EQ(Rows(record)[11], "................");

  SolidGlyph tall(16, 18);  // Too tall: a row cut off at either end.
  tall.ink.top = 16, tall.ink.advance = 16;
  placement = PlaceInCell(tall.ink, {}, 14, record);
  EXPECT_TRUE(placement.clipped);
  EXPECT_EQ(Rows(record)[0], std::string(16, '#'));

  SolidGlyph empty(0, 0);
  EXPECT_TRUE(PlaceInCell(empty.ink, {}, 14, record).blank);

  // The same rule in a half-width cell of 6 x 12: a 6-wide advance fills it from its bearing on.
  SolidGlyph letter(3, 4);
  letter.ink.left = 1, letter.ink.top = 8, letter.ink.advance = 6;
  EXPECT_FALSE(PlaceInCell(letter.ink, {6, 12}, 10, record).shifted);
  EXPECT_EQ(Rows(record, {6, 12})[1], "......");
  EXPECT_EQ(Rows(record, {6, 12})[2], ".###..");  // Top on row 10 - 8.
  EXPECT_EQ(Rows(record, {6, 12})[5], ".###..");
  EXPECT_EQ(Rows(record, {6, 12})[6], "......");
}

}  // namespace
}  // namespace pixtrel
