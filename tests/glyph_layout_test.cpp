#include "glyphdata/glyph_layout.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <random>

namespace pixtrel {
namespace {

using Record = std::array<uint8_t, 32>;

/// Whether p(x, y) is inked in a record of the font's own layout.
bool Pixel(const Record& row_msb, int x, int y) { return row_msb[2 * y + x / 8] >> (7 - x % 8) & 1; }

TEST(GlyphLayoutTest, EachLayoutPutsEveryPixelWhereItsTableSays) {
  std::mt19937 random(16);
  Record font_record;
  for (uint8_t& byte : font_record) byte = static_cast<uint8_t>(random());
  // The table of layouts, read afresh: the byte and the bit of p(x, y).
  const std::pair<const char*, std::function<std::pair<int, int>(int, int)>> table[] = {
      {"row-msb", [](int x, int y) { return std::pair(2 * y + x / 8, 7 - x % 8); }},
      {"row-lsb", [](int x, int y) { return std::pair(2 * y + x / 8, x % 8); }},
      {"page-lsb", [](int x, int y) { return std::pair(16 * (y / 8) + x, y % 8); }},
      {"page-msb", [](int x, int y) { return std::pair(16 * (y / 8) + x, 7 - y % 8); }},
      {"column-lsb", [](int x, int y) { return std::pair(2 * x + y / 8, y % 8); }},
      {"column-msb", [](int x, int y) { return std::pair(2 * x + y / 8, 7 - y % 8); }},
  };
  for (const auto& [name, place] : table) {
    for (bool invert : {false, true}) {
      const RecordFormat format{*ParseLayout(name), invert};
      Record expected{};
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
          if (Pixel(font_record, x, y) != invert) expected[place(x, y).first] |= 1 << place(x, y).second;
      Record formatted = font_record;
      FormatRecord(formatted.data(), format);
      EXPECT_EQ(formatted, expected) << name << (invert ? " inverted" : "");
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(Inked(formatted.data(), format, x, y), Pixel(font_record, x, y)) << name;
    }
  }
  EXPECT_EQ(ParseLayout("page"), std::nullopt);
}

}  // namespace
}  // namespace pixtrel
