#include "glyphdata/source_text.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>
#include <thread>

#include "test_support.h"

namespace pixtrel {
namespace {

class SourceTextTest : public ::testing::Test {
 protected:
  /// Whether `text`, detected as a file and as a stream (as pixtrel-extract
  /// detects it, so never as Big5), reads as UTF-8; both must agree.
  bool ReadsAsUtf8(const std::string& text) {
    testing::WriteFile(dir_ / "menu.txt", text);
    const bool file = OpenSourceFile(RealDisk(), dir_ / "menu.txt", TextEncoding::kDetect).utf8 != nullptr;
    SourceText stream = OpenSourceStream(std::make_unique<testing::TrickleSource>(text, 7), "-", TextEncoding::kDetect);
    EXPECT_EQ(stream.utf8 != nullptr, file) << text;
    std::string read(text.size() + 16, '\0');
    read.resize(stream.bytes->ReadFull(read.data(), read.size()));
    if (!file) {
      EXPECT_EQ(read, text);  // Read as CP936: every byte as it was.
    }
    return file;
  }

  testing::TempDir dir_;
};

TEST_F(SourceTextTest, DetectsUtf8ByItsMarkOrItsCharacters) {
  EXPECT_TRUE(ReadsAsUtf8("\u83DC\u5355\r\n"));
  EXPECT_TRUE(
      ReadsAsUtf8("\xEF\xBB\xBF"
                  "ASCII after a byte order mark"));
  EXPECT_FALSE(ReadsAsUtf8("Only ASCII\r\n"));
  EXPECT_FALSE(ReadsAsUtf8(testing::kZhong + testing::kWen));  // CP936: ill-formed at once.
  // CP936 whose first characters happen to be well-formed UTF-8 (\xC2\xA1 is U+00A1 as well as 隆).
  EXPECT_FALSE(ReadsAsUtf8("\xC2\xA1" + testing::kAh));
  EXPECT_FALSE(ReadsAsUtf8("ok \xE4\xB8"));  // Cut short at the end.
  EXPECT_FALSE(ReadsAsUtf8(testing::ReadFile(PIXTREL_SAMPLES "/menu.txt")));
}

TEST_F(SourceTextTest, ALongRandomGb2312TextStaysCp936) {
  std::mt19937 random(2006);
  std::string text;
  while (text.size() < 200'000) {
    text += static_cast<char>(0xB0 + random() % 0x28);  // Rows B0-D7, the common hanzi.
    text += static_cast<char>(0xA1 + random() % 94);
    if (random() % 20 == 0) text += "\r\n";
  }
  EXPECT_FALSE(ReadsAsUtf8(text));
}

/// The first `size` bytes a source gives, read as CP936.
std::string Read(SourceText& source, size_t size = 64) {
  std::string read(size, '\0');
  read.resize(source.bytes->ReadFull(read.data(), read.size()));
  return read;
}

TEST_F(SourceTextTest, TextsOfOtherEncodingsAreRefusedUnlessSaid) {
  const struct {
    std::string text;
    TextEncoding encoding;
    std::string refusal;
    std::string first;  // The first character read, in CP936, or with no CP936 form in UTF-8.
  } texts[] = {
      // 主選單 / 系統設定 in Big5: pairs GBK reads as 匡, 虫, 参 and the like.
      {"\xA5\x44\xBF\xEF\xB3\xE6 / \xA8\x74\xB2\xCE\xB3\x5D\xA9\x77\r\nOK\r\n", TextEncoding::kBig5,
       "Big5 (traditional Chinese); say --encoding big5", "\xD6\xF7"},
      // 설정 메뉴 / 언어: 한국어 in CP949, which GBK reads as hanzi.
      {"\xBC\xB3\xC1\xA4 \xB8\xDE\xB4\xBA\n\xBE\xF0\xBE\xEE: \xC7\xD1\xB1\xB9\xBE\xEE\n", TextEncoding::kCp949,
       "CP949 (Korean); say --encoding cp949", "\uC124"},
      // 設定 メニュー / 言語: 日本語 in Shift_JIS and in EUC-JP.
      {"\x90\xDD\x92\xE8 \x83\x81\x83\x6A\x83\x85\x81\x5B\n\x8C\xBE\x8C\xEA: \x93\xFA\x96\x7B\x8C\xEA\n",
       TextEncoding::kShiftJis, "Shift_JIS (Japanese); say --encoding shift_jis", "\xD4\x4F"},
      {"\xC0\xDF\xC4\xEA \xA5\xE1\xA5\xCB\xA5\xE5\xA1\xBC\n\xB8\xC0\xB8\xEC: \xC6\xFC\xCB\xDC\xB8\xEC\n",
       TextEncoding::kEucJp, "EUC-JP (Japanese); say --encoding euc-jp", "\xD4\x4F"},
  };
  for (const auto& entry : texts) {
    // Named, not bound: a lambda cannot capture a structured binding in C++20.
    const std::string &text = entry.text, &refusal = entry.refusal, &first = entry.first;
    const TextEncoding encoding = entry.encoding;
    testing::WriteFile(dir_ / "menu.txt", text);
    const std::string said = ": this text looks like " + refusal + ", or --encoding cp936 to read it as CP936";
    EXPECT_EQ(testing::FailureText([&] { OpenSourceFile(RealDisk(), dir_ / "menu.txt", TextEncoding::kDetect); }),
              (dir_ / "menu.txt") + said);
    EXPECT_EQ(testing::FailureText([&] {
                OpenSourceStream(std::make_unique<testing::TrickleSource>(text, 7), "-", TextEncoding::kDetect);
              }),
              "-" + said);
    EXPECT_FALSE(OpenSourceFile(RealDisk(), dir_ / "menu.txt", TextEncoding::kAuto).utf8);  // The window's CP936.
    SourceText read = OpenSourceFile(RealDisk(), dir_ / "menu.txt", encoding);
    ASSERT_TRUE(read.utf8) << refusal;
    const std::string start = Read(read, 2);
    EXPECT_EQ(start == "\xFF\xFF" ? read.utf8->TakeUnconvertible() : start, first) << refusal;
    testing::WriteFile(dir_ / "menu.txt", text + "\xFF");
    EXPECT_NE(
        testing::FailureText([&] { OpenSourceFile(RealDisk(), dir_ / "menu.txt", encoding); }).find(":3: invalid "),
        std::string::npos);
  }
  // GBK, short, with names outside GB2312 whose pairs are Big5's shapes (啊镕吖), or among common hanzi, is CP936.
  EXPECT_FALSE(ReadsAsUtf8("\xB0\xA1\xE9\x46\xDF\xB9"));
  EXPECT_FALSE(ReadsAsUtf8("\xD5\xC5\xE9\x46 \xC0\xEE\x86\xB4 \xCD\xF5\xB7\xBC\r\n\xB5\xE7\xBB\xB0\xBA\xC5\xC2\xEB"));
}

TEST_F(SourceTextTest, AFileThatIsNoTextIsRefusedAndUtf16ReadAsItIs) {
  for (const auto& [start, what] : {std::pair{std::string("\0\1\0\0\0\x10\x01\0", 8), "(a font file?)"},
                                    {std::string("ttcf\0\2\0\0"), "(a font file?)"},
                                    {std::string("\x1F\x8B\x08\0"), "(a gzip archive?)"},
                                    {std::string("menu\0menu", 9), "(it holds NUL bytes)"}}) {
    testing::WriteFile(dir_ / "menu.ttf", start + "\xB0\xA1\r\n");
    for (TextEncoding encoding : {TextEncoding::kDetect, TextEncoding::kCp936})
      EXPECT_EQ(testing::FailureText([&] { OpenSourceFile(RealDisk(), dir_ / "menu.ttf", encoding); }),
                (dir_ / "menu.ttf") + ": not a text " + what);
  }
  // 中a𝄞 in UTF-16, little- and big-endian, is read as UTF-8 read as CP936: 中, a and one with no form; by the
  // window too, and without a mark when said.
  const std::string le("\x2D\x4E\x61\x00\x34\xD8\x1E\xDD", 8), be("\x4E\x2D\x00\x61\xD8\x34\xDD\x1E", 8);
  for (const auto& [utf16, encoding] : {std::pair{"\xFF\xFE" + le, TextEncoding::kAuto},
                                        {"\xFE\xFF" + be, TextEncoding::kDetect},
                                        {"\xFE\xFF" + be, TextEncoding::kUtf16},
                                        {le, TextEncoding::kUtf16},
                                        {le, TextEncoding::kUtf16Le},
                                        {be, TextEncoding::kUtf16Be}}) {
    testing::WriteFile(dir_ / "menu.txt", utf16);
    SourceText file = OpenSourceFile(RealDisk(), dir_ / "menu.txt", encoding);
    ASSERT_TRUE(file.utf8);
    EXPECT_EQ(file.bytes->Length(), 5);  // Measured, for the progress.
    EXPECT_EQ(Read(file), testing::kZhong + "a\xFF\xFF");
    EXPECT_EQ(file.utf8->TakeUnconvertible(), "\U0001D11E");
  }
  testing::WriteFile(dir_ / "menu.txt", std::string("\xFF\xFE\x61\x00\x0A\x00\x34\xD8\x61\x00", 10));
  EXPECT_EQ(testing::FailureText([&] { OpenSourceFile(RealDisk(), dir_ / "menu.txt", TextEncoding::kDetect); }),
            (dir_ / "menu.txt") + ":2: invalid UTF-16");  // A surrogate without its pair.
}

TEST_F(SourceTextTest, AMostlyUtf8TextIsUtf8AndItsStrayBytesAreErrors) {
  // 好好 in UTF-8, then 啊 in CP936: six bytes of UTF-8 against two.
  const std::string text = "ok\n\xE5\xA5\xBD\xE5\xA5\xBD \xB0\xA1\n";
  testing::WriteFile(dir_ / "menu.txt", text);
  EXPECT_EQ(testing::FailureText([&] { OpenSourceFile(RealDisk(), dir_ / "menu.txt", TextEncoding::kAuto); }),
            (dir_ / "menu.txt") + ":2: invalid UTF-8");
  SourceText stream = OpenSourceStream(std::make_unique<testing::TrickleSource>(text, 7), "-", TextEncoding::kAuto);
  ASSERT_NE(stream.utf8, nullptr);
  std::string read(64, '\0');
  EXPECT_EQ(testing::FailureText([&] { stream.bytes->ReadFull(read.data(), read.size()); }), "-:2: invalid UTF-8");
}

TEST_F(SourceTextTest, AByteOrderMarkSaysUtf8EvenWhenTheRestIsNot) {
  testing::WriteFile(dir_ / "menu.txt",
                     "\xEF\xBB\xBF"
                     "ab\r\xC3");
  EXPECT_EQ(testing::FailureText([&] { OpenSourceFile(RealDisk(), dir_ / "menu.txt", TextEncoding::kAuto); }),
            (dir_ / "menu.txt") + ":2: invalid UTF-8");
}

#ifndef _WIN32  // A FIFO is a POSIX file; Windows' named pipes are no files of a directory.
TEST_F(SourceTextTest, AFifoIsReadOnceAsAStreamIs) {
  const std::string fifo = dir_ / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string text = testing::kZhong + "ab" + testing::kWen;
  std::thread writer([&] { testing::WriteFile(fifo, text); });
  SourceText source = OpenSourceFile(RealDisk(), fifo, TextEncoding::kAuto);
  std::string read(64, '\0');
  read.resize(source.bytes->ReadFull(read.data(), read.size()));
  writer.join();
  EXPECT_EQ(read, text);  // Nothing the check of the encoding read is lost.
}
#endif

}  // namespace
}  // namespace pixtrel
