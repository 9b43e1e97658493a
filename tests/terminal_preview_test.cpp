#include "formats/terminal_preview.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/failure.h"
#include "test_support.h"

namespace pixtrel {
namespace {

/// A record whose row 0 is inked in columns 0 and 15, row 1 in column 0
/// only, and row 3 in column 8 only.
std::string Corners() {
  std::string record(32, '\0');
  record[0] = '\x80';
  record[1] = '\x01';
  record[2] = '\x80';
  record[7] = '\x80';
  return record;
}

std::vector<std::string> Lines(const std::string& art) {
  std::vector<std::string> lines;
  for (size_t start = 0, end; (end = art.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(art.substr(start, end - start));
  return lines;
}

TEST(TerminalPreviewTest, DrawsTwoPixelRowsALineWithHalfBlocks) {
  std::vector<std::string> lines = Lines(TerminalPreview::Of(Corners(), {}, 80));
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0], "\u2588" + std::string(14, ' ') + "\u2580");
  EXPECT_EQ(lines[1], std::string(8, ' ') + "\u2584" + std::string(7, ' '));
  EXPECT_EQ(lines[7], std::string(16, ' '));
}

TEST(TerminalPreviewTest, PutsAsManyGlyphsSideBySideAsTheWidthAllows) {
  const std::string seven = std::string(7 * 32, '\xFF');
  const std::string full = "\u2588";
  std::string five_wide;
  for (int i = 0; i < 5 * 16; ++i) five_wide += full;
  std::vector<std::string> lines = Lines(TerminalPreview::Of(seven, {}, 95));
  ASSERT_EQ(lines.size(), 16u);
  EXPECT_EQ(lines[0], five_wide);
  EXPECT_EQ(lines[8].size(), 2 * 16 * full.size());
  EXPECT_EQ(Lines(TerminalPreview::Of(seven, {}, 10)).size(), 7 * 8u);  // Narrower than a glyph: one a band.
  EXPECT_EQ(TerminalPreview::Of("", {}, 80), "");
  // Records of 12 rows, 6 and 12 columns wide: as wide as they are, six lines high.
  TerminalPreview mixed(18, {}, [&](const std::string& band) { EXPECT_EQ(Lines(band).size(), 6u); });
  const std::vector<uint8_t> half_width(12, 0xFF), full_width(24, 0xFF);
  mixed.Add(half_width, {6, 12});
  mixed.Add(full_width, {12, 12});
  mixed.Add(half_width, {6, 12});  // Into the next band.
  mixed.Finish();
}

TEST(TerminalPreviewTest, AGlyphFileOfPartRecordsFailsNamingIt) {
  testing::TempDir dir;
  testing::WriteFile(dir / "menu.bin", Corners() + "x");
  std::FILE* out = std::tmpfile();
  EXPECT_EQ(testing::FailureText([&] { DrawGlyphFile(dir / "menu.bin", {}, 80, out); }),
            (dir / "menu.bin") + ": Length is not a multiple of 32 bytes; it fits the records of no set");
  EXPECT_EQ(std::ftell(out), 0);
  std::fclose(out);
}

}  // namespace
}  // namespace pixtrel
