// Texts in the encodings firmware developers' editors write them in, and
// fonts found by their names, through the pixtrel-extract executable.

#include <gtest/gtest.h>

#include <set>

#include "glyphdata/charsets.h"
#include "test_support.h"

namespace pixtrel {
namespace {

constexpr char kNoto[] = "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc";

class TextsAndFontsTest : public ::testing::Test {
 protected:
  testing::CommandResult Extract(const std::string& arguments) {
    return testing::RunCommand("LC_ALL=C.UTF-8 " + std::string(PIXTREL_EXTRACT) + " " + arguments, dir_);
  }

  /// The code points an LVGL C font written at `path` holds, as its comments name them.
  std::string CodePointsIn(const std::string& path) {
    const std::string font = testing::ReadFile(path);
    std::string code_points;
    for (size_t at = font.find("    /* U+"); at != std::string::npos; at = font.find("    /* U+", at + 1))
      code_points += font.substr(at + 7, font.find(' ', at + 9) - at - 7) + " ";
    return code_points;
  }

  testing::TempDir dir_;
};

TEST_F(TextsAndFontsTest, EachTextIsReadAsItWasWritten) {
  // 설정: a Korean Windows' "ANSI"; 設定: Big5 and Shift_JIS; 中 in UTF-8.
  testing::WriteFile(dir_ / "kr.txt",
                     "\xBC\xB3\xC1\xA4 \xB8\xDE\xB4\xBA\n\xBE\xF0\xBE\xEE: \xC7\xD1\xB1\xB9\xBE\xEE\n");
  testing::WriteFile(dir_ / "tw.txt", "\xA5\x44\xBF\xEF\xB3\xE6 / \xA8\x74\xB2\xCE\xB3\x5D\xA9\x77\r\n");
  testing::WriteFile(dir_ / "jp.txt", "\x90\xDD\x92\xE8 \x83\x81\x83\x6A\x83\x85\x81\x5B\n\x8C\xBE\x8C\xEA\n");
  testing::WriteFile(dir_ / "cn.txt", "\u4E2D\n");
  const std::string font = "--font 'Noto Sans CJK KR' --size 16 --format lvgl --strict -o " + (dir_ / "ui.c") + " ";
  testing::CommandResult result = Extract(font + (dir_ / "cn.txt") + " " + (dir_ / "kr.txt"));
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "pixtrel-extract: " + (dir_ / "kr.txt") +
                            ": this text looks like CP949 (Korean); say --encoding cp949, or --encoding cp936 to read "
                            "it as CP936\n");
  EXPECT_FALSE(testing::Exists(dir_ / "ui.c"));
  // Each --encoding for the texts after it: one font of all their characters.
  result = Extract(font + (dir_ / "cn.txt") + " --encoding cp949 " + (dir_ / "kr.txt") + " --encoding big5 " +
                   (dir_ / "tw.txt") + " --encoding shift_jis " + (dir_ / "jp.txt"));
  ASSERT_EQ(result.status, 0) << result.err;
  const std::string code_points = CodePointsIn(dir_ / "ui.c");
  for (const char* character : {"U+C124 ", "U+D55C ", "U+4E3B ", "U+8A2D ", "U+30E1 ", "U+4E2D "})
    EXPECT_NE(code_points.find(character), std::string::npos) << character << " in " << code_points;
  EXPECT_EQ(code_points.find("U+60EB"), std::string::npos);  // Not the hanzi GBK reads 설 as.

  // A font given as the text is refused before anything is written, whatever the encoding said.
  for (const char* encoding : {"", "--encoding gbk "}) {
    result = Extract(font + encoding + kNoto);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, std::string("pixtrel-extract: ") + kNoto + ": not a text (a font file?)\n");
  }
}

TEST_F(TextsAndFontsTest, FontsAndSetsAreFoundByTheirNames) {
  testing::WriteFile(dir_ / "menu.txt", "\u8A2D\u5B9A 25\u00B0C\n");
  testing::CommandResult result = Extract("--font 'noto sans cjk tc' --size 16 --format lvgl --depfile " +
                                          (dir_ / "ui.d") + " -o " + (dir_ / "ui.c") + " " + (dir_ / "menu.txt"));
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(testing::ReadFile(dir_ / "ui.c").find("from Noto Sans CJK TC Regular (NotoSansCJK-Regular.ttc)"),
            std::string::npos);
  EXPECT_NE(testing::ReadFile(dir_ / "ui.d").find(std::string(" ") + kNoto + "\n"), std::string::npos);
  result = Extract("--list-fonts 'Sans CJK TC Regular'");
  EXPECT_EQ(result.out, std::string("Noto Sans CJK TC Regular: ") + kNoto + ", face 3; hanzi, kana, Hangul\n");
  result = Extract("--font 'No Such Font' --format lvgl -o " + (dir_ / "ui.c") + " " + (dir_ / "menu.txt"));
  EXPECT_EQ(result.err,
            "pixtrel-extract: No Such Font: No such file, nor an installed font of that name "
            "(--list-fonts lists them)\n");
  // A bitmap font of one strike is drawn at it; a set Pixtrel ships is found by its name.
  EXPECT_EQ(Extract("-q --font " PIXTREL_FONT_DIR "/b12.pcf.gz --format u8g2 -o " + (dir_ / "u8.c") + " " +
                    (dir_ / "menu.txt"))
                .status,
            0);
  EXPECT_EQ(Extract("-q --data-dir efont-12 --half-width -o " + (dir_ / "menu.bin") + " " + (dir_ / "menu.txt")).status,
            0);
  EXPECT_EQ(testing::ReadFile(dir_ / "menu.bin").size(), 24u * 2 + 12u * 4);  // 定, °, and " 25C" half as wide.
}

TEST_F(TextsAndFontsTest, WholeSetsHoldAsciiAndTellWhatTheFontLacks) {
  EXPECT_EQ(CharsetCharacters("gb2312")->size(), 7478u + 95);
  EXPECT_EQ(CharsetCharacters("ksx1001")->size(), 8226u + 95);
  EXPECT_EQ(CharsetCharacters("jisx0208")->size(), 6879u + 95);
  const std::string font =
      "--font /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf --size 16 --format lvgl -o " + (dir_ / "ui.c") + " ";
  testing::CommandResult result = Extract(font + "--charset jisx0208");
  EXPECT_EQ(result.status, 0);
  const std::string code_points = CodePointsIn(dir_ / "ui.c");
  EXPECT_TRUE(code_points.starts_with("U+0020 U+0021 ")) << code_points;  // "v3.0.2" and "28°C" draw.
  EXPECT_NE(code_points.find("U+007E "), std::string::npos);
  const size_t lacking = std::stoul(result.err.substr(result.err.find("warning: ") + 9));
  EXPECT_EQ(result.err,
            "pixtrel-extract: /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf: warning: " + std::to_string(lacking) +
                " of the 6974 characters of --charset and --range are not in "
                "the font (--missing lists them)\n");
  result = Extract(font + "--missing --charset jisx0208");
  EXPECT_NE(result.err.find("/DejaVuSans.ttf: missing U+4E9C \u4E9C\n"), std::string::npos);
  EXPECT_EQ(static_cast<size_t>(std::count(result.err.begin(), result.err.end(), '\n')), lacking);
}

TEST_F(TextsAndFontsTest, AGlyphCutToItsCellIsToldOf) {
  testing::WriteFile(dir_ / "m.txt", "Menu WWW\nMM\n");
  testing::WriteFile(dir_ / "m.bin", "old");
  const std::string run =
      "--font /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf --size 16 --half-width -o " + (dir_ / "m.bin") + " ";
  const std::string told = (dir_ / "m.txt") + ":1: M is 11 pixels wide, 8 fit its half-width cell\n" +
                           (dir_ / "m.txt") + ":1: W is 14 pixels wide, 8 fit its half-width cell\n";
  testing::CommandResult result = Extract("--strict " + run + (dir_ / "m.txt"));
  EXPECT_EQ(result.status, 3);
  EXPECT_EQ(result.err.substr(0, told.size()), told);
  EXPECT_EQ(testing::ReadFile(dir_ / "m.bin"), "old");
  result = Extract("-q " + run + (dir_ / "m.txt"));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, told);
}

TEST_F(TextsAndFontsTest, AControlCharacterIsMissingWhereAsciiIsDrawn) {
  testing::WriteFile(dir_ / "menu.txt", "\u540D\u79F0\t\u503C\nOK\n");  // 名称<tab>值: a tab is no glyph of any font.
  for (const std::string format : {"--format u8g2", "--half-width"}) {
    const testing::CommandResult result =
        Extract("-q --strict " + format + " -o " + (dir_ / "out") + " " + (dir_ / "menu.txt"));
    EXPECT_EQ(result.status, 3) << format;
    EXPECT_NE(result.err.find("menu.txt:1: missing U+0009 (tab), 1 occurrence"), std::string::npos) << result.err;
  }
  EXPECT_EQ(Extract("-q --strict -o " + (dir_ / "out") + " " + (dir_ / "menu.txt")).status,
            0);  // Records of hanzi only.
}

TEST_F(TextsAndFontsTest, ACollectionsRegionalFaceIsToldOfWhenChosenByDefault) {
  testing::WriteFile(dir_ / "menu.txt", "\u9AA8\n");  // 骨, drawn apart in Japan and in China.
  const std::string run = "-q --size 16 --format lvgl -o " + (dir_ / "ui.c") + " " + (dir_ / "menu.txt");
  EXPECT_EQ(Extract("--font " + std::string(kNoto) + " " + run).err,
            "pixtrel-extract: " + std::string(kNoto) +
                ": face 0 is Noto Sans CJK JP (Japanese forms); --face \"Noto Sans CJK SC\" draws simplified Chinese "
                "forms\n");
  EXPECT_EQ(Extract("--font " + std::string(kNoto) + " --face 0 " + run).err, "");
  EXPECT_EQ(Extract("--font 'Noto Sans CJK SC' " + run).err, "");
}

TEST_F(TextsAndFontsTest, EachHintingDrawsItsOwnAtOneBitAPixel) {
  testing::WriteFile(dir_ / "menu.txt", "Settings 25\u00B0C\n");
  std::set<std::string> fonts;
  for (const char* hinting : {"light", "normal", "none"}) {
    const std::string font = dir_ / (std::string(hinting) + ".c");
    ASSERT_EQ(Extract("-q --font /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf --size 12 --format u8g2 --name f "
                      "--hinting " +
                      std::string(hinting) + " -o " + font + " " + (dir_ / "menu.txt"))
                  .status,
              0);
    fonts.insert(testing::ReadFile(font));
  }
  EXPECT_EQ(fonts.size(), 3u);  // DejaVu has instructions: its own hinter, the auto-hinter, none.
}

}  // namespace
}  // namespace pixtrel
