// Fonts made from a font file, decoded by their formats' own definitions
// (LVGL's binary font, its run-length coding) and held to FreeType's
// rendering of the same face.

#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "test_support.h"

namespace pixtrel {
namespace {

constexpr char kFont[] = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";

/// A glyph as a font holds it: advance in 1/16 pixels, box, levels.
struct Glyph {
  int advance = 0, x = 0, y = 0, w = 0, h = 0;
  std::vector<int> levels;
  bool operator==(const Glyph&) const = default;
};

/// Reads bits most significant first, as LVGL's loader and decoder do.
struct BitReader {
  const uint8_t* bytes;
  size_t at = 0;  // In bits.
  unsigned Read(int bits) {
    unsigned value = 0;
    for (int i = 0; i < bits; ++i, ++at) value = value << 1 | (bytes[at / 8] >> (7 - at % 8) & 1);
    return value;
  }
  int Signed(int bits) {
    const unsigned value = Read(bits);
    return value >> (bits - 1) ? static_cast<int>(value) - (1 << bits) : static_cast<int>(value);
  }
};

/// The pixels of a compressed bitmap, decoded as LVGL's lv_font_fmt_txt.c decodes them.
std::vector<int> Decompressed(BitReader in, int w, int h, int bpp, bool prefilter) {
  enum { kSingle, kRepeat, kCounter } state = kSingle;
  int previous = 0, count = 0;
  const size_t start = in.at;
  auto next = [&] {
    int value = 0;
    if (state == kSingle) {
      const bool first = in.at == start;
      value = static_cast<int>(in.Read(bpp));
      if (!first && previous == value) count = 0, state = kRepeat;
      previous = value;
    } else if (state == kRepeat) {
      ++count;
      if (in.Read(1) == 1) {
        value = previous;
        if (count == 11) {
          count = static_cast<int>(in.Read(6));
          if (count != 0) {
            state = kCounter;
          } else {
            previous = value = static_cast<int>(in.Read(bpp));
            state = kSingle;
          }
        }
      } else {
        previous = value = static_cast<int>(in.Read(bpp));
        state = kSingle;
      }
    } else if (--count == 0) {
      previous = value = static_cast<int>(in.Read(bpp));
      state = kSingle;
    } else {
      value = previous;
    }
    return value;
  };
  std::vector<int> pixels;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) pixels.push_back(next() ^ (prefilter && y > 0 ? pixels[pixels.size() - w] : 0));
  return pixels;
}

/// The glyphs of an LVGL binary font file, by code point.
std::map<uint32_t, Glyph> ReadLvglBin(const std::string& file) {
  auto u = [&](size_t at, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(file.at(at + i));
    return value;
  };
  const size_t head = 8, cmap = u(0, 4), loca = cmap + u(cmap, 4), glyf = loca + u(loca, 4);
  EXPECT_EQ(file.substr(4, 4) + file.substr(cmap + 4, 4) + file.substr(loca + 4, 4) + file.substr(glyf + 4, 4),
            "headcmaplocaglyf");
  const int bpp = file[head + 29], xy = file[head + 30], wh = file[head + 31], adv = file[head + 32];
  const int compression = file[head + 33], whole_pixels = file[head + 28] == 0;
  const auto default_advance = static_cast<int>(u(head + 22, 2));
  const bool long_offsets = file[head + 26] == 1;
  // Tables after head: LVGL's loader reads a kern table from 4 on.
  EXPECT_EQ(u(head + 4, 2), glyf + u(glyf, 4) < file.size() ? 4u : 3u);
  std::map<uint32_t, Glyph> glyphs;
  for (uint32_t m = 0; m < u(cmap + 8, 4); ++m) {
    const size_t table = cmap + 12 + 16 * m;
    const uint32_t start = u(table + 4, 4), length = u(table + 8, 2), first_id = u(table + 10, 2);
    const uint32_t entries = u(table + 12, 2);
    std::vector<uint32_t> code_points;
    for (uint32_t k = 0; k < (entries == 0 ? length : entries); ++k)
      code_points.push_back(start + (entries == 0 ? k : u(cmap + u(table, 4) + 2 * k, 2)));
    for (size_t k = 0; k < code_points.size(); ++k) {
      const uint32_t id = first_id + static_cast<uint32_t>(k);
      const size_t offset = glyf + (long_offsets ? u(loca + 12 + 4 * id, 4) : u(loca + 12 + 2 * id, 2));
      BitReader in{reinterpret_cast<const uint8_t*>(file.data() + offset)};
      Glyph glyph;
      glyph.advance = (adv == 0 ? default_advance : static_cast<int>(in.Read(adv))) * (whole_pixels ? 16 : 1),
      glyph.x = in.Signed(xy), glyph.y = in.Signed(xy);
      glyph.w = static_cast<int>(in.Read(wh)), glyph.h = static_cast<int>(in.Read(wh));
      if (compression != 0) {
        glyph.levels = Decompressed({in.bytes + in.at / 8, in.at % 8}, glyph.w, glyph.h, bpp, compression == 1);
      } else {
        for (int i = 0; i < glyph.w * glyph.h; ++i) glyph.levels.push_back(static_cast<int>(in.Read(bpp)));
      }
      glyphs[code_points[k]] = glyph;
    }
  }
  return glyphs;
}

/// The glyph FreeType draws of `code_point`, lightly hinted, its coverage
/// rounded to `bpp` bits (at 1, drawn monochrome), trimmed to the pixels it covers.
Glyph FreeTypeGlyph(FT_Face face, uint32_t code_point, int bpp) {
  const bool mono = bpp == 1;
  // Light hinting: at 1 bit a pixel, the auto-hinter's.
  EXPECT_EQ(
      FT_Load_Char(face, code_point,
                   FT_LOAD_NO_BITMAP | (mono ? FT_LOAD_TARGET_MONO | FT_LOAD_FORCE_AUTOHINT : FT_LOAD_TARGET_LIGHT)),
      0);
  EXPECT_EQ(FT_Render_Glyph(face->glyph, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL), 0);
  const FT_Bitmap& bitmap = face->glyph->bitmap;
  const int most = (1 << bpp) - 1;
  auto level = [&](int x, int y) {
    const uint8_t* row = bitmap.buffer + y * bitmap.pitch;
    return mono ? row[x / 8] >> (7 - x % 8) & 1 : (row[x] * most + 127) / 255;
  };
  int left = 1 << 20, right = -1, top = 1 << 20, bottom = -1;
  for (int y = 0; y < static_cast<int>(bitmap.rows); ++y)
    for (int x = 0; x < static_cast<int>(bitmap.width); ++x)
      if (level(x, y) != 0) left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = y;
  Glyph glyph;
  glyph.advance = static_cast<int>((face->glyph->linearHoriAdvance * 16 + 0x8000) >> 16);
  if (right < 0) return glyph;
  glyph.x = face->glyph->bitmap_left + left, glyph.y = face->glyph->bitmap_top - bottom - 1;
  glyph.w = right - left + 1, glyph.h = bottom - top + 1;
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) glyph.levels.push_back(level(x, y));
  return glyph;
}

TEST(FontFileTest, LvglBinaryFontsDrawAsFreeTypeDrawsTheFace) {
  testing::TempDir dir;
  const char* const text = "主菜单 體镕喆 ー설정™ 25°C AVAW\n";
  FT_Library library;
  ASSERT_EQ(FT_Init_FreeType(&library), 0);
  FT_Face face;
  ASSERT_EQ(FT_New_Face(library, kFont, 0, &face), 0);
  ASSERT_EQ(FT_Set_Pixel_Sizes(face, 0, 24), 0);
  // The last text's glyphs all advance alike, which the file says once.
  const std::pair<const char*, const char*> runs[] = {
      {"--bpp 4", text}, {"--bpp 4 --compress", text}, {"--bpp 2 --compress", text}, {"--bpp 3 --compress", text},
      {"--bpp 8", text}, {"--bpp 1", "主菜单"}};
  for (const auto& [options, menu] : runs) {
    SCOPED_TRACE(options);
    testing::WriteFile(dir / "menu.txt", menu);
    const testing::CommandResult run =
        testing::RunCommand(std::string(PIXTREL_EXTRACT) + " -q --font " + kFont + " --size 24 --format lvgl-bin " +
                                options + " -o " + (dir / "ui.bin") + " " + (dir / "menu.txt"),
                            dir);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::map<uint32_t, Glyph> glyphs = ReadLvglBin(testing::ReadFile(dir / "ui.bin"));
    EXPECT_EQ(glyphs.size(), menu == text ? 18u : 3u);  // Each character once, the space too.
    const int bpp = options[6] - '0';
    for (const auto& [code_point, glyph] : glyphs) {
      SCOPED_TRACE(code_point);
      EXPECT_EQ(glyph, FreeTypeGlyph(face, code_point, bpp));
    }
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
}

TEST(FontFileTest, SeveralFontsMakeOneEachCharacterFromTheFirstThatHasIt) {
  testing::TempDir dir;
  constexpr char kDejaVu[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  testing::WriteFile(dir / "menu.txt", "\u4E3B\u83DC\u5355 AVAW\n");
  const testing::CommandResult run = testing::RunCommand(
      std::string(PIXTREL_EXTRACT) + " -q --strict --font " + kDejaVu + " --font " + kFont +
          " --face 0 --size 24 --bpp 4 --format lvgl-bin -o " + (dir / "ui.bin") + " " + (dir / "menu.txt"),
      dir);
  ASSERT_EQ(run.status, 0) << run.err;
  const std::map<uint32_t, Glyph> glyphs = ReadLvglBin(testing::ReadFile(dir / "ui.bin"));
  FT_Library library;
  ASSERT_EQ(FT_Init_FreeType(&library), 0);
  for (const auto& [file, code_points] : {std::pair(kDejaVu, U"AVW "), std::pair(kFont, U"\u4E3B\u83DC\u5355")}) {
    FT_Face face;
    ASSERT_EQ(FT_New_Face(library, file, 0, &face), 0);
    ASSERT_EQ(FT_Set_Pixel_Sizes(face, 0, 24), 0);
    for (const char32_t* c = code_points; *c != 0; ++c) EXPECT_EQ(glyphs.at(*c), FreeTypeGlyph(face, *c, 4)) << file;
    FT_Done_Face(face);
  }
  FT_Done_FreeType(library);
}

/// The glyphs of a smooth font, by code point, read as TFT_eSPI's loadFont
/// reads them (Smooth_font.cpp): its advance in whole pixels, left offset,
/// box from the baseline and 8-bit coverage; and TFT_eSPI's textWidth of `line`.
struct Vlw {
  std::map<uint32_t, Glyph> glyphs;
  int ascent = 0, descent = 0;

  explicit Vlw(const std::string& file) {
    auto word = [&](size_t at) {
      uint32_t value = 0;
      for (size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<uint8_t>(file.at(at + i));
      return static_cast<int32_t>(value);
    };
    const int count = word(0);
    EXPECT_EQ(word(4), 11);
    ascent = word(16), descent = word(20);
    size_t bitmap = 24 + 28 * static_cast<size_t>(count);
    for (int k = 0; k < count; ++k) {
      const size_t at = 24 + 28 * static_cast<size_t>(k);
      Glyph glyph;
      glyph.h = word(at + 4), glyph.w = word(at + 8), glyph.advance = word(at + 12) * 16;
      glyph.y = word(at + 16) - glyph.h, glyph.x = word(at + 20);
      for (int i = 0; i < glyph.w * glyph.h; ++i) glyph.levels.push_back(static_cast<uint8_t>(file.at(bitmap++)));
      glyphs[static_cast<uint32_t>(word(at))] = glyph;
    }
  }

  int TextWidth(const std::u32string& line) const {
    const int space = (ascent + descent) * 2 / 7;
    int width = 0;
    for (size_t i = 0; i < line.size(); ++i) {
      if (line[i] == U' ') {
        width += space;
        continue;
      }
      const Glyph& glyph = glyphs.at(line[i]);
      if (width == 0 && glyph.x < 0) width -= glyph.x;
      width += i + 1 < line.size() ? glyph.advance / 16 : glyph.x + glyph.w;
    }
    return width;
  }
};

TEST(FontFileTest, SmoothFontsAreAsTftEspiReadsThem) {
  testing::TempDir dir;
  const std::u32string line = U"\u8BBE\u7F6E Settings 25\u00B0C";
  testing::WriteFile(dir / "menu.txt", "\u8BBE\u7F6E Settings 25\u00B0C\n");
  const testing::CommandResult run =
      testing::RunCommand(std::string(PIXTREL_EXTRACT) + " -q --font " + kFont +
                              " --size 20 --format vlw --max-width 1 -o " + (dir / "ui.vlw") + " " + (dir / "menu.txt"),
                          dir);
  ASSERT_EQ(run.status, 0) << run.err;
  const Vlw font(testing::ReadFile(dir / "ui.vlw"));
  EXPECT_NE(run.err.find("menu.txt:1: " + std::to_string(font.TextWidth(line)) + " pixels wide"), std::string::npos)
      << run.err;
  FT_Library library;
  ASSERT_EQ(FT_Init_FreeType(&library), 0);
  FT_Face face;
  ASSERT_EQ(FT_New_Face(library, kFont, 0, &face), 0);
  ASSERT_EQ(FT_Set_Pixel_Sizes(face, 0, 20), 0);
  EXPECT_EQ(font.glyphs.size(), 14u);  // Each character once, the space too.
  for (auto [code_point, glyph] : font.glyphs) {
    Glyph drawn = FreeTypeGlyph(face, code_point, 8);
    drawn.advance = glyph.advance = 0;  // Whole pixels in the smooth font; FreeType's own checked above.
    EXPECT_EQ(glyph, drawn) << code_point;
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
}

TEST(FontFileTest, AdafruitGfxFontsDrawAsFreeTypeDrawsTheFace) {
  testing::TempDir dir;
  constexpr char kDejaVu[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  testing::WriteFile(dir / "menu.txt", "Menu: Settings 25\u00B0C\n");
  ASSERT_EQ(testing::RunCommand(std::string(PIXTREL_EXTRACT) + " -q --font " + kDejaVu +
                                    " --size 16 --format gfx --name menu_font -o " + (dir / "menu_font.h") + " " +
                                    (dir / "menu.txt"),
                                dir)
                .status,
            0);
  // Adafruit's structures by their documented fields, and drawChar's reading of the bits.
  testing::WriteFile(dir / "draw.c",
                     "#include <stdint.h>\n#include <stdio.h>\n#define PROGMEM\n"
                     "typedef struct { uint16_t bitmapOffset; uint8_t width, height, xAdvance; int8_t xOffset, "
                     "yOffset; } GFXglyph;\n"
                     "typedef struct { uint8_t *bitmap; GFXglyph *glyph; uint16_t first, last; uint8_t yAdvance; } "
                     "GFXfont;\n"
                     "#include \"menu_font.h\"\n"
                     "int main(void) {\n"
                     "  for (unsigned c = menu_font.first; c <= menu_font.last; ++c) {\n"
                     "    const GFXglyph *g = &menu_font.glyph[c - menu_font.first];\n"
                     "    const uint8_t *bitmap = menu_font.bitmap + g->bitmapOffset;\n"
                     "    uint8_t bits = 0, bit = 0;\n"
                     "    printf(\"%u %d %d %d %d \", c, g->width, g->height, g->xOffset, g->yOffset);\n"
                     "    for (int yy = 0; yy < g->height; ++yy)\n"
                     "      for (int xx = 0; xx < g->width; ++xx) {\n"
                     "        if (!(bit++ & 7)) bits = *bitmap++;\n"
                     "        putchar(bits & 0x80 ? '1' : '0');\n"
                     "        bits <<= 1;\n"
                     "      }\n"
                     "    putchar('\\n');\n"
                     "  }\n"
                     "  return 0;\n"
                     "}\n");
  const testing::CommandResult built =
      testing::RunCommand("cd " + dir.path() + " && gcc -std=c99 -Wall -Wextra -Werror draw.c -o draw && ./draw", dir);
  ASSERT_EQ(built.status, 0) << built.err;
  FT_Library library;
  ASSERT_EQ(FT_Init_FreeType(&library), 0);
  FT_Face face;
  ASSERT_EQ(FT_New_Face(library, kDejaVu, 0, &face), 0);
  ASSERT_EQ(FT_Set_Pixel_Sizes(face, 0, 16), 0);
  std::istringstream lines(built.out);
  int drawn = 0;
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    unsigned code_point;
    Glyph glyph;
    std::string bits;
    fields >> code_point >> glyph.w >> glyph.h >> glyph.x >> glyph.y >> bits;
    if (std::u32string(U"Menu: Settings 25\u00B0C").find(static_cast<char32_t>(code_point)) == std::u32string::npos) {
      EXPECT_EQ(glyph.w * glyph.h, 0) << code_point;  // A gap between the text's characters.
      continue;
    }
    glyph.y = 1 - glyph.y - glyph.h;  // fontconvert's yOffset: one row below the top.
    for (char bit : bits) glyph.levels.push_back(bit - '0');
    Glyph expected = FreeTypeGlyph(face, code_point, 1);
    expected.advance = 0;
    if (expected.w == 0) expected.x = expected.y = 0, glyph.y = 0;  // The space: no box to place.
    EXPECT_EQ(glyph, expected) << code_point;
    ++drawn;
  }
  EXPECT_EQ(drawn, 15);  // Each character of the text once, the space too.
  FT_Done_Face(face);
  FT_Done_FreeType(library);
}

/// The width LVGL gives a label of `line` in the binary font `file`: each
/// glyph's advance with the kerning its kern table holds for it and the
/// next one, scaled by kern_scale, rounded to whole pixels
/// (lv_font_fmt_txt.c, lv_text_get_width).
int LvglLabelWidth(const std::string& file, const std::u32string& line) {
  const std::map<uint32_t, Glyph> glyphs = ReadLvglBin(file);
  auto u = [&](size_t at, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(file.at(at + i));
    return value;
  };
  const size_t head = 8, cmap = u(0, 4), loca = cmap + u(cmap, 4), glyf = loca + u(loca, 4), kern = glyf + u(glyf, 4);
  const int kern_scale = static_cast<int>(u(head + 24, 2)), id_bytes = file[head + 27] == 1 ? 2 : 1;
  std::map<std::pair<uint32_t, uint32_t>, int> pairs;  // By glyph ids: the glyphs' order by code point, from 1.
  if (kern < file.size()) {
    const uint32_t count = u(kern + 12, 4);
    for (uint32_t k = 0; k < count; ++k)
      pairs[{u(kern + 16 + 2 * id_bytes * k, id_bytes), u(kern + 16 + 2 * id_bytes * k + id_bytes, id_bytes)}] =
          static_cast<int8_t>(file.at(kern + 16 + 2 * id_bytes * count + k));
  }
  auto id = [&](char32_t c) { return static_cast<uint32_t>(std::distance(glyphs.begin(), glyphs.find(c)) + 1); };
  int width = 0;
  for (size_t i = 0; i < line.size(); ++i) {
    const int value = i + 1 < line.size() ? pairs[{id(line[i]), id(line[i + 1])}] : 0;
    width += (std::max(0, glyphs.at(line[i]).advance + ((value * kern_scale) >> 4)) + 8) >> 4;
  }
  return width;
}

TEST(FontFileTest, LinesAreAsWideAsLvglLaysThemOut) {
  testing::TempDir dir;
  const std::u32string line = U"AVAWAY To Ty 25\u00B0C";
  testing::WriteFile(dir / "menu.txt", "AVAWAY To Ty 25\u00B0C\n");
  // DejaVu kerns AV, VA, To and Ty in a kern table and in GPOS; Noto Sans CJK in GPOS only.
  for (const char* font : {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                           "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc --face 2"}) {
    int kerned = 0;
    for (const char* kerning : {"", " --no-kerning"}) {
      SCOPED_TRACE(std::string(font) + kerning);
      const testing::CommandResult run = testing::RunCommand(
          std::string(PIXTREL_EXTRACT) + " -q --font " + font + " --size 20 --bpp 4 --format lvgl-bin --max-width 1" +
              kerning + " -o " + (dir / "ui.bin") + " " + (dir / "menu.txt"),
          dir);
      ASSERT_EQ(run.status, 0) << run.err;
      const int width = LvglLabelWidth(testing::ReadFile(dir / "ui.bin"), line);
      EXPECT_NE(run.err.find("menu.txt:1: " + std::to_string(width) + " pixels wide"), std::string::npos) << run.err;
      if (*kerning == '\0')
        kerned = width;
      else
        EXPECT_LT(kerned, width);
    }
  }
}

}  // namespace
}  // namespace pixtrel
