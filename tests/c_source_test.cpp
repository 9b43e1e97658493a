#include "cli/c_source.h"

#include <gtest/gtest.h>

namespace pixtrel {
namespace {

TEST(CSourceTest, NamesMadeCIdentifiers) {
  EXPECT_EQ(IdentifierFor("out/menu-v2.h"), "menu_v2");
  EXPECT_EQ(IdentifierFor("\u83DC\u5355.h"), "u83DCu5355");  // Two Chinese names do not both become "__".
  EXPECT_EQ(IdentifierFor("1menu.c"), "glyphs_1menu");
  EXPECT_EQ(IdentifierFor(".h"), "glyphs_");
}

TEST(CSourceTest, ASourceNameCannotEndTheLeadingComment) {
  GlyphCollection glyphs;
  glyphs.GlyphWritten(0, 0xB0A1, 1);
  glyphs.SourceEnded(1);
  GlyphStore font("/nonexistent");
  CSourceRequest request;
  request.name = "menu";
  request.source = "x*/menu.txt";
  const std::string source = CSource(request, glyphs, font);
  EXPECT_EQ(source.find("x*/"), std::string::npos);
  EXPECT_LT(source.find(" */\n"), source.find("#include"));  // The comment ends where it should.
}

}  // namespace
}  // namespace pixtrel
