#include "cli/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pixtrel {
namespace {

/// Parses the command line `pixtrel-extract WORDS...`.
ParsedCommandLine ParseLine(std::vector<std::string> words) {
  words.insert(words.begin(), "pixtrel-extract");
  return ParseOptions(words);
}

std::optional<Options> Parse(std::vector<std::string> words) { return ParseLine(std::move(words)).options; }

TEST(OptionsTest, ReadsEveryOption) {
  std::optional<Options> options =
      Parse({"-q", "-o", "out.bin", "--data-dir", "data", "--encoding", "UTF-8", "--strict", "--preview", "menu.txt"});
  ASSERT_TRUE(options);
  EXPECT_EQ(options->action, Options::Action::kExtract);
  EXPECT_TRUE(options->quiet && options->strict && options->missing && options->preview);
  EXPECT_EQ(options->output, "out.bin");
  EXPECT_EQ(options->data_dir, "data");
  EXPECT_EQ(options->sources, (std::vector<SourceFile>{{"menu.txt", TextEncoding::kUtf8}}));
  EXPECT_EQ(options->file, "menu.txt");

  // Each --encoding says how the SOURCEs after it are read, until the next; auto returns to detection.
  options = Parse({"a.txt", "-o", "font.c", "--encoding", "Big5", "--format", "u8g2", "b.txt", "--depfile", "font.d",
                   "c.txt", "--encoding", "euc-kr", "d.txt", "--encoding", "auto", "--", "e.txt"});
  ASSERT_TRUE(options);
  EXPECT_EQ(options->sources, (std::vector<SourceFile>{{"a.txt", TextEncoding::kDetect},
                                                       {"b.txt", TextEncoding::kBig5},
                                                       {"c.txt", TextEncoding::kBig5},
                                                       {"d.txt", TextEncoding::kCp949},
                                                       {"e.txt", TextEncoding::kDetect}}));
  EXPECT_EQ(options->output, "font.c");

  options = Parse({"--show", "menu.bin"});
  ASSERT_TRUE(options);
  EXPECT_EQ(options->action, Options::Action::kShow);
  EXPECT_EQ(options->file, "menu.bin");
  EXPECT_EQ(Parse({"-V", "ignored", "words"})->action, Options::Action::kVersion);
}

TEST(OptionsTest, RefusesWrongCommandLines) {
  for (const std::vector<std::string>& words : std::vector<std::vector<std::string>>{
           {},
           {"a", "b"},
           {"--encoding", "latin1", "a"},
           {"--show", "g.bin", "x"},
           {"--bogus", "a"},
           {"-o"},
           {"-"},
           {"-o", "", "a"},
           {"--preview", "-o", "-", "a"},
           {"--unique", "--half-width", "--index", "i", "a"},
           {"--max-width", "0", "a"},
           {"--png-scale", "65", "a"},
           // What goes with --font, or with a format, alone.
           {"--charset", "gb2312", "--format", "lvgl", "-o", "f.c", "a"},
           {"--bpp", "4", "--format", "lvgl", "-o", "f.c", "a"},
           {"--font", "f.ttf", "--data-dir", "d", "a"},
           {"--font", "f.ttf", "--bpp", "4", "--format", "u8g2", "-o", "f.c", "a"},
           {"--font", "f.ttf", "--bpp", "3", "a"},
           {"--font", "f.ttf", "--bpp", "3", "--format", "lvgl-bin", "-o", "f.bin", "a"},
           {"--font", "f.ttf", "--compress", "a"},
           {"--font", "f.ttf", "--range", "U+50-U+40", "--format", "lvgl", "-o", "f.c"}})
    EXPECT_FALSE(Parse(words)) << words.size();
  // Each refusal says why, in the words of the option's row and the formats' table.
  for (const auto& [words, error] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"--bpp", "5", "a"}, "--bpp takes 1, 2, 3, 4 or 8 bits a pixel: 5"},
           {{"a", "--encoding", "big5", "b", "--encoding", "cp949"},
            "--encoding cp949 comes after the last SOURCE and reads no text: put it before the SOURCEs it names"},
           {{"--font", "f", "--bpp", "4", "--format", "u8g2", "-o", "f.c", "a"},
            "--bpp 4 goes with --format bin, c, h, lvgl, lvgl-bin, lvgl-flash or vlw, not u8g2"},
           {{"--font", "f", "--bpp", "3", "--format", "lvgl", "-o", "f.c", "a"},
            "--bpp 3 without --compress goes with --bpp 1, 2, 4 or 8: lvgl's library draws plain bitmaps of those "
            "only"},
           {{"--font", "f", "--compress", "--format", "lvgl-bin", "-o", "f.bin", "a"},
            "--compress goes with --bpp 2, 3 or 4: lvgl-bin's library draws compressed bitmaps of those only"},
           {{"--fallback", "f", "--format", "c", "a"}, "--fallback goes with --format lvgl or lvgl-flash, not c"},
           {{"--size", "9", "a"}, "--size goes with --font: a font set's glyphs are drawn at its size, 1 bit a pixel"},
           {{"--format", "png", "a"}, "--format takes bin, c, h, lvgl, lvgl-bin, lvgl-flash, u8g2, vlw or gfx: png"},
           {{"--layout", "page-lsb", "--format", "lvgl", "-o", "f.c", "a"},
            "--layout goes with --format bin, c or h, not lvgl"},
           {{"-o", "", "a"}, "-o needs a file name"},
           {{"--include", "u8g2_fonts.h", "--format", "lvgl", "-o", "f.c", "a"},
            "--include goes with --format u8g2, not lvgl"},
           {{"a", "--depfile"}, "--depfile needs a file name"},
           {{"--quiet=1", "a"}, "-q takes no value"},
           {{"--bogus", "a"}, "unknown option --bogus"}})
    EXPECT_EQ(ParseLine(words).error, error);
  const std::optional<Options> font =
      Parse({"--font", "f.ttc", "--face", "Mono", "--size", "24", "--bpp", "4", "--charset", "ascii", "--range",
             "U+4E00-U+4E01", "--format", "lvgl-bin", "--compress", "-o", "f.bin"});
  ASSERT_TRUE(font);
  EXPECT_TRUE(font->sources.empty());
  EXPECT_EQ(font->ranges.size(), 95u + 1);
}

}  // namespace
}  // namespace pixtrel
