#include "glyphdata/text_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace pixtrel {
namespace {

std::vector<std::string> Lines(const std::string& text, size_t piece = 1 << 20) {
  testing::TrickleSource source(text, piece);
  LineReader reader(source);
  std::vector<std::string> lines;
  while (std::optional<std::string_view> line = reader.NextLine()) lines.emplace_back(*line);
  return lines;
}

using Strings = std::vector<std::string>;

TEST(LineReaderTest, LineEnds) {
  EXPECT_EQ(Lines("a\r\nb\r\n"), (Strings{"a", "b"}));  // No empty line after the last end.
  EXPECT_EQ(Lines("a\rb"), (Strings{"a", "b"}));        // A lone CR ends a line; so does the end.
  EXPECT_EQ(Lines("a\nb\n"), (Strings{"a\nb\n"}));      // LF alone is an ordinary byte.
  EXPECT_EQ(Lines("\r\n\r\r\n"), (Strings{"", "", ""}));
  EXPECT_EQ(Lines("a\r\r\n"), (Strings{"a", ""}));
  EXPECT_EQ(Lines(""), Strings{});
  EXPECT_EQ(Lines("x\r"), Strings{"x"});
  EXPECT_EQ(Lines("a\r\nlast line"), (Strings{"a", "last line"}));  // A last line without an end, after others.
}

TEST(LineReaderTest, LineEndsSplitAcrossReads) {
  const std::string text = "ab\r\ncd\re\r\n\r\nfgh\r";
  const Strings expected = {"ab", "cd", "e", "", "fgh"};
  for (size_t piece = 1; piece <= text.size(); ++piece) EXPECT_EQ(Lines(text, piece), expected) << piece;
}

TEST(LineReaderTest, LinesLongerThanTheBuffer) {
  std::string a(700 * 1024, 'a'), b(3, 'b');
  EXPECT_EQ(Lines(a + "\r\n" + b, 100 * 1024), (Strings{a, b}));
}

TEST(LineReaderTest, LongLinesComeInPiecesAndTakeBackTheirLastBytes) {
  const std::string line = std::string(700 * 1024, 'a') + "z";
  testing::TrickleSource source(line + "\r\n", 100 * 1024);
  LineReader reader(source);
  std::string joined;
  size_t pieces = 0;
  for (std::optional<LinePiece> piece; (piece = reader.Next()) && (++pieces, true);) {
    EXPECT_LE(piece->text.size(), 512 * 1024u);
    if (piece->ends_line) {
      joined += piece->text;
      break;
    }
    joined += piece->text.substr(0, piece->text.size() - 1);  // The last byte comes again.
    reader.GiveBack(1);
  }
  EXPECT_EQ(joined, line);
  EXPECT_GT(pieces, 2u);
  EXPECT_EQ(reader.Next(), std::nullopt);
}

TEST(EditorLineCounterTest, CrLfCrAndLfEachEndALineAcrossPieces) {
  EditorLineCounter lines;
  for (std::string_view piece : {"a\r", "\nb\n", "\r", "\r\n"}) lines.Count(piece);
  EXPECT_EQ(lines.Number(), 5);
  lines.CountLineEnd();
  lines.Count("\n");  // A LF after a line end taken away is a line end of its own.
  EXPECT_EQ(lines.Number(), 7);
}

TEST(LineReaderTest, ReportsTheLengthTakenAtTheLastRead) {
  testing::TrickleSource source("ab\r\n", 2);
  LineReader reader(source);
  EXPECT_EQ(reader.SourceLength(), 0);
  reader.Next();
  EXPECT_EQ(reader.SourceLength(), 4);
}

}  // namespace
}  // namespace pixtrel
