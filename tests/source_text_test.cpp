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

TEST_F(SourceTextTest, Big5IsRefusedUnlessSaidAndUtf16ReadAsItIs) {
  // 主選單 / 系統設定 in Big5: pairs GBK reads as 匡, 虫, 参 and the like, or outside GB2312.
  const std::string big5 = "\xA5\x44\xBF\xEF\xB3\xE6 / \xA8\x74\xB2\xCE\xB3\x5D\xA9\x77\r\n";
  testing::WriteFile(dir_ / "menu.txt", big5);
  const std::string refusal =
      ": this text looks like Big5; say --encoding big5, or --encoding cp936 to read it as CP936";
  EXPECT_EQ(testing::FailureText([&] { OpenSourceFile(RealDisk(), dir_ / "menu.txt", TextEncoding::kDetect); }),
            (dir_ / "menu.txt") + refusal);
  EXPECT_EQ(testing::FailureText([&] {
              OpenSourceStream(std::make_unique<testing::TrickleSource>(big5, 7), "-", TextEncoding::kDetect);
            }),
            "-" + refusal);
  EXPECT_FALSE(OpenSourceFile(RealDisk(), dir_ / "menu.txt", TextEncoding::kAuto).utf8);  // The window reads it so.
  // Said to be Big5, it is read as it is: 主 as CP936 D6F7; and a line that is not Big5 is named.
  SourceText read = OpenSourceFile(RealDisk(), dir_ / "menu.txt", TextEncoding::kBig5);
  ASSERT_TRUE(read.utf8);
  EXPECT_EQ(read.bytes->ReadAll().substr(0, 2), "\xD6\xF7");
  testing::WriteFile(dir_ / "menu.txt", big5 + "\xA5");
  EXPECT_EQ(testing::FailureText([&] { OpenSourceFile(RealDisk(), dir_ / "menu.txt", TextEncoding::kBig5); }),
            (dir_ / "menu.txt") + ":2: invalid Big5 (CP950)");
  // GBK with a few names outside GB2312 (镕 E946, 喆 86B4) among common hanzi is CP936.
  EXPECT_FALSE(ReadsAsUtf8("\xD5\xC5\xE9\x46 \xC0\xEE\x86\xB4 \xCD\xF5\xB7\xBC\r\n\xB5\xE7\xBB\xB0\xBA\xC5\xC2\xEB"));

  // 中a𝄞 in UTF-16, little- and big-endian, is read as UTF-8 read as CP936: 中, a and one with no form.
  for (const std::string& utf16 : {std::string("\xFF\xFE\x2D\x4E\x61\x00\x34\xD8\x1E\xDD", 10),
                                   std::string("\xFE\xFF\x4E\x2D\x00\x61\xD8\x34\xDD\x1E", 10)}) {
    testing::WriteFile(dir_ / "menu.txt", utf16);
    SourceText file = OpenSourceFile(RealDisk(), dir_ / "menu.txt", TextEncoding::kDetect);
    ASSERT_TRUE(file.utf8);
    std::string read(16, '\0');
    read.resize(file.bytes->ReadFull(read.data(), read.size()));
    EXPECT_EQ(read, testing::kZhong + "a\xFF\xFF");
    EXPECT_EQ(file.utf8->TakeUnconvertible(), "\U0001D11E");
  }
  testing::WriteFile(dir_ / "menu.txt", std::string("\xFF\xFE\x61\x00\x0A\x00\x34\xD8\x61\x00", 10));
  EXPECT_EQ(testing::FailureText([&] {
              SourceText file = OpenSourceFile(RealDisk(), dir_ / "menu.txt", TextEncoding::kDetect);
              char buffer[16];
              file.bytes->ReadFull(buffer, sizeof buffer);
            }),
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
