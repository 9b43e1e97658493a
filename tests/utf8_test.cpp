#include "glyphdata/utf8.h"

#include <gtest/gtest.h>

#include <random>

namespace pixtrel {
namespace {

TEST(Utf8Test, CodePointsRoundTrip) {
  for (uint32_t code_point : {0x41u, 0xE9u, 0x7FFu, 0x800u, 0x83DCu, 0xFFFDu, 0x10000u, 0x1F600u, 0x10FFFFu}) {
    std::string utf8;
    AppendUtf8(code_point, utf8);
    ASSERT_EQ(Utf8SequenceLength(utf8), utf8.size()) << code_point;
    EXPECT_EQ(Utf8CodePoint(utf8), code_point);
  }
}

TEST(Utf8Test, TheCensusCountsAsASequenceBySequenceReadingWouldInAnyPieces) {
  std::mt19937 random(936);
  const std::string pieces[] = {"\xE4\xB8\xAD", "\xC3\xA9",     "\xF0\x9F\x98\x80", "\xB0\xA1", "a",
                                "\xE0\x80",     "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xC0",     "\xFF",
                                "\xE4\xB8"};
  for (int round = 0; round < 200; ++round) {
    std::string text;
    for (int i = random() % 200; i > 0; --i) text += pieces[random() % std::size(pieces)];
    int64_t well_formed = 0, ill_formed = 0;  // Read sequence by sequence, one byte on past an ill-formed one.
    for (size_t at = 0; at < text.size();) {
      const size_t length = Utf8SequenceLength(std::string_view(text).substr(at));
      if (length == 0 || length == kIncompleteUtf8) {
        ++ill_formed, ++at;
        continue;
      }
      if (length > 1) well_formed += static_cast<int64_t>(length);
      at += length;
    }
    Utf8Census census;
    for (size_t at = 0; at < text.size();) {
      const size_t piece = random() % 40;
      census.Count(std::string_view(text).substr(at, piece));
      at += piece;
    }
    census.End();
    ASSERT_EQ(census.well_formed(), well_formed) << round;
    ASSERT_EQ(census.ill_formed(), ill_formed) << round;
  }
}

}  // namespace
}  // namespace pixtrel
