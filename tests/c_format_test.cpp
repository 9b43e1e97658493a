#include "formats/c_format.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace pixtrel {
namespace {

class CFormatTest : public ::testing::Test {
 protected:
  CFormatTest() {
    testing::WriteDataFiles(dir_);
    store_.LoadGlyphData();
    request_.disk = &RealDisk();
    request_.glyphs = &glyphs_;
    request_.output = dir_ / "menu.h";
    request_.source = "menu.txt";
    request_.name = "menu";
  }

  /// The file `make` writes for records of `slots` (on `lines` lines),
  /// each given with its line.
  std::string Written(decltype(MakeCSourceFormat) make, const std::vector<std::pair<uint16_t, int64_t>>& records,
                      int64_t lines) {
    std::unique_ptr<GlyphFormat> format = make(request_);
    for (const auto& [slot, line] : records) format->Report()->GlyphWritten({GlyphKind::kTable, slot, {}}, line);
    format->Report()->SourceEnded(lines);
    format->Finish();
    format->Install();
    return testing::ReadFile(request_.output);
  }

  testing::TempDir dir_;
  GlyphStore store_{dir_.path()};
  FontSet set_;
  SetGlyphs glyphs_{store_, set_};
  FormatRequest request_;
};

TEST_F(CFormatTest, AUniqueHeaderAsItHasAlwaysBeenWritten) {
  request_.unique = true;
  // 中 and 啊 on line 1, 中 again on line 3.
  EXPECT_EQ(Written(MakeCHeaderFormat, {{2, 1}, {0, 1}, {2, 3}}, 3),
            R"(/* The glyphs of menu.txt, cut by pixtrel-extract 0.01.
 * 2 records of 32 bytes, a 16 x 16 glyph each, in layout row-msb: pixel (x, y),
 * x the column and y the row from the top left, is bit 7 - x % 8 of byte 2 * y + x / 8, inked when 1.
 * 3 characters: record menu_glyphs[menu_text[i]] is the glyph of character i.
 * 3 lines: line k (from 0) of the text is the menu_lines[k][1] characters
 * from menu_text[menu_lines[k][0]] on.
 */
#ifndef MENU_H
#define MENU_H

#include <stdint.h>

static const uint8_t menu_glyphs[2][32] = {
    {0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25}, /* 中 D6D0 line 1 */
    {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F}, /* 啊 B0A1 line 1 */
};

static const uint32_t menu_codes[2] = {
    0x4E2D, 0x554A,
};

static const uint16_t menu_lines[3][2] = {
    {0, 2},
    {2, 0},
    {2, 1},
};

static const uint16_t menu_text[3] = {
    0, 1, 0,
};

#endif
)");
}

TEST_F(CFormatTest, ASourceNameCannotEndTheLeadingComment) {
  request_.source = "x*/menu.txt";
  const std::string source = Written(MakeCSourceFormat, {{0, 1}}, 1);
  EXPECT_EQ(source.find("x*/"), std::string::npos);
  EXPECT_LT(source.find(" */\n"), source.find("#include"));  // The comment ends where it should.
}

}  // namespace
}  // namespace pixtrel
