#include "extract/extractor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "platform/failure.h"
#include "test_support.h"

namespace pixtrel {
namespace {

using testing::kA;
using testing::kAh;
using testing::kWen;
using testing::kZhong;
using testing::TestRecord;
using Strings = std::vector<std::string>;

class ExtractorTest : public ::testing::Test {
 protected:
  ExtractorTest() {
    testing::WriteDataFiles(dir_);
    run_ = std::make_unique<Extractor>(dir_.path());
    run_->LoadGlyphData();
  }

  RunOutcome Run(std::unique_ptr<ByteSource> source = nullptr) {
    return run_->Run(window_, &window_, std::move(source));
  }

  /// Chooses `name` in the test directory, holding `text`, as the source.
  void Choose(const std::string& name, const std::string& text) {
    testing::WriteFile(dir_ / name, text);
    run_->SourcePath = dir_ / name;
    run_->MakeOutputPath();
  }

  std::string Output() const { return testing::ReadFile(run_->OutputPath); }

  std::string RunFailure() {
    return testing::FailureText([this] { Run(); });
  }

  testing::TempDir dir_;
  std::unique_ptr<Extractor> run_;
  testing::RecordingWindow window_;
};

TEST_F(ExtractorTest, WritesTheRecordsOfTheCharactersFound) {
  Choose("menu.txt", kAh + kA + "\r\n");
  EXPECT_EQ(Run(), RunOutcome::kWritten);
  EXPECT_EQ(Output(), TestRecord(0) + TestRecord(1));
  EXPECT_EQ(window_.events, (Strings{"enable 0", "caption Loading... 66%", "caption 100%", "message Over !", "reset"}));
  EXPECT_EQ(run_->BytesDone, 6);
}

TEST_F(ExtractorTest, ReadsAUtf8SourceAsUtf8WithoutAsking) {
  Choose("menu.txt", "\u4E2D\u554A\r\n");
  EXPECT_EQ(Run(), RunOutcome::kWritten);
  EXPECT_EQ(Output(), TestRecord(2) + TestRecord(0));
}

TEST_F(ExtractorTest, KeepsSourceOrderAndRepeats) {
  Choose("menu.txt", "1. " + kZhong + kAh + kZhong + "\r\n\r\nab " + kZhong + "\r\n");
  Run();
  EXPECT_EQ(Output(), TestRecord(2) + TestRecord(0) + TestRecord(2) + TestRecord(2));
}

TEST_F(ExtractorTest, SkipsWhatTheTableLacksButCountsIt) {
  // 文 is missing (2), "a" is single-byte (1), the empty line and both line ends count 2.
  Choose("menu.txt", kWen + "a\r\n\r\n" + kAh);
  Run();
  EXPECT_EQ(Output(), TestRecord(0));
  EXPECT_EQ(run_->BytesDone, 2 + 1 + 2 + 2 + 2 + 2);
  // The last line has no line end: its caption already says 100.
  EXPECT_EQ(window_.Captions(), (Strings{"Loading... 33%", "Loading... 55%", "Loading... 100%", "100%"}));
}

TEST_F(ExtractorTest, ReportsMissingCharactersWithTheirEditorLines) {
  // Lines end at CR LF, lone CR and lone LF alike; found and single-byte characters are not reported.
  Choose("menu.txt", kWen + kAh + "\r\n" + "a" + kWen + "\r" + kWen + "\n\r\n" + kWen + "\n" + kWen);
  Run();
  EXPECT_EQ(window_.missing,
            (std::vector<testing::Missing>{{0xCEC4, 1}, {0xCEC4, 2}, {0xCEC4, 3}, {0xCEC4, 5}, {0xCEC4, 6}}));
  EXPECT_EQ(Output(), TestRecord(0));
}

TEST_F(ExtractorTest, LoneCarriageReturnsRunAheadOfTheTruth) {
  Choose("menu.txt", "a\rb\rc\rd\r");
  Run();
  EXPECT_EQ(window_.Captions(),
            (Strings{"Loading... 12%", "Loading... 50%", "Loading... 87%", "Loading... 125%", "100%"}));
  Choose("menu.txt", "\r\r\r");
  Run();
  EXPECT_EQ(window_.Captions().back(), "100%");
  EXPECT_NE(std::find(window_.events.begin(), window_.events.end(), "caption Loading... 133%"), window_.events.end());
}

TEST_F(ExtractorTest, FindingNothingLeavesNoGlyphFile) {
  Choose("menu.txt", "ASCII only\r\n" + kWen + "\r\n");
  testing::WriteFile(dir_ / "menu.bin", "old glyphs");
  EXPECT_EQ(Run(), RunOutcome::kEmpty);
  EXPECT_FALSE(testing::Exists(dir_ / "menu.bin"));
  EXPECT_EQ(window_.events.end()[-2], "message Your tbl is empty .");

  window_.events.clear();
  Choose("empty.txt", "");
  EXPECT_EQ(Run(), RunOutcome::kEmpty);
  EXPECT_EQ(window_.events, (Strings{"enable 0", "caption 100%", "message Your tbl is empty .", "reset"}));
}

TEST_F(ExtractorTest, AnUnreadableSourceFailsAfterTheOldGlyphFileIsGone) {
  run_->SourcePath = dir_ / "gone.txt";
  run_->MakeOutputPath();
  testing::WriteFile(dir_ / "gone.bin", "old glyphs");
  EXPECT_EQ(RunFailure(), (dir_ / "gone.txt") + ": " + testing::NoSuchFileText());
  EXPECT_FALSE(testing::Exists(dir_ / "gone.bin"));
}

TEST_F(ExtractorTest, OnlyARegularFileIsEverReplaced) {
  Choose("menu.txt", kAh);
  std::filesystem::create_directory(dir_ / "menu.bin");
  testing::WriteFile(dir_ / "menu.bin/keep", "x");
  EXPECT_EQ(Run(), RunOutcome::kRefused);
  EXPECT_EQ(window_.events[1], "message " + (dir_ / "menu.bin") + ": Is a directory");
  EXPECT_TRUE(testing::Exists(dir_ / "menu.bin/keep"));

#ifdef _WIN32
  run_->OutputPath = "NUL";  // A device, as the console CON is.
  EXPECT_EQ(Run(), RunOutcome::kRefused);
#else
  // A link is followed: the file it names is replaced, and the link stays.
  // (Windows makes links for the privileged only, and Wine none.)
  testing::WriteFile(dir_ / "real.bin", "old glyphs");
  std::filesystem::create_symlink("real.bin", dir_ / "link.bin");
  run_->OutputPath = dir_ / "link.bin";
  EXPECT_EQ(Run(), RunOutcome::kWritten);
  EXPECT_TRUE(std::filesystem::is_symlink(dir_ / "link.bin"));
  EXPECT_EQ(testing::ReadFile(dir_ / "real.bin"), TestRecord(0));

  run_->OutputPath = "/dev/null";
  EXPECT_EQ(Run(), RunOutcome::kRefused);
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
#endif
}

TEST_F(ExtractorTest, RefusesToOverwriteItsOwnSource) {
  const std::string source = kAh + "\r\n";
  Choose("menu.bin", source);
  EXPECT_EQ(Run(), RunOutcome::kRefused);
  EXPECT_EQ(window_.events,
            (Strings{"enable 0", "message " + (dir_ / "menu.bin") + ": The glyph file would overwrite its own source",
                     "reset"}));
  EXPECT_EQ(testing::ReadFile(dir_ / "menu.bin"), source);

  Choose("menu.txt", source);
#ifdef _WIN32
  run_->OutputPath = dir_ / "MENU.TXT";  // The same file in other letters.
#else
  std::filesystem::create_symlink(dir_ / "menu.txt", dir_ / "link.bin");
  run_->OutputPath = dir_ / "link.bin";
#endif
  EXPECT_EQ(Run(), RunOutcome::kRefused);
  EXPECT_EQ(testing::ReadFile(dir_ / "menu.txt"), source);
}

TEST_F(ExtractorTest, RefusesToOverwriteTheDataFiles) {
  const std::string font = testing::TestFont(), table = testing::DefaultTable();
  std::filesystem::create_hard_link(dir_ / "GB2312.tbl", dir_ / "hard.tbl");
  Choose("menu.txt", kAh);
  for (const std::string& output :
       {dir_ / "GB2312.bin", dir_.path() + "/./GB2312.bin",
        dir_.path() + "/../" + dir_.path().substr(dir_.path().rfind('/') + 1) + "/GB2312.tbl", dir_ / "hard.tbl"}) {
    window_.events.clear();
    run_->OutputPath = output;
    EXPECT_EQ(Run(), RunOutcome::kRefused) << output;
    EXPECT_EQ(window_.events, (Strings{"enable 0", "message Dont't touch the backup !", "reset"}));
  }
  EXPECT_EQ(testing::ReadFile(dir_ / "GB2312.bin"), font);
  EXPECT_EQ(testing::ReadFile(dir_ / "GB2312.tbl"), table);
}

TEST_F(ExtractorTest, SourceRefusalsCoverTheDataFilesAndTheirGlyphFiles) {
  EXPECT_EQ(run_->SourceRefusal(dir_ / "GB2312.tbl"), kBackupMessage);
  EXPECT_EQ(run_->SourceRefusal(dir_.path() + "//GB2312.bin"), kBackupMessage);
  EXPECT_EQ(run_->SourceRefusal(dir_ / "GB2312.txt"), kBackupMessage);  // Its glyph file is the font.
  EXPECT_NE(run_->SourceRefusal(dir_ / "menu.bin"), std::nullopt);
  EXPECT_EQ(run_->SourceRefusal(dir_ / "menu.txt"), std::nullopt);
  EXPECT_EQ(run_->SourceRefusal(""), std::nullopt);
  std::filesystem::create_directory(dir_ / "elsewhere");
  EXPECT_EQ(run_->SourceRefusal(dir_ / "elsewhere/GB2312.tbl"), std::nullopt);
}

TEST_F(ExtractorTest, TheShippedFontSetsAreGuardedToo) {
  // A program in bin/ with the sets the build makes in fonts/ beside it.
  std::filesystem::create_directories(dir_ / "bin");
  std::filesystem::create_directories(dir_ / "fonts/guob16");
  testing::WriteFile(dir_ / "fonts/guob16/GB2312.bin", "set font");
  Extractor extractor(dir_ / "bin");
  extractor.GuardShippedSets(dir_ / "bin");
  EXPECT_EQ(extractor.SourceRefusal(dir_ / "fonts/guob16/GB2312.tbl"), kBackupMessage);  // Its glyph file is the font.
  EXPECT_EQ(extractor.OutputRefusal(dir_ / "menu.txt", dir_ / "bin/../fonts/guob16/GB2312.bin"), kBackupMessage);
  EXPECT_EQ(extractor.OutputRefusal(dir_ / "menu.txt", dir_ / "fonts/guob16/menu.bin"), std::nullopt);
}

/// Hands out a text, then fails.
class FailingSource : public ByteSource {
 public:
  explicit FailingSource(std::string text) : text_(std::move(text)) {}
  size_t Read(char* buffer, size_t size) override {
    if (done_) throw Failure("source: Input/output error");
    done_ = true;
    std::memcpy(buffer, text_.data(), std::min(size, text_.size()));
    return std::min(size, text_.size());
  }
  int64_t Length() override { return 1000; }

 private:
  std::string text_;
  bool done_ = false;
};

TEST_F(ExtractorTest, AFailureLeavesTheRecordsWrittenBeforeIt) {
  Choose("menu.txt", "");
  EXPECT_THROW(Run(std::make_unique<FailingSource>(kAh + kA + "\r\n")), Failure);
  EXPECT_EQ(testing::ReadFile(dir_ / "menu.bin"), TestRecord(0) + TestRecord(1));
}

TEST_F(ExtractorTest, ALineLongerThanTheReaderHoldsIsWorkedInPieces) {
  std::string text = "a";  // Puts every character across an odd offset.
  for (int i = 0; i < 300'000; ++i) text += kAh;
  std::string expected;
  const std::string record = TestRecord(0);
  for (int i = 0; i < 300'000; ++i) expected += record;
  Choose("long.txt", text);
  EXPECT_EQ(Run(std::make_unique<testing::TrickleSource>(text, 50'000)), RunOutcome::kWritten);
  EXPECT_TRUE(Output() == expected);
  EXPECT_EQ(window_.missing, std::vector<testing::Missing>{});
  EXPECT_EQ(run_->BytesDone, static_cast<int64_t>(text.size()) + 2);
}

TEST_F(ExtractorTest, AFourByteGb18030CharacterIsOneCharacterEvenAcrossPieces) {
  // 설 is 83 31 F4 37: one character CP936 has no form for, never a lead byte and digits.
  const std::string seol = "\x83\x31\xF4\x37";
  std::string text, expected;
  const std::string record = TestRecord(0);
  for (int i = 0; i < 100'000; ++i) text += seol + kAh, expected += record;
  Choose("long.txt", text);
  run_->WriteExtraRecords({true, false});  // Digits would get records of their own.
  EXPECT_EQ(Run(std::make_unique<testing::TrickleSource>(text, 50'001)), RunOutcome::kWritten);
  EXPECT_TRUE(Output() == expected);
  EXPECT_EQ(window_.missing, std::vector<testing::Missing>(100'000, {kNoCp936Code, 1}));
  EXPECT_EQ(FourByteCodePoint(seol), 0xC124u);
  EXPECT_EQ(FourByteCodePoint("\x95\x32\x82\x36"), 0x20000u);  // 𠀀, beyond the Basic Multilingual Plane.
}

TEST_F(ExtractorTest, ASourceOfMoreThan21MBRunsToTheEnd) {
  // A 32-bit count of the bytes done times 100 overflows from 21,474,837 bytes on.
  std::string line = std::string(38, 'x') + kZhong + "\r\n";
  const size_t lines = 22'000'000 / line.size();
  std::string text;
  text.reserve(lines * line.size());
  for (size_t i = 0; i < lines; ++i) text += line;
  Choose("big.txt", text);
  EXPECT_EQ(Run(), RunOutcome::kWritten);
  EXPECT_EQ(run_->BytesDone, static_cast<int64_t>(text.size()));
  EXPECT_EQ(std::filesystem::file_size(dir_ / "big.bin"), lines * GlyphSize);
  Strings captions = window_.Captions();
  EXPECT_EQ(captions.size(), 101u);  // Loading... 0% to 99%, then 100%.
  EXPECT_EQ(captions[captions.size() - 2], "Loading... 99%");
}

}  // namespace
}  // namespace pixtrel
