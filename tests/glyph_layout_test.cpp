#include "glyphdata/glyph_layout.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

namespace pixtrel {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(GlyphLayoutTest, EachLayoutPutsEveryPixelWhereItsTableSays) {
  std::mt19937 random(16);
  // Full-width and half-width records of the sizes sets have.
  for (const RecordShape shape : {RecordShape{6, 12}, RecordShape{8, 16}, RecordShape{12, 12}, RecordShape{16, 16},
                                  RecordShape{12, 24}, RecordShape{24, 24}}) {
    const int w = shape.width, h = shape.height, row = (w + 7) / 8, column = (h + 7) / 8;
    Bytes font_record(static_cast<size_t>(h * row));
    for (uint8_t& byte : font_record) byte = static_cast<uint8_t>(random());
    auto pixel = [&](int x, int y) { return font_record[row * y + x / 8] >> (7 - x % 8) & 1; };
    // The table of layouts, read afresh: the bytes, and the byte and the bit of p(x, y).
    struct Layout {
      const char* name;
      int bytes;
      std::function<std::pair<int, int>(int, int)> place;
    };
    const Layout table[] = {
        {"row-msb", h * row, [&](int x, int y) { return std::pair(row * y + x / 8, 7 - x % 8); }},
        {"row-lsb", h * row, [&](int x, int y) { return std::pair(row * y + x / 8, x % 8); }},
        {"page-lsb", w * column, [&](int x, int y) { return std::pair(w * (y / 8) + x, y % 8); }},
        {"page-msb", w * column, [&](int x, int y) { return std::pair(w * (y / 8) + x, 7 - y % 8); }},
        {"column-lsb", w * column, [&](int x, int y) { return std::pair(column * x + y / 8, y % 8); }},
        {"column-msb", w * column, [&](int x, int y) { return std::pair(column * x + y / 8, 7 - y % 8); }},
    };
    for (const Layout& layout : table) {
      for (bool invert : {false, true}) {
        const RecordFormat format{*ParseLayout(layout.name), invert};
        Bytes expected(static_cast<size_t>(layout.bytes), 0);
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x)
            if (pixel(x, y)) expected[layout.place(x, y).first] |= 1 << layout.place(x, y).second;
        if (invert)
          for (uint8_t& byte : expected) byte = static_cast<uint8_t>(~byte);  // Padding bits too.
        ASSERT_EQ(RecordBytes(shape, format.layout), expected.size()) << layout.name;
        Bytes formatted(expected.size());
        FormatRecord(font_record.data(), shape, format, formatted.data());
        EXPECT_EQ(formatted, expected) << layout.name << " " << w << "x" << h << (invert ? " inverted" : "");
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x) ASSERT_EQ(Inked(formatted.data(), shape, format, x, y), pixel(x, y) != 0);
      }
    }
  }
  EXPECT_EQ(ParseLayout("page"), std::nullopt);
}

TEST(GlyphLayoutTest, RulesOfA16By16RecordReadAsTheyAlwaysHave) {
  EXPECT_EQ(LayoutRule(GlyphLayout::kRowMsb, {}), "bit 7 - x % 8 of byte 2 * y + x / 8");
  EXPECT_EQ(LayoutRule(GlyphLayout::kPageLsb, {}), "bit y % 8 of byte 16 * (y / 8) + x");
  EXPECT_EQ(LayoutRule(GlyphLayout::kColumnMsb, {}), "bit 7 - y % 8 of byte 2 * x + y / 8");
}

}  // namespace
}  // namespace pixtrel
