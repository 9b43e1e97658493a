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
}

}  // namespace
}  // namespace pixtrel
