// Runs pixtrel-mkfont on tiny BDF fonts written here, and on a Debian font.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "test_support.h"

namespace pixtrel {
namespace {

/// A BDF font of 16-pixel glyphs, each a full square of `rows` rows from
/// the top of a 16 x 16 box, in `registry` ("ISO10646" or "GB2312.1980").
std::string Bdf(const std::string& registry, const std::vector<int>& encodings, int rows = 16) {
  std::string bdf = "STARTFONT 2.1\nFONT test\nSIZE 16 75 75\nFONTBOUNDINGBOX 16 16 0 -2\nSTARTPROPERTIES 4\n";
  bdf += "CHARSET_REGISTRY \"" + registry + "\"\nCHARSET_ENCODING \"" + (registry == "ISO10646" ? "1" : "0") + "\"\n";
  bdf += "FONT_ASCENT 14\nFONT_DESCENT 2\nENDPROPERTIES\nCHARS " + std::to_string(encodings.size()) + "\n";
  for (int encoding : encodings) {
    bdf += "STARTCHAR c" + std::to_string(encoding) + "\nENCODING " + std::to_string(encoding) +
           "\nSWIDTH 1000 0\nDWIDTH 16 0\nBBX 16 " + std::to_string(rows) + " 0 " + std::to_string(14 - rows) +
           "\nBITMAP\n";
    for (int row = 0; row < rows; ++row) bdf += "FFFF\n";
    bdf += "ENDCHAR\n";
  }
  return bdf + "ENDFONT\n";
}

class PixtrelMkfontTest : public ::testing::Test {
 protected:
  int Run(const std::string& arguments) {
    const std::string command = std::string(PIXTREL_MKFONT) + " -o " + dir_.path() + " " + arguments + " >" +
                                (dir_ / "out") + " 2>" + (dir_ / "err");
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Record(size_t slot) { return testing::ReadFile(dir_ / "GB2312.bin").substr(slot * 32, 32); }

  testing::TempDir dir_;
};

TEST_F(PixtrelMkfontTest, FindsCharactersByUnicodeOrByGb2312Code) {
  testing::WriteFile(dir_ / "u.bdf", Bdf("ISO10646", {0x554A}, 8));  // 啊 (B0A1, slot 1410): the top 8 rows.
  EXPECT_EQ(Run("--strict " + (dir_ / "u.bdf")), 3);                 // Every other character is missing.
  EXPECT_NE(testing::ReadFile(dir_ / "err").find("B0A2 U+963F \u963F: missing"), std::string::npos);
  EXPECT_EQ(Record(1410), std::string(16, '\xFF') + std::string(16, '\0'));
  EXPECT_EQ(Record(1411), std::string(32, '\0'));
  // The set tells which glyphs are blank, but for white space (U+3000, slot 0) and the slots of no character.
  const std::string description = testing::ReadFile(dir_ / "font-set.txt");
  EXPECT_NE(description.find("\nblank 1-103 110-159 "), std::string::npos) << description;
  EXPECT_NE(description.find(" 755-830 1411-5164 5170-8177\n"), std::string::npos) << description;
  EXPECT_EQ(testing::ReadFile(dir_ / "GB2312.tbl").size(), 68702u);  // Every slot's line, whatever the font.

  testing::WriteFile(dir_ / "g.bdf", Bdf("GB2312.1980", {0x3021}));  // B0A1 less 0x8080.
  EXPECT_EQ(Run(dir_ / "g.bdf"), 0);
  EXPECT_EQ(Record(1410), std::string(32, '\xFF'));
}

TEST_F(PixtrelMkfontTest, RefusesWhatItCannotUse) {
  testing::WriteFile(dir_ / "u.bdf", Bdf("ISO10646", {0x554A}));
  EXPECT_EQ(Run("--size 12 " + (dir_ / "u.bdf")), 2);  // A bitmap font without a 12-pixel strike.
  EXPECT_NE(testing::ReadFile(dir_ / "err").find("No strike of 12 pixels"), std::string::npos);
  EXPECT_EQ(Run("--face 1 " + (dir_ / "u.bdf")), 2);
  EXPECT_EQ(Run("--face Nope " + (dir_ / "u.bdf")), 2);
  EXPECT_NE(testing::ReadFile(dir_ / "err").find("No face named Nope; its faces are 0 "), std::string::npos);
  testing::WriteFile(dir_ / "not.bdf", "hello");
  EXPECT_EQ(Run(dir_ / "not.bdf"), 2);
  EXPECT_FALSE(testing::Exists(dir_ / "GB2312.bin"));  // Nothing written by a refusal.
  EXPECT_EQ(Run("-o '' " + (dir_ / "u.bdf")), 2);
  EXPECT_NE(testing::ReadFile(dir_ / "err").find("-o needs a directory"), std::string::npos);
  EXPECT_EQ(Run("-o " + (dir_ / "u.bdf") + " " + (dir_ / "u.bdf")), 2);
  EXPECT_EQ(testing::ReadFile(dir_ / "err"),
            "pixtrel-mkfont: " + (dir_ / "u.bdf") + ": " + std::strerror(ENOTDIR) + "\n");
}

TEST_F(PixtrelMkfontTest, KeepsItsFontAndSaysWhatItRemoves) {
  // A set made from a set's own font file, by any path, would overwrite it: nothing is touched.
  testing::WriteFile(dir_ / "u.bdf", Bdf("ISO10646", {0x554A, 'A'}));  // Its "A" is 16 wide: no half-width glyphs.
  testing::WriteFile(dir_ / "half-width.bin", "an older set's");
  ASSERT_EQ(Run(dir_ / "u.bdf"), 0);
  EXPECT_NE(testing::ReadFile(dir_ / "err")
                .find("pixtrel-mkfont: " + (dir_ / "half-width.bin") +
                      ": removed, since this set has no half-width glyphs\n"),
            std::string::npos);
  EXPECT_NE(testing::ReadFile(dir_ / "err")
                .find("no half-width glyphs (its ASCII is up to 16 pixels wide, wider than the half cell of 8)"),
            std::string::npos);
  EXPECT_FALSE(testing::Exists(dir_ / "half-width.bin"));
  testing::WriteFile(dir_ / "GB2312.bin", Bdf("ISO10646", {0x554A}));
  for (const std::string& font : {dir_ / "GB2312.bin", dir_.path() + "/./GB2312.bin"}) {
    EXPECT_EQ(Run(font), 2);
    EXPECT_EQ(testing::ReadFile(dir_ / "err"),
              "pixtrel-mkfont: " + (dir_ / "GB2312.bin") + ": The font set would overwrite its own font\n");
    EXPECT_EQ(testing::ReadFile(dir_ / "GB2312.bin"), Bdf("ISO10646", {0x554A}));
  }
  // A directory that is not there yet is made, with those above it.
  EXPECT_EQ(Run("-o " + (dir_ / "new/set") + " " + (dir_ / "u.bdf")), 0);
  EXPECT_TRUE(testing::Exists(dir_ / "new/set/GB2312.bin"));
}

TEST_F(PixtrelMkfontTest, AFontSetFromADebianFontCoversGb2312) {
  EXPECT_EQ(Run("--list " PIXTREL_FONT_DIR "/f16.pcf.gz"), 0);
  EXPECT_EQ(testing::ReadFile(dir_ / "out"),
            "face 0: Fixed Regular; strikes: 16 px; outlines: no; GB2312 coverage: 7478 of 7478; ASCII: 1 of 95\n");
}

TEST_F(PixtrelMkfontTest, ASetOfTwelvePixelsWithHalfWidthGlyphsAndAPlaceholder) {
  // 啊 a full 12 x 12 square; "A" 4 x 6, its advance 6, a column right of the pen, on the baseline.
  const std::string bdf =
      "STARTFONT 2.1\nFONT test\nSIZE 12 72 72\nFONTBOUNDINGBOX 12 12 0 -2\nSTARTPROPERTIES 4\n"
      "CHARSET_REGISTRY \"ISO10646\"\nCHARSET_ENCODING \"1\"\nFONT_ASCENT 10\nFONT_DESCENT 2\nENDPROPERTIES\n"
      "CHARS 2\nSTARTCHAR ah\nENCODING 21834\nSWIDTH 1000 0\nDWIDTH 12 0\nBBX 12 12 0 -2\nBITMAP\n" +
      [] {
        std::string rows;
        for (int row = 0; row < 12; ++row) rows += "FFF0\n";
        return rows;
      }() +
      "ENDCHAR\nSTARTCHAR A\nENCODING 65\nSWIDTH 500 0\nDWIDTH 6 0\nBBX 4 6 1 0\nBITMAP\n" +
      "F0\nF0\nF0\nF0\nF0\nF0\nENDCHAR\nENDFONT\n";
  testing::WriteFile(dir_ / "t12.bdf", bdf);
  EXPECT_EQ(Run("--size 12 " + (dir_ / "t12.bdf")), 0);
  const std::string font = testing::ReadFile(dir_ / "GB2312.bin");
  ASSERT_EQ(font.size(), 8178 * 24u);  // Twelve rows of two bytes a record.
  std::string square;
  for (int row = 0; row < 12; ++row) square += "\xFF\xF0";
  EXPECT_EQ(font.substr(1410 * 24, 24), square);
  const std::string half_width = testing::ReadFile(dir_ / "half-width.bin");
  ASSERT_EQ(half_width.size(), 95 * 12u);  // Twelve rows of a byte a record, 6 pixels of it.
  EXPECT_EQ(half_width.substr(('A' - 0x20) * 12, 12),
            std::string(4, '\0') + std::string(6, '\x78') + std::string(2, '\0'));
  // No U+FFFD in the font: the placeholder is a box a pixel in from the cell's edges.
  const std::string box = testing::ReadFile(dir_ / "placeholder.bin");
  ASSERT_EQ(box.size(), 24u);
  EXPECT_EQ(box.substr(0, 6), std::string("\0\0\x7F\xE0\x40\x20", 6));
  EXPECT_NE(testing::ReadFile(dir_ / "font-set.txt").find("size 12\nhalf-width 6\nbaseline 10\nplaceholder yes\n"),
            std::string::npos);
}

}  // namespace
}  // namespace pixtrel
