#include "glyphdata/output_path.h"

#include <gtest/gtest.h>

namespace pixtrel {
namespace {

TEST(OutputPathTest, ReplacesWhatFollowsTheNamesLastDot) {
  EXPECT_EQ(OutputPathFor("/data/menu.txt"), "/data/menu.bin");
  EXPECT_EQ(OutputPathFor("/data/menu.tbl"), "/data/menu.bin");
  EXPECT_EQ(OutputPathFor("/data/archive.2006.txt"), "/data/archive.2006.bin");
  EXPECT_EQ(OutputPathFor("/data/menu."), "/data/menu.bin");
  EXPECT_EQ(OutputPathFor("/data/menu.bin"), "/data/menu.bin");
  EXPECT_EQ(OutputPathFor("menu.txt"), "menu.bin");
  EXPECT_EQ(OutputPathFor("/data/\xB2\xCB\xB5\xA5.txt"), "/data/\xB2\xCB\xB5\xA5.bin");
}

TEST(OutputPathTest, AppendsBinWhenTheNameHasNoDot) {
  EXPECT_EQ(OutputPathFor("/data/notes"), "/data/notesbin");
  EXPECT_EQ(OutputPathFor("/rel.2/notes"), "/rel.2/notesbin");
  EXPECT_EQ(OutputPathFor(""), "bin");
#ifdef _WIN32  // There "\\" separates as "/" does.
  EXPECT_EQ(OutputPathFor("C:\\rel.2\\notes"), "C:\\rel.2\\notesbin");
  EXPECT_EQ(CommandOutputPathFor("C:\\rel.2\\menu", "bin"), "C:\\rel.2\\menu.bin");
  EXPECT_EQ(IdentifierFor("C:\\out.d\\menu.h"), "menu");
#endif
}

TEST(OutputPathTest, TheCommandGivesANameWithoutAnExtensionOneOfItsOwn) {
  EXPECT_EQ(CommandOutputPathFor("/rel.2/menu", "bin"), "/rel.2/menu.bin");
  EXPECT_EQ(CommandOutputPathFor(".hidden", "h"), ".hidden.h");
  EXPECT_EQ(CommandOutputPathFor("dir/.menu.txt", "c"), "dir/.menu.c");
  EXPECT_EQ(CommandOutputPathFor("menu.", "bin"), "menu.bin");
}

TEST(OutputPathTest, NamesMadeCIdentifiers) {
  EXPECT_EQ(IdentifierFor("out/menu-v2.h"), "menu_v2");
  EXPECT_EQ(IdentifierFor("\u83DC\u5355.h"), "u83DCu5355");  // Two Chinese names do not both become "__".
  EXPECT_EQ(IdentifierFor("1menu.c"), "glyphs_1menu");
  EXPECT_EQ(IdentifierFor(".h"), "glyphs_");
}

}  // namespace
}  // namespace pixtrel
