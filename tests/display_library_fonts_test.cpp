// Fonts for the display libraries: what --format lvgl and --format u8g2
// write, compiled against the test's own stand-ins for the libraries'
// headers and decoded by the test's own reading of each format (LVGL's
// lv_font_fmt_txt, u8g2's font format), every glyph compared pixel for
// pixel with the set's files.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>

#include "test_support.h"

namespace pixtrel {
namespace {

const std::filesystem::path kBin = std::filesystem::path(PIXTREL_EXTRACT).parent_path();

/// A glyph as a font holds it: its box placed in the cell, rows from the top.
struct DecodedGlyph {
  int advance = 0;  ///< In pixels.
  int left = 0, top = 0, width = 0, height = 0;
  std::vector<bool> ink;  ///< width x height, rows from the top.
  bool Inked(int x, int y) const {
    return x >= left && x < left + width && y >= top && y < top + height &&
           ink[static_cast<size_t>((y - top) * width + (x - left))];
  }
};

/// The test's stand-in for lvgl.h: LVGL's types by their documented fields.
std::string LvglHeader(int major, int minor) {
  return "#include <stdbool.h>\n#include <stddef.h>\n#include <stdint.h>\n#define LVGL_VERSION_MAJOR " +
         std::to_string(major) + "\n#define LVGL_VERSION_MINOR " + std::to_string(minor) +
         "\n#define LVGL_VERSION_PATCH 0\n"
         "#define LV_VERSION_CHECK(x, y, z) (x == LVGL_VERSION_MAJOR && (y < LVGL_VERSION_MINOR || "
         "(y == LVGL_VERSION_MINOR && z <= LVGL_VERSION_PATCH)))\n"
         "#define LV_ATTRIBUTE_LARGE_CONST\nenum { LV_FONT_SUBPX_NONE };\n"
         "enum { LV_FONT_FMT_TXT_CMAP_FORMAT0_FULL, LV_FONT_FMT_TXT_CMAP_SPARSE_FULL, "
         "LV_FONT_FMT_TXT_CMAP_FORMAT0_TINY, LV_FONT_FMT_TXT_CMAP_SPARSE_TINY };\n"
         "typedef struct { uint32_t bitmap_index : 20; uint32_t adv_w : 12; uint8_t box_w; uint8_t box_h;"
         " int8_t ofs_x; int8_t ofs_y; } lv_font_fmt_txt_glyph_dsc_t;\n"
         "typedef struct { uint32_t range_start; uint16_t range_length; uint16_t glyph_id_start;"
         " const uint16_t *unicode_list; const void *glyph_id_ofs_list; uint16_t list_length; uint8_t type; }"
         " lv_font_fmt_txt_cmap_t;\n"
         "typedef struct { uint32_t last_letter; uint32_t last_glyph_id; } lv_font_fmt_txt_glyph_cache_t;\n"
         "typedef struct { const uint8_t *glyph_bitmap; const lv_font_fmt_txt_glyph_dsc_t *glyph_dsc;"
         " const lv_font_fmt_txt_cmap_t *cmaps; const void *kern_dsc; uint16_t kern_scale; uint16_t cmap_num : 9;"
         " uint16_t bpp : 4; uint16_t kern_classes : 1; uint16_t bitmap_format : 2;\n"
         "#if LVGL_VERSION_MAJOR == 8\n lv_font_fmt_txt_glyph_cache_t *cache;\n#endif\n} lv_font_fmt_txt_dsc_t;\n"
         "int lv_font_get_glyph_dsc_fmt_txt(void);\nint lv_font_get_bitmap_fmt_txt(void);\n"
         "typedef struct _lv_font_t { int (*get_glyph_dsc)(void); int (*get_glyph_bitmap)(void);"
         " int32_t line_height; int32_t base_line; uint8_t subpx : 2;\n"
         "#if LV_VERSION_CHECK(9, 3, 0)\n uint8_t static_bitmap : 1;\n#endif\n"
         " int8_t underline_position; int8_t underline_thickness; const void *dsc;"
         " const struct _lv_font_t *fallback; void *user_data; } lv_font_t;\n"
         "#define LV_FONT_DECLARE(font_name) extern const lv_font_t font_name;\n";
}

/// The test's stand-in for lvgl.h with the functions LVGL calls for a
/// glyph's bitmap as `major` (8, or 9 from 9.2 on) declares them, and an
/// lv_font_get_bitmap_fmt_txt that returns a glyph's bitmap as it lies in
/// the font, found by its letter (8) or by its id (9), as LVGL finds it.
std::string LvglBitmapHeader(int major) {
  std::string header = LvglHeader(major, 2);
  const size_t fake = header.find("int lv_font_get_glyph_dsc_fmt_txt(void);");
  header = header.substr(0, fake) +
           "#define LV_USE_FONT_COMPRESSED 1\n"
           "typedef struct { const void *glyph_ids; const int8_t *values; uint32_t pair_cnt : 30;"
           " uint32_t glyph_ids_size : 2; } lv_font_fmt_txt_kern_pair_t;\n"
           "typedef struct _lv_font_t lv_font_t;\n"
           "typedef struct { const lv_font_t *resolved_font; union { uint32_t index; const void *src; } gid;"
           " uint8_t req_raw_bitmap : 1; } lv_font_glyph_dsc_t;\n"
           "typedef struct { uint8_t *data; } lv_draw_buf_t;\n" +
           (major == 8 ? "typedef const uint8_t *(*bitmap_cb)(const lv_font_t *, uint32_t);\n"
                         "const uint8_t *lv_font_get_bitmap_fmt_txt(const lv_font_t *font, uint32_t letter);\n"
                       : "typedef const void *(*bitmap_cb)(lv_font_glyph_dsc_t *, lv_draw_buf_t *);\n"
                         "const void *lv_font_get_bitmap_fmt_txt(lv_font_glyph_dsc_t *g_dsc, lv_draw_buf_t *buf);\n") +
           "int lv_font_get_glyph_dsc_fmt_txt(void);\n"
           "struct _lv_font_t { int (*get_glyph_dsc)(void); bitmap_cb get_glyph_bitmap;"
           " int32_t line_height; int32_t base_line; uint8_t subpx : 2;"
           " int8_t underline_position; int8_t underline_thickness; const void *dsc;"
           " const struct _lv_font_t *fallback; void *user_data; };\n"
           "#define LV_FONT_DECLARE(font_name) extern const lv_font_t font_name;\n";
  return header;
}

/// The definitions the stand-in LvglBitmapHeader declares, as LVGL's own find a glyph's bitmap.
std::string LvglBitmapLookup(int major) {
  if (major == 8)
    return "const uint8_t *lv_font_get_bitmap_fmt_txt(const lv_font_t *font, uint32_t letter) {\n"
           "  const lv_font_fmt_txt_dsc_t *dsc = font->dsc;\n"
           "  const lv_font_fmt_txt_cmap_t *map = &dsc->cmaps[0];\n"
           "  if (letter != map->range_start) return NULL;\n"
           "  return &dsc->glyph_bitmap[dsc->glyph_dsc[map->glyph_id_start].bitmap_index];\n}\n";
  return "const void *lv_font_get_bitmap_fmt_txt(lv_font_glyph_dsc_t *g_dsc, lv_draw_buf_t *buf) {\n"
         "  const lv_font_fmt_txt_dsc_t *dsc = g_dsc->resolved_font->dsc;\n  (void)buf;\n"
         "  return &dsc->glyph_bitmap[dsc->glyph_dsc[g_dsc->gid.index].bitmap_index];\n}\n";
}

/// A program that includes the LVGL font `font` and writes what it holds,
/// as LVGL reads it: the line, then for each character of each map its
/// code point, adv_w, box, offsets and bitmap bits.
std::string LvglDump(const std::string& font, const std::string& ident) {
  return "#include <stdio.h>\n#include \"" + font +
         "\"\nint lv_font_get_glyph_dsc_fmt_txt(void) { return 0; }\nint lv_font_get_bitmap_fmt_txt(void) { return 0; "
         "}\n"
         "int main(void) {\n  const lv_font_fmt_txt_dsc_t *dsc = " +
         ident + ".dsc;\n  unsigned m, i, b;\n  printf(\"%d %d %u\\n\", (int)" + ident + ".line_height, (int)" + ident +
         ".base_line, (unsigned)dsc->bpp);\n"
         "  for (m = 0; m < dsc->cmap_num; ++m) {\n    const lv_font_fmt_txt_cmap_t *map = &dsc->cmaps[m];\n"
         "    const int sparse = map->type == LV_FONT_FMT_TXT_CMAP_SPARSE_TINY;\n"
         "    for (i = 0; i < (sparse ? map->list_length : map->range_length); ++i) {\n"
         "      const lv_font_fmt_txt_glyph_dsc_t *g = &dsc->glyph_dsc[map->glyph_id_start + i];\n"
         "      printf(\"%lu %u %u %u %d %d \", (unsigned long)(map->range_start + (sparse ? map->unicode_list[i] : "
         "i)),"
         " (unsigned)g->adv_w, (unsigned)g->box_w, (unsigned)g->box_h, g->ofs_x, g->ofs_y);\n"
         "      for (b = 0; b < (unsigned)g->box_w * g->box_h; ++b)\n"
         "        putchar('0' + (dsc->glyph_bitmap[g->bitmap_index + b / 8] >> (7 - b % 8) & 1));\n"
         "      putchar('\\n');\n    }\n  }\n  return 0;\n}\n";
}

/// The glyphs of an LVGL font dumped by LvglDump, by code point, placed as
/// LVGL draws them in a line of `size` rows.
std::map<uint32_t, DecodedGlyph> ReadLvglDump(const std::string& dump, int size, int baseline) {
  std::istringstream in(dump);
  int line_height, base_line, bpp;
  in >> line_height >> base_line >> bpp;
  EXPECT_EQ(line_height, size);
  EXPECT_EQ(base_line, size - baseline);  // The rows below the baseline.
  EXPECT_EQ(bpp, 1);
  std::map<uint32_t, DecodedGlyph> glyphs;
  uint32_t code_point, last = 0;
  for (int adv_w, ofs_x, ofs_y; in >> code_point >> adv_w;) {
    DecodedGlyph glyph;
    in >> glyph.width >> glyph.height >> ofs_x >> ofs_y;
    EXPECT_GT(code_point, last) << "maps in order, none overlapping";
    last = code_point;
    EXPECT_EQ(adv_w % 16, 0);
    glyph.advance = adv_w / 16;
    glyph.left = ofs_x;
    glyph.top = (line_height - base_line) - glyph.height - ofs_y;
    std::string bits;
    if (glyph.width * glyph.height > 0) in >> bits;
    for (char bit : bits) glyph.ink.push_back(bit == '1');
    glyphs[code_point] = glyph;
  }
  return glyphs;
}

/// u8g2's font format, as its documentation and u8g2_font.c describe it.
class U8g2Font {
 public:
  explicit U8g2Font(std::string bytes) : bytes_(std::move(bytes)) {}

  uint8_t Byte(size_t at) const { return static_cast<uint8_t>(bytes_.at(at)); }
  size_t Word(size_t at) const { return static_cast<size_t>(Byte(at)) << 8 | Byte(at + 1); }
  int ascent() const { return static_cast<int8_t>(Byte(13)); }
  int descent() const { return static_cast<int8_t>(Byte(14)); }

  /// Where the glyph of `encoding` starts (past its encoding and size), found
  /// as u8g2 finds it; 0 when the font lacks it.
  size_t Find(uint32_t encoding) const {
    size_t at = 23;
    if (encoding <= 0xFF) {
      at += encoding >= 'a' ? Word(19) : encoding >= 'A' ? Word(17) : 0;
      for (; Byte(at + 1) != 0; at += Byte(at + 1))
        if (Byte(at) == encoding) return at + 2;
      return 0;
    }
    size_t table = at + Word(21);
    at = table;
    for (size_t last = 0; last < encoding; table += 4) {
      at += Word(table);
      last = Word(table + 2);
    }
    for (size_t e; (e = Word(at)) != 0; at += Byte(at + 2))
      if (e == encoding) return at + 3;
    return 0;
  }

  /// Every encoding, in the order the font holds them.
  std::vector<uint32_t> Encodings() const {
    std::vector<uint32_t> encodings;
    size_t at = 23;
    for (; Byte(at + 1) != 0; at += Byte(at + 1)) encodings.push_back(Byte(at));
    for (at = 23 + Word(21) + 4 * Entries(); Word(at) != 0; at += Byte(at + 2))
      encodings.push_back(static_cast<uint32_t>(Word(at)));
    return encodings;
  }

  /// The glyph that starts at `at`, placed in a cell whose baseline is on row `baseline`.
  DecodedGlyph Decode(size_t at, int baseline) const {
    bit_ = at * 8;
    DecodedGlyph glyph;
    glyph.width = static_cast<int>(Bits(Byte(4)));
    glyph.height = static_cast<int>(Bits(Byte(5)));
    glyph.left = Signed(Byte(6));
    const int y = Signed(Byte(7));
    glyph.advance = Signed(Byte(8));
    glyph.top = baseline - (y + glyph.height);
    if (glyph.width == 0) return glyph;
    while (static_cast<int>(glyph.ink.size()) < glyph.width * glyph.height) {
      const unsigned zeros = Bits(Byte(2)), ones = Bits(Byte(3));
      do {
        glyph.ink.insert(glyph.ink.end(), zeros, false);
        glyph.ink.insert(glyph.ink.end(), ones, true);
      } while (Bits(1) != 0);
    }
    glyph.ink.resize(static_cast<size_t>(glyph.width * glyph.height));
    return glyph;
  }

 private:
  size_t Entries() const {
    size_t entries = 1;
    for (size_t table = 23 + Word(21); Word(table + 2) != 0xFFFF; table += 4) ++entries;
    return entries;
  }
  unsigned Bits(unsigned count) const {
    unsigned value = 0;
    for (unsigned i = 0; i < count; ++i, ++bit_) value |= (Byte(bit_ / 8) >> (bit_ % 8) & 1u) << i;
    return value;
  }
  int Signed(unsigned count) const { return static_cast<int>(Bits(count)) - (1 << (count - 1)); }

  std::string bytes_;
  mutable size_t bit_ = 0;
};

class DisplayLibraryFontsTest : public ::testing::Test {
 protected:
  testing::CommandResult Extract(const std::string& arguments) {
    return testing::RunCommand(std::string(PIXTREL_EXTRACT) + " " + arguments, dir_);
  }

  /// Compiles `program` with `header` as `header_name` beside it (and the
  /// compiler's `flags`), runs it, and returns what it wrote.
  std::string Run(const std::string& program, const std::string& header_name, const std::string& header,
                  const std::string& flags = "") {
    testing::WriteFile(dir_ / header_name, header);
    testing::WriteFile(dir_ / "dump.c", program);
    const testing::CommandResult built = testing::RunCommand(
        "cd " + dir_.path() + " && gcc -std=c99 -Wall -Wextra -Werror -I. " + flags + " dump.c -o dump", dir_);
    if (built.status != 0) ADD_FAILURE() << built.err;
    return built.status == 0 ? testing::RunCommand(dir_ / "dump", dir_).out : "";
  }

  /// Every glyph of `glyphs` equals the set's, and `glyphs` are exactly the characters of `text` but control ones.
  void ExpectTheSetsGlyphs(const std::map<uint32_t, DecodedGlyph>& glyphs, const testing::SetFiles& set,
                           const std::string& text, const std::string& what) {
    std::set<uint32_t> expected;
    for (uint32_t code_point : testing::CodePoints(text))
      if (code_point >= 0x20 && code_point != 0x7F) expected.insert(code_point);
    std::set<uint32_t> got;
    for (const auto& [code_point, glyph] : glyphs) got.insert(code_point);
    ASSERT_EQ(got, expected) << what;
    for (const auto& [code_point, glyph] : glyphs) {
      const testing::SetCell cell = *set.Of(code_point);
      ASSERT_EQ(glyph.advance, cell.advance) << what << " U+" << std::hex << code_point;
      for (int y = 0; y < set.size(); ++y)
        for (int x = 0; x < cell.width; ++x)
          ASSERT_EQ(glyph.Inked(x - cell.shift, y), cell.rows[y][x])
              << what << " U+" << std::hex << code_point << " " << x << "," << y;
    }
  }

  testing::TempDir dir_;
};

TEST_F(DisplayLibraryFontsTest, FontsOfTheBundledMenuHoldTheSetsGlyphsInUtf8AndCp936) {
  const std::string text = testing::ReadFile(PIXTREL_SAMPLES "/menu.utf-8.txt");
  for (const std::string& set_dir : {(kBin.parent_path() / "fonts/efont-12").string(), kBin.string()}) {
    const testing::SetFiles set(set_dir);
    for (const char* format : {"lvgl", "u8g2"}) {
      const std::string from_utf8 = dir_ / (std::string(format) + "_font.c"), from_cp936 = dir_ / "cp936.c";
      const std::string options = std::string("-q --format ") + format + " --data-dir " + set_dir + " --name menu_font";
      ASSERT_EQ(Extract(options + " -o " + from_utf8 + " " PIXTREL_SAMPLES "/menu.utf-8.txt").status, 0);
      ASSERT_EQ(Extract(options + " -o " + from_cp936 + " " PIXTREL_SAMPLES "/menu.txt").status, 0);
      const std::string font = testing::ReadFile(from_utf8);
      const std::string after_comment = font.substr(font.find("*/"));
      EXPECT_EQ(testing::ReadFile(from_cp936).substr(testing::ReadFile(from_cp936).find("*/")), after_comment);
      const std::string what = std::string(format) + " of " + set_dir;
      if (std::string(format) == "lvgl") {
        for (const auto& [major, minor] : {std::pair(8, 3), std::pair(9, 3)}) {
          const std::string dump = Run(LvglDump(format + std::string("_font.c"), "menu_font"), "lvgl.h",
                                       LvglHeader(major, minor), "-DLV_LVGL_H_INCLUDE_SIMPLE");
          if (dump.empty()) return;
          ExpectTheSetsGlyphs(ReadLvglDump(dump, set.size(), set.baseline()), set, text,
                              what + " in LVGL " + std::to_string(major));
        }
        continue;
      }
      const U8g2Font u8g2(
          Run("#include <stdio.h>\n#include \"u8g2_font.c\"\nint main(void) {\n"
              "  fwrite(menu_font, 1, sizeof menu_font, stdout);\n  return 0;\n}\n",
              "u8g2.h", "#include <stdint.h>\n#define U8G2_FONT_SECTION(name)\n"));
      EXPECT_EQ(u8g2.ascent(), set.baseline());
      EXPECT_EQ(u8g2.descent(), set.baseline() - set.size());
      std::map<uint32_t, DecodedGlyph> glyphs;
      const std::vector<uint32_t> encodings = u8g2.Encodings();
      EXPECT_TRUE(std::is_sorted(encodings.begin(), encodings.end())) << what;
      for (uint32_t encoding : encodings) {
        const size_t at = u8g2.Find(encoding);  // Through the lookup table, as u8g2 searches.
        ASSERT_NE(at, 0u) << what << " U+" << std::hex << encoding;
        glyphs[encoding] = u8g2.Decode(at, set.baseline());
      }
      ExpectTheSetsGlyphs(glyphs, set, text, what);
    }
  }
}

TEST_F(DisplayLibraryFontsTest, SeveralTextsMakeOneFontAndTellWhatIsMissing) {
  testing::WriteFile(dir_ / "menu.txt", "\u83DC\u5355 OK\n");
  testing::WriteFile(dir_ / "alarm.txt", "\u8B66\u544A!\n\U0001F600\n");  // The emoji has no glyph.
  const std::string sources = (dir_ / "menu.txt") + " " + (dir_ / "alarm.txt");
  testing::CommandResult result = Extract("-q --missing --format u8g2 -o " + (dir_ / "ui.c") + " " + sources);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, (dir_ / "alarm.txt") +
                            ":2: missing U+1F600 \U0001F600 (beyond what the format draws), 1 occurrence\n" +
                            (dir_ / "alarm.txt") + ": 1 character missing, 1 occurrence\n");
  const std::string font = testing::ReadFile(dir_ / "ui.c");
  EXPECT_NE(font.find("const uint8_t ui["), std::string::npos);
  EXPECT_NE(font.find("of the 8 characters of"), std::string::npos);  // 菜单 OK!警告 and the space, each once.
  // A name that would end the heading's comment early stays inside it.
  std::filesystem::create_directory(dir_ / "a*");
  testing::WriteFile(dir_ / "a*/m.txt", "OK\n");
  for (const std::string format : {"lvgl", "u8g2"}) {
    ASSERT_EQ(Extract("-q --format " + format + " -o " + (dir_ / "odd.c") + " '" + (dir_ / "a*/m.txt") + "'").status,
              0);
    const std::string odd = testing::ReadFile(dir_ / "odd.c");
    EXPECT_GT(odd.find("*/"), odd.find("In the firmware")) << format;
  }
  EXPECT_EQ(Extract("-q --strict --format lvgl -o " + (dir_ / "strict.c") + " " + sources).status, 3);
  EXPECT_FALSE(testing::Exists(dir_ / "strict.c"));
  for (const std::string& wrong : {"--format c -o " + (dir_ / "x.c") + " " + sources, "--format lvgl " + sources,
                                   "--format lvgl --layout page-lsb " + (dir_ / "menu.txt")}) {
    result = Extract(wrong);
    EXPECT_EQ(result.status, 2) << wrong;
    EXPECT_NE(result.err.find("usage:"), std::string::npos) << result.err;
  }
}

TEST_F(DisplayLibraryFontsTest, AFontChainsToAFallbackAndLacksAsciiWithoutHalfWidthGlyphs) {
  testing::WriteDataFiles(dir_);  // A set without half-width glyphs.
  testing::WriteFile(dir_ / "menu.txt", "\u4E2D OK\n");
  const std::string options = "-q --format lvgl --data-dir " + dir_.path() + " -o " + (dir_ / "ui.c") + " ";
  testing::CommandResult result = Extract(options + "--strict " + (dir_ / "menu.txt"));
  EXPECT_EQ(result.status, 3);
  EXPECT_NE(result.err.find(":1: missing U+004F O, 1 occurrence"), std::string::npos) << result.err;
  ASSERT_EQ(Extract(options + "--name ui --fallback montserrat " + (dir_ / "menu.txt")).status, 0);
  EXPECT_EQ(Run("#include <stdio.h>\n#include \"ui.c\"\nconst lv_font_t montserrat;\n"
                "int lv_font_get_glyph_dsc_fmt_txt(void) { return 0; }\n"
                "int lv_font_get_bitmap_fmt_txt(void) { return 0; }\n"
                "int main(void) { printf(\"%d\", ui.fallback == &montserrat); return 0; }\n",
                "lvgl.h", LvglHeader(9, 2), "-DLV_LVGL_H_INCLUDE_SIMPLE"),
            "1");
  EXPECT_EQ(Extract("--format u8g2 --fallback montserrat " + (dir_ / "menu.txt")).status, 2);
  EXPECT_EQ(Extract(options + "--fallback ui " + (dir_ / "menu.txt")).err,  // A chain that never ends.
            "pixtrel-extract: --fallback ui is the font itself\n");
}

TEST_F(DisplayLibraryFontsTest, AnEmptyTextMakesAFontOfNoGlyphsThatCompiles) {
  testing::WriteFile(dir_ / "empty.txt", "");
  ASSERT_EQ(Extract("-q --format lvgl --name ui -o " + (dir_ / "ui.c") + " " + (dir_ / "empty.txt")).status, 0);
  EXPECT_EQ(Run("#include <stdio.h>\n#include \"ui.c\"\n"
                "int lv_font_get_glyph_dsc_fmt_txt(void) { return 0; }\n"
                "int lv_font_get_bitmap_fmt_txt(void) { return 0; }\n"
                "int main(void) { printf(\"%d\", (int)font_dsc.cmap_num); return 0; }\n",
                "lvgl.h", LvglHeader(9, 2), "-DLV_LVGL_H_INCLUDE_SIMPLE -pedantic"),
            "0");
  // A glyph stream of no character is none: the old one goes.
  testing::WriteFile(dir_ / "empty.bin", "old");
  EXPECT_EQ(Extract("-q " + (dir_ / "empty.txt")).status, 1);
  EXPECT_FALSE(testing::Exists(dir_ / "empty.bin"));
}

TEST_F(DisplayLibraryFontsTest, AFontInExternalFlashReadsEachGlyphAsThePlainFontHoldsIt) {
  testing::WriteFile(dir_ / "menu.txt", "\u83DC\u5355 OK 25\u00B0C\n");
  // Each glyph's bytes, as many as it has (one of the last, whose end the font does not tell).
  for (const std::string& bitmaps :
       {std::string(""), std::string(" --font /usr/share/fonts/truetype/wqy/wqy-microhei.ttc "
                                     "--size 20 --bpp 4 --compress")}) {
    SCOPED_TRACE(bitmaps);
    ASSERT_EQ(
        Extract("-q --format lvgl --name plain" + bitmaps + " -o " + (dir_ / "plain.c") + " " + (dir_ / "menu.txt"))
            .status,
        0);
    ASSERT_EQ(
        Extract("-q --format lvgl-flash --name ui" + bitmaps + " -o " + (dir_ / "ui.c") + " " + (dir_ / "menu.txt"))
            .status,
        0);
    for (const int major : {8, 9}) {
      // Each glyph, asked for as LVGL asks for it, read through ui_read from ui.bin: its bytes, and the plain font's.
      const std::string ask = major == 8
                                  ? "ui.get_glyph_bitmap(&ui, map->range_start + map->unicode_list[i])"
                                  : "ui.get_glyph_bitmap(&(lv_font_glyph_dsc_t){.resolved_font = &ui, .gid = {.index = "
                                    "map->glyph_id_start + i}}, NULL)";
      const std::string program =
          "#include <stdio.h>\n#include \"ui.c\"\n"
          "int lv_font_get_glyph_dsc_fmt_txt(void) { return 0; }\n" +
          LvglBitmapLookup(major) +
          "static FILE *flash;\n"
          "int ui_read(uint32_t offset, void *buffer, uint32_t size) {\n"
          "  return fseek(flash, (long)offset, SEEK_SET) != 0 || fread(buffer, 1, size, flash) != size;\n}\n"
          "int main(void) {\n  const lv_font_fmt_txt_dsc_t *dsc = ui.dsc;\n  unsigned i, b;\n"
          "  flash = fopen(\"" +
          (dir_ / "ui.bin") +
          "\", \"rb\");\n"
          "  const lv_font_fmt_txt_cmap_t *map = &dsc->cmaps[0];\n"
          "  for (i = 0; i < map->list_length; ++i) {\n"
          "    const lv_font_fmt_txt_glyph_dsc_t *g = &dsc->glyph_dsc[map->glyph_id_start + i];\n"
          "    const uint8_t *bitmap = " +
          ask +
          ";\n"
          "    const unsigned size = i + 1 < map->list_length ? g[1].bitmap_index - g->bitmap_index : 1;\n"
          "    for (b = 0; b < size && g->box_w * g->box_h > 0; ++b) printf(\"%02X\", bitmap[b]);\n"
          "    putchar('\\n');\n  }\n  return 0;\n}\n";
      const std::string read = Run(program, "lvgl.h", LvglBitmapHeader(major), "-DLV_LVGL_H_INCLUDE_SIMPLE");
      std::string plain =
          Run(std::regex_replace(std::regex_replace(program, std::regex("ui\\.c"), "plain.c"),
                                 std::regex("ui\\.get_glyph_bitmap\\([^;]*\\)"), "&dsc->glyph_bitmap[g->bitmap_index]"),
              "lvgl.h", LvglBitmapHeader(major), "-DLV_LVGL_H_INCLUDE_SIMPLE -Dui=plain");
      EXPECT_FALSE(read.empty()) << major;
      EXPECT_EQ(read, plain) << major;
    }
  }
}

}  // namespace
}  // namespace pixtrel
