// Whole lines at the display's size: the README's firmware example drawing a
// mixed menu from what pixtrel-extract writes with --half-width and
// --placeholder, pixel for pixel against the set's own files; the width of
// lines; the picture of the text, and its map.

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <vector>

#include "formats/png_picture.h"
#include "platform/platform.h"
#include "test_support.h"

namespace pixtrel {
namespace {

/// The build's 12-pixel set, with half-width glyphs and a placeholder.
const std::string kSet = std::filesystem::path(PIXTREL_EXTRACT).parent_path().parent_path() / "fonts/efont-12";
constexpr int kSize = 12;

/// A line drawn from the set's files as the font's own records hold it: pixel rows from the top.
using Drawing = std::vector<std::vector<bool>>;

/// Draws `utf8`, a line, as the set's files say: ASCII from half-width.bin,
/// a character of the table from GB2312.bin, any other the placeholder;
/// tells of each character its code point and whether it got the placeholder.
Drawing DrawnBySet(const std::string& utf8, std::vector<uint32_t>* code_points = nullptr,
                   std::vector<bool>* placeholders = nullptr) {
  const testing::SetFiles set(kSet);
  Drawing drawing(kSize);
  for (uint32_t code_point : testing::CodePoints(utf8)) {
    const std::optional<testing::SetCell> cell = set.Of(code_point);
    const testing::SetCell drawn = cell ? *cell : set.Placeholder();
    for (int y = 0; y < kSize; ++y) drawing[y].insert(drawing[y].end(), drawn.rows[y].begin(), drawn.rows[y].end());
    if (code_points) code_points->push_back(code_point);
    if (placeholders) placeholders->push_back(!cell);
  }
  return drawing;
}

class WholeLinesTest : public ::testing::Test {
 protected:
  testing::CommandResult Extract(const std::string& arguments) {
    return testing::RunCommand(std::string(PIXTREL_EXTRACT) + " --data-dir " + kSet + " " + arguments, dir_);
  }

  testing::TempDir dir_;
};

TEST_F(WholeLinesTest, TheReadmesExampleDrawsEachLineAtItsTrueWidths) {
  const std::vector<std::string> lines = {"主菜单 Main Menu", "1. 系统设置", "WiFi: 已连接", "音量 80%\U0001F600"};
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  testing::WriteFile(dir_ / "menu.txt", text);
  ASSERT_EQ(Extract("-q --half-width --placeholder --layout page-lsb --format h " + (dir_ / "menu.txt")).status, 0);

  const std::string readme = testing::ReadFile(PIXTREL_SOURCE "/README.md");
  const size_t marker = readme.find("<!-- ssd1306-whole-lines -->\n```c\n");
  ASSERT_NE(marker, std::string::npos);
  const size_t start = readme.find('\n', readme.find("```c", marker)) + 1;
  testing::WriteFile(dir_ / "example.c", readme.substr(start, readme.find("```", start) - start));
  testing::WriteFile(dir_ / "main.c",
                     "#include <stdio.h>\n#include \"menu.h\"\nextern uint8_t frame[8][128];\n"
                     "void draw_menu_line(unsigned line, unsigned x, unsigned page);\n"
                     "int main(void) {\n  unsigned line, n;\n"
                     "  for (line = 1; line <= 4; ++line) draw_menu_line(line, 0, 2 * (line - 1));\n"
                     "  fwrite(frame, 1, sizeof frame, stdout);\n"
                     "  fwrite(menu_bitmaps, 1, sizeof menu_bitmaps, stdout);\n"
                     "  for (n = 0; n < sizeof menu_codes / sizeof menu_codes[0]; ++n) printf(\"%lx \", "
                     "(unsigned long)menu_codes[n]);\n  return 0;\n}\n");
  for (const char* compiler : {"gcc -std=c99 -x c", "g++ -std=c++11 -x c++"}) {
    const testing::CommandResult built = testing::RunCommand(
        "cd " + dir_.path() + " && " + compiler + " -Wall -Wextra -Werror example.c main.c -o firmware", dir_);
    ASSERT_EQ(built.status, 0) << compiler << ": " << built.err;
  }
  const testing::CommandResult ran = testing::RunCommand(dir_ / "firmware", dir_);
  ASSERT_EQ(ran.status, 0);
  std::string codes;
  for (size_t line = 0; line < lines.size(); ++line) {
    std::vector<uint32_t> code_points;
    const Drawing expected = DrawnBySet(lines[line], &code_points);
    for (uint32_t code_point : code_points)
      codes += [&] {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%x ", code_point);
        return std::string(hex);
      }();
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 128; ++x) {
        const int row = static_cast<int>(2 * line) * 8 + y;
        const bool drawn = ran.out[static_cast<size_t>((row / 8) * 128 + x)] >> (row % 8) & 1;
        const bool set = y < kSize && x < static_cast<int>(expected[y].size()) && expected[y][x];
        ASSERT_EQ(drawn, set) << "line " << line + 1 << ", x " << x << ", y " << y;
      }
    }
  }
  ASSERT_EQ(
      Extract("-q --half-width --placeholder --layout page-lsb -o " + (dir_ / "menu.bin") + " " + (dir_ / "menu.txt"))
          .status,
      0);
  const std::string bitmaps = testing::ReadFile(dir_ / "menu.bin");
  EXPECT_EQ(ran.out.substr(8 * 128, bitmaps.size()), bitmaps);  // The bytes --format bin writes.
  EXPECT_EQ(ran.out.substr(8 * 128 + bitmaps.size()),
            codes);  // The placeholder's code point is the missing character's.
}

TEST_F(WholeLinesTest, LinesWiderThanTheDisplayAreReportedAndFailStrictRuns) {
  testing::WriteFile(dir_ / "menu.txt", "aaa\naaaa\naaaaa\n");  // 18, 24 and 30 pixels wide.
  testing::CommandResult result = Extract("-q --half-width --max-width 24 " + (dir_ / "menu.txt"));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, (dir_ / "menu.txt") + ":3: 30 pixels wide, 6 over 24\n");
  result = Extract("-q --strict --half-width --max-width 24 -o " + (dir_ / "strict.bin") + " " + (dir_ / "menu.txt"));
  EXPECT_EQ(result.status, 3);
  EXPECT_FALSE(testing::Exists(dir_ / "strict.bin"));
  EXPECT_EQ(Extract("-q --strict --half-width --max-width 30 " + (dir_ / "menu.txt")).status, 0);
}

/// The RGB pixels of the PNG file `path`, rows from the top, read by libpng.
std::vector<std::vector<uint8_t>> ReadPng(const std::string& path, uint32_t* width) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, file);
  png_read_info(png, info);
  *width = png_get_image_width(png, info);
  std::vector<std::vector<uint8_t>> rows(png_get_image_height(png, info), std::vector<uint8_t>(*width * 3));
  for (std::vector<uint8_t>& row : rows) png_read_row(png, row.data(), nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(file);
  return rows;
}

TEST_F(WholeLinesTest, ThePictureShowsTheTextAsTheRecordsDrawIt) {
  const std::vector<std::string> lines = {"ab\u4E2D", "\U0001F600a"};  // The second: a placeholder, then a letter.
  testing::WriteFile(dir_ / "menu.txt", lines[0] + "\n" + lines[1]);
  constexpr int kScale = 2, kLimit = 10;
  ASSERT_EQ(Extract("-q --half-width --placeholder --max-width 10 --png-scale 2 --png " + (dir_ / "menu.png") + " " +
                    (dir_ / "menu.txt"))
                .status,
            0);
  uint32_t width;
  const std::vector<std::vector<uint8_t>> picture = ReadPng(dir_ / "menu.png", &width);
  ASSERT_EQ(width, 24u * kScale);  // The wider line: two letters and a hanzi.
  ASSERT_EQ(picture.size(), 2u * kSize * kScale);
  for (size_t line = 0; line < lines.size(); ++line) {
    std::vector<bool> placeholders;
    const Drawing drawing = DrawnBySet(lines[line], nullptr, &placeholders);
    for (int y = 0; y < kSize * kScale; ++y) {
      for (uint32_t x = 0; x < width; ++x) {
        const int px = static_cast<int>(x) / kScale, py = y / kScale;
        const bool inked = px < static_cast<int>(drawing[py].size()) && drawing[py][px];
        const bool in_placeholder = line == 1 && px < kSize;
        const uint8_t* colour = x == kLimit * kScale ? PictureColours::kOver
                                : !inked             ? PictureColours::kBackground
                                : px >= kLimit       ? PictureColours::kOver
                                : in_placeholder     ? PictureColours::kPlaceholder
                                                     : PictureColours::kInk;
        const uint8_t* pixel = &picture[line * kSize * kScale + static_cast<size_t>(y)][x * 3];
        ASSERT_TRUE(std::equal(colour, colour + 3, pixel)) << "line " << line << ", x " << x << ", y " << y;
      }
    }
  }
}

TEST_F(WholeLinesTest, TheMapTellsWhereThePictureDrawsEachGlyphInTheColoursAskedFor) {
  testing::WriteFile(dir_ / "menu.txt", "a\u4E2D\n\U0001F600a");
  ASSERT_EQ(Extract("-q --half-width --placeholder --png-scale 2 --png-colours 102030,#F0E0D0 --png " +
                    (dir_ / "menu.png") + " --png-map " + (dir_ / "menu.json") + " " + (dir_ / "menu.txt"))
                .status,
            0);
  const nlohmann::json map = nlohmann::json::parse(testing::ReadFile(dir_ / "menu.json"));
  uint32_t width;
  const std::vector<std::vector<uint8_t>> picture = ReadPng(dir_ / "menu.png", &width);
  ASSERT_EQ(map["width"].get<uint32_t>() * 2, width);
  ASSERT_EQ(map["line_height"].get<int>(), kSize);
  std::vector<uint32_t> code_points;
  size_t inked = 0;
  for (const nlohmann::json& placed : map["placed"]) {
    const nlohmann::json& glyph = map["glyphs"][placed[3].get<size_t>()];
    code_points.push_back(glyph["code_point"]);
    const std::string levels = glyph["levels"];
    const bool placeholder = glyph["kind"] == "placeholder";
    for (int row = 0; row < glyph["h"].get<int>(); ++row) {
      for (int column = 0; column < glyph["w"].get<int>(); ++column) {
        const size_t at = static_cast<size_t>(row * glyph["w"].get<int>() + column) * 2;
        const bool ink = levels.substr(at, 2) != "00";
        const uint8_t ink_colour[3] = {0x10, 0x20, 0x30}, background[3] = {0xF0, 0xE0, 0xD0};
        const uint8_t* colour = !ink ? background : placeholder ? PictureColours::kPlaceholder : ink_colour;
        const int y = placed[0].get<int>() * kSize + placed[2].get<int>() + row, x = placed[1].get<int>() + column;
        const uint8_t* pixel = &picture[static_cast<size_t>(y * 2)][static_cast<size_t>(x * 2 * 3)];
        ASSERT_TRUE(std::equal(colour, colour + 3, pixel)) << "x " << x << ", y " << y;
        inked += ink;
      }
    }
  }
  EXPECT_EQ(code_points, (std::vector<uint32_t>{'a', 0x4E2D, 0x1F600, 'a'}));
  EXPECT_GT(inked, 0u);
}

}  // namespace
}  // namespace pixtrel
