#include "glyphdata/utf8_source.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/failure.h"
#include "test_support.h"

namespace pixtrel {
namespace {

using Strings = std::vector<std::string>;

class Utf8SourceTest : public ::testing::Test {
 protected:
  /// Reads `utf8` through a Utf8Source, `chunk` bytes a call; records the
  /// characters without a CP936 form in sightings_.
  std::string Convert(const std::string& utf8, size_t chunk = 4096) {
    testing::WriteFile(path_, utf8);
    std::unique_ptr<Utf8Source> source = Utf8Source::OpenFile(RealDisk(), path_);
    std::string converted;
    std::string buffer(chunk, '\0');
    for (size_t count; (count = source->Read(buffer.data(), chunk)) != 0;) converted.append(buffer, 0, count);
    EXPECT_EQ(source->Length(), static_cast<int64_t>(converted.size()));
    for (std::string character; !(character = source->TakeUnconvertible()).empty();) sightings_.push_back(character);
    return converted;
  }

  std::string ConversionFailure(const std::string& utf8) {
    return testing::FailureText([&] { Convert(utf8); });
  }

  testing::TempDir dir_;
  const std::string path_ = dir_ / "menu.txt";
  Strings sightings_;
};

TEST(Utf8SequenceLengthTest, AcceptsOnlyWellFormedSequences) {
  EXPECT_EQ(Utf8SequenceLength("a"), 1u);
  EXPECT_EQ(Utf8SequenceLength("\xC2\xA9"), 2u);
  EXPECT_EQ(Utf8SequenceLength("\xE4\xB8\xAD!"), 3u);
  EXPECT_EQ(Utf8SequenceLength("\xF0\x9F\x98\x80"), 4u);
  for (const char* ill_formed :
       {"\x80", "\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF5", "\xE4\x41\xAD"})
    EXPECT_EQ(Utf8SequenceLength(ill_formed), 0u) << ill_formed;
  EXPECT_EQ(Utf8SequenceLength("\xE4\xB8"), kIncompleteUtf8);
}

TEST_F(Utf8SourceTest, ConvertsToCp936AndSkipsAByteOrderMark) {
  EXPECT_EQ(Convert("\xEF\xBB\xBF\xE5\x95\x8A a\r\n\xE4\xB8\xAD"), testing::kAh + " a\r\n" + testing::kZhong);
  EXPECT_EQ(Convert("a\xEF\xBB\xBF"), "a\xFF\xFF");  // Only a mark at the start is skipped.
  EXPECT_EQ(Convert(""), "");
}

TEST_F(Utf8SourceTest, CharactersWithoutACp936FormReadAsFFFFAndAreKeptInOrder) {
  const std::string emoji = "\xF0\x9F\x98\x80";
  EXPECT_EQ(Convert(emoji + "\n\xE4\xB8\xAD\r\n\r" + emoji + "\n" + emoji, 1),
            "\xFF\xFF\n" + testing::kZhong + "\r\n\r\xFF\xFF\n\xFF\xFF");
  EXPECT_EQ(sightings_, (Strings{emoji, emoji, emoji}));
}

TEST_F(Utf8SourceTest, SequencesAcrossReadsAreJoined) {
  const std::string ascii(64 * 1024 - 1, 'a');
  EXPECT_EQ(Convert(ascii + "\xE4\xB8\xAD"), ascii + testing::kZhong);
}

TEST_F(Utf8SourceTest, IllFormedTextFailsNamingTheLineAndTheFile) {
  EXPECT_EQ(ConversionFailure("ok\r\nok\n\xC0\x80"), path_ + ":3: invalid UTF-8");
  EXPECT_EQ(ConversionFailure("\xE4\xB8\xAD\r\xE4\xB8"), path_ + ":2: invalid UTF-8");  // Cut short.
  EXPECT_EQ(ConversionFailure("\xFF"), path_ + ":1: invalid UTF-8");
}

}  // namespace
}  // namespace pixtrel
