#include "glyphdata/glyph_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "platform/failure.h"
#include "test_support.h"

namespace pixtrel {
namespace {

using testing::kA;
using testing::kAh;
using testing::kZhong;

class GlyphStoreTest : public ::testing::Test {
 protected:
  /// Loads a store from `font` and `table`; a null font means no font file.
  std::unique_ptr<GlyphStore> Load(const std::string* font, const std::string& table) {
    if (font) testing::WriteFile(dir_ / "GB2312.bin", *font);
    testing::WriteFile(dir_ / "GB2312.tbl", table);
    auto store = std::make_unique<GlyphStore>(dir_.path());
    store->LoadGlyphData();
    return store;
  }

  std::string LoadFailure(const std::string& table) {
    return testing::FailureText([&] { Load(nullptr, table); });
  }

  testing::TempDir dir_;
};

TEST_F(GlyphStoreTest, EntriesAreTheLinesLastCharacters) {
  std::string font = testing::TestFont();
  auto store = Load(&font, testing::TestTable({{0, kAh}, {1, "abc"}, {2, kA + " "}, {3, kZhong + kA}}));
  EXPECT_EQ(store->CodeTable()[0], kAh);
  EXPECT_EQ(store->CodeTable()[1], "c");
  EXPECT_EQ(store->CodeTable()[2], " ");
  EXPECT_EQ(store->CodeTable()[3], kA);
  EXPECT_EQ(store->CodeTable()[4], "");
  EXPECT_EQ(store->FontBytes()[5 * GlyphSize + 1], static_cast<uint8_t>(5 * 131 + 1));
}

TEST_F(GlyphStoreTest, LookupFindsTheFirstEqualDoubleByteEntry) {
  std::string font = testing::TestFont();
  auto store = Load(&font, testing::TestTable({{5, kAh}, {900, kAh}, {7, "code a"}, {8177, kZhong}}));
  EXPECT_EQ(store->Lookup(0xB0A1), 5);
  EXPECT_EQ(store->Lookup(0xD6D0), 8177);
  EXPECT_EQ(store->Lookup(0xB0A2), std::nullopt);
  EXPECT_EQ(store->Lookup('a'), std::nullopt);  // Single-byte entries are never found.
  EXPECT_EQ(store->Lookup(0), std::nullopt);    // Nor are empty entries.
}

TEST_F(GlyphStoreTest, LinesAfterTheLastSlotAreNeverRead) {
  std::string font = testing::TestFont();
  auto store = Load(&font, testing::TestTable({}) + "x " + kAh + "\r\n");
  EXPECT_EQ(store->Lookup(0xB0A1), std::nullopt);
}

TEST_F(GlyphStoreTest, ShortLongAndMissingFonts) {
  std::string font = testing::TestFont().substr(0, 100);
  auto store = Load(&font, testing::DefaultTable());
  auto record3 = store->Record(3);
  EXPECT_EQ(std::string(record3.begin(), record3.begin() + 4), testing::TestFont().substr(96, 4));
  EXPECT_EQ(std::string(record3.begin() + 4, record3.end()), std::string(28, '\0'));

  font = testing::TestFont() + "excess";
  store = Load(&font, testing::DefaultTable());
  EXPECT_EQ(store->Record(GlyphCount - 1)[31], static_cast<uint8_t>((8177 * 131 + 31) & 0xFF));
  store->Relayout({GlyphLayout::kRowMsb, /*invert=*/true});
  EXPECT_EQ(store->Record(1)[0], static_cast<uint8_t>(~131));
  EXPECT_EQ(testing::ReadFile(dir_ / "GB2312.bin"), font);  // Laying a whole font out anew never writes its file.

  std::filesystem::remove(dir_ / "GB2312.bin");
  store = Load(nullptr, testing::DefaultTable());
  EXPECT_EQ(store->Record(0)[0], 0);
  EXPECT_FALSE(testing::Exists(dir_ / "GB2312.bin"));  // A missing font is not created.
}

TEST_F(GlyphStoreTest, ATableThatCannotServeEverySlotFails) {
  std::string table = testing::TestTable({{GlyphCount - 1, kAh}});
  EXPECT_EQ(LoadFailure(table.substr(0, table.size() - 2)), "no failure");  // The last line needs no end.
  // An empty last line without its line end is no line at all.
  table = testing::DefaultTable();
  EXPECT_EQ(LoadFailure(table.substr(0, table.size() - 2)), (dir_ / "GB2312.tbl") + ": Input past end of file");
  std::string lf_only(GlyphCount, '\n');
  EXPECT_EQ(LoadFailure(lf_only), (dir_ / "GB2312.tbl") + ": Input past end of file");
  std::filesystem::remove(dir_ / "GB2312.tbl");
  GlyphStore store(dir_.path());
  EXPECT_THROW(store.LoadGlyphData(), Failure);
}

TEST_F(GlyphStoreTest, DataFilePathsJoinTheSeparatorAlways) {
  EXPECT_EQ(GlyphStore("/opt/p").FontPath(), "/opt/p" + testing::kSeparator + "GB2312.bin");
  EXPECT_EQ(GlyphStore("/").TablePath(), "/" + testing::kSeparator + "GB2312.tbl");
}

}  // namespace
}  // namespace pixtrel
