// Runs the pixtrel-extract executable as a makefile would.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "formats/terminal_preview.h"
#include "test_support.h"

namespace pixtrel {
namespace {

using testing::kAh;
using testing::kWen;
using testing::kZhong;

using Result = testing::CommandResult;

class PixtrelExtractTest : public ::testing::Test {
 protected:
  PixtrelExtractTest() { testing::WriteDataFiles(dir_); }

  /// Runs pixtrel-extract with `arguments` (shell words) and the test data
  /// files, in the locale locale_.
  Result Run(const std::string& arguments, bool with_data_dir = true) {
    return testing::RunCommand("LC_ALL=" + locale_ + " " + std::string(PIXTREL_EXTRACT) +
                                   (with_data_dir ? " --data-dir " + dir_.path() : "") + " " + arguments,
                               dir_);
  }

  testing::TempDir dir_;
  std::string locale_ = "C.UTF-8";
};

TEST_F(PixtrelExtractTest, WritesTheGlyphFileBesideTheSource) {
  testing::WriteFile(dir_ / "menu.txt", kZhong + kAh + "\r\n");
  Result result = Run(dir_ / "menu.txt");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "Over !\n");
  EXPECT_EQ(result.err, "");  // Progress only on a terminal,
  EXPECT_EQ(testing::ReadFile(dir_ / "menu.bin"), testing::TestRecord(2) + testing::TestRecord(0));
  EXPECT_EQ(Run("--progress " + (dir_ / "menu.txt")).err, "Loading... 66%\n100%\n");  // or when asked for.
}

TEST_F(PixtrelExtractTest, QuietRunsAndChosenGlyphFiles) {
  testing::WriteFile(dir_ / "menu.txt", kAh);
  Result result = Run("-q --progress --strict -o " + (dir_ / "glyphs.dat") + " " + (dir_ / "menu.txt"));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out + result.err, "");
  EXPECT_EQ(testing::ReadFile(dir_ / "glyphs.dat"), testing::TestRecord(0));
  EXPECT_FALSE(testing::Exists(dir_ / "menu.bin"));
}

TEST_F(PixtrelExtractTest, ANameWithoutAnExtensionGetsOne) {
  testing::WriteFile(dir_ / "menu", kAh);
  testing::WriteFile(dir_ / ".hidden", kAh);
  ASSERT_EQ(Run("-q " + (dir_ / "menu")).status, 0);
  ASSERT_EQ(Run("-q --format h " + (dir_ / ".hidden")).status, 0);
  EXPECT_EQ(testing::ReadFile(dir_ / "menu.bin"), testing::TestRecord(0));
  EXPECT_TRUE(testing::Exists(dir_ / ".hidden.h"));
}

TEST_F(PixtrelExtractTest, NothingFoundExitsOne) {
  testing::WriteFile(dir_ / "menu.txt", "ASCII\r\n");
  Result result = Run(dir_ / "menu.txt");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "Your tbl is empty .\n");
  result = Run("-q " + (dir_ / "menu.txt"));
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "Your tbl is empty .\npixtrel-extract: " + (dir_ / "menu.txt") +
                            ": no character of the table\n");  // A failed build step says why, and of which text.
}

TEST_F(PixtrelExtractTest, RefusalsAndFailuresExitTwoAndTouchNothing) {
  const std::string table = testing::ReadFile(dir_ / "GB2312.tbl");
  Result result = Run(dir_.path() + "/./GB2312.tbl");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "pixtrel-extract: " + dir_.path() +
                            "/./GB2312.tbl: Dont't touch the backup ! (a data file of a font set)\n");
  EXPECT_EQ(result.out, "");

  testing::WriteFile(dir_ / "menu.txt", kAh);
  result = Run("-o " + (dir_ / "GB2312.bin") + " " + (dir_ / "menu.txt"));
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err,
            "pixtrel-extract: " + (dir_ / "GB2312.bin") + ": Dont't touch the backup ! (a data file of a font set)\n");
  EXPECT_EQ(testing::ReadFile(dir_ / "GB2312.bin"), testing::TestFont());

  result = Run("-o " + (dir_ / "menu.txt") + " " + (dir_ / "menu.txt"));
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(testing::ReadFile(dir_ / "menu.txt"), kAh);

  // Two files of the run that are one, in other spellings (relative ones refused before anything is written).
  testing::WriteFile(dir_ / "old.bin", "old");
  for (const std::string& clash :
       {std::string("--depfile ./clash.bin -o clash.bin"), std::string("--unique --index x.i --depfile ./x.i"),
        "--png " + (dir_ / "old.bin") + " -o " + dir_.path() + "/./old.bin",
        "--format c --depfile " + (dir_ / "old.h") + " -o " + (dir_ / "old.c")}) {
    result = Run(clash + " " + (dir_ / "menu.txt"));
    EXPECT_EQ(result.status, 2) << clash;
    EXPECT_NE(result.err.find("names the file of"), std::string::npos) << result.err;
  }
  EXPECT_EQ(testing::ReadFile(dir_ / "old.bin"), "old");
  testing::WriteFile(dir_ / "own.h", "/* The user's own. */\n");  // A header no run wrote stays.
  EXPECT_EQ(Run("--format c -o " + (dir_ / "own.c") + " " + (dir_ / "menu.txt")).err,
            "pixtrel-extract: " + (dir_ / "own.h") +
                ": the header of -o would replace it, and pixtrel-extract did not write it\n");
  EXPECT_EQ(testing::ReadFile(dir_ / "own.h"), "/* The user's own. */\n");

  result = Run(dir_ / "none.txt");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "pixtrel-extract: " + (dir_ / "none.txt") + ": No such file or directory\n");
  EXPECT_EQ(testing::ReadFile(dir_ / "GB2312.tbl"), table);
}

TEST_F(PixtrelExtractTest, LoadFailuresAndUsageErrorsExitTwo) {
  std::filesystem::remove(dir_ / "GB2312.tbl");
  testing::WriteFile(dir_ / "menu.txt", kAh);
  Result result = Run(dir_ / "menu.txt");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "pixtrel-extract: " + (dir_ / "GB2312.tbl") + ": No such file or directory\n");
  EXPECT_FALSE(testing::Exists(dir_ / "menu.bin"));

  for (const std::string& wrong :
       {std::string(), "--bogus " + (dir_ / "menu.txt"), std::string("a b"), "--encoding latin1 " + (dir_ / "menu.txt"),
        "--show " + (dir_ / "menu.txt") + " x", "--data-dir '' " + (dir_ / "menu.txt"), std::string("''"),
        "--depfile '' " + (dir_ / "menu.txt"), "--depfile d -o - " + (dir_ / "menu.txt")}) {
    result = Run(wrong);
    EXPECT_EQ(result.status, 2) << wrong;
    EXPECT_NE(result.err.find("usage: pixtrel-extract"), std::string::npos) << wrong;
  }
}

TEST_F(PixtrelExtractTest, HelpAndVersion) {
  Result result = Run("--help");
  EXPECT_EQ(result.status, 0);
  for (const char* part : {"usage:", "--output", "--data-dir", "--encoding", "--quiet", "--missing", "--strict",
                           "--preview", "--show", "--version", "Exit status", "3 (with --strict)"})
    EXPECT_NE(result.out.find(part), std::string::npos) << part;
  result = Run("--version");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "pixtrel-extract 0.01\n");
}

TEST_F(PixtrelExtractTest, MissingListsTheCharactersThatGotNoGlyph) {
  const std::string kKao = "\x81\x40";  // 丂, in no test table.
  testing::WriteFile(dir_ / "menu.txt", kWen + kAh + "\r\n" + kWen + " " + kKao + "\r\n");
  const std::string source = dir_ / "menu.txt";
  Result result = Run("-q --missing " + source);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, source + ":1: missing \u6587 CP936 CEC4, 2 occurrences\n" + source +
                            ":2: missing \u4E02 CP936 8140, 1 occurrence\n" + source +
                            ": 2 characters missing, 3 occurrences\n");
  EXPECT_EQ(testing::ReadFile(dir_ / "menu.bin"), testing::TestRecord(0));  // The run itself is unchanged.

  result = Run("-q --strict " + source);
  EXPECT_EQ(result.status, 3);
  locale_ = "C";  // ASCII only.
  result = Run("-q --missing " + source);
  locale_ = "C.UTF-8";
  EXPECT_NE(result.err.find(":1: missing ? CP936 CEC4"), std::string::npos) << result.err;

  testing::WriteFile(dir_ / "menu.txt", kAh);
  result = Run("--strict " + source);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");  // Nothing missing, nothing said.

  testing::WriteFile(dir_ / "menu.txt", kWen);
  EXPECT_EQ(Run("-q --strict " + source).status, 3);  // Strictness first, even with nothing found.
}

TEST_F(PixtrelExtractTest, AGlyphTheSetHoldsBlankIsMissing) {
  testing::WriteFile(dir_ / "font-set.txt", "size 16\nblank 2\n");  // 中 is blank in the set.
  testing::WriteFile(dir_ / "menu.txt", kAh + kZhong);
  const std::string source = dir_ / "menu.txt";
  Result result = Run("-q --strict " + source);
  EXPECT_EQ(result.status, 3);
  EXPECT_EQ(result.err.substr(0, result.err.find('\n')),
            source + ":1: missing \u4E2D CP936 D6D0 (blank in the set), 1 occurrence");
  EXPECT_EQ(Run("-q " + source).status, 0);
  EXPECT_EQ(testing::ReadFile(dir_ / "menu.bin"), testing::TestRecord(0));

  testing::WriteFile(dir_ / "font-set.txt", "size 16\nblank 2-1\n");
  EXPECT_EQ(Run("-q " + source).err,
            "pixtrel-extract: " + (dir_ / "font-set.txt") + ":2: not ascending numbers or runs of them: 2-1\n");
}

TEST_F(PixtrelExtractTest, DataFilesOfAnotherSizeAreRefused) {
  testing::WriteFile(dir_ / "menu.txt", kAh);
  testing::WriteFile(dir_ / "menu.bin", "old");
  const std::string font = dir_ / "GB2312.bin";
  std::filesystem::resize_file(font, 588816);  // A font file of 24 pixels.
  Result result = Run("--strict " + (dir_ / "menu.txt"));
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "pixtrel-extract: " + font +
                            ": 588816 bytes, the size of a 24-pixel set; without font-set.txt a set is 16 pixels "
                            "(261696 bytes)\n");
  testing::WriteFile(dir_ / "font-set.txt", "size 12\n");
  EXPECT_EQ(Run(dir_ / "menu.txt").err, "pixtrel-extract: " + font +
                                            ": 588816 bytes, the size of a 24-pixel set; font-set.txt says 12 "
                                            "pixels (196272 bytes)\n");
  std::filesystem::resize_file(font, 196272 + 1);
  EXPECT_EQ(Run(dir_ / "menu.txt").err,
            "pixtrel-extract: " + font + ": 196273 bytes, longer than the 196272 of a 12-pixel set\n");
  std::filesystem::resize_file(font, 196272);
  testing::WriteFile(dir_ / "font-set.txt", "size 12\nhalf-width 6\nplaceholder yes\n");
  testing::WriteFile(dir_ / "half-width.bin", std::string(95 * 12, '\0'));
  testing::WriteFile(dir_ / "placeholder.bin", std::string(32, '\0'));
  EXPECT_EQ(Run(dir_ / "menu.txt").err, "pixtrel-extract: " + (dir_ / "placeholder.bin") +
                                            ": 32 bytes, while the placeholder of a 12-pixel set takes 24\n");
  EXPECT_EQ(Run("--show " + (dir_ / "menu.bin")).status, 2);  // The set is checked before any glyph is shown.
  EXPECT_EQ(testing::ReadFile(dir_ / "menu.bin"), "old");
}

TEST_F(PixtrelExtractTest, Utf8SourcesAreConvertedAsTheyAreRead) {
  const std::string source = dir_ / "menu.txt";
  testing::WriteFile(source, "\xEF\xBB\xBF\u554A\U0001F600\n\u4E2D\n");
  Result result = Run("--encoding utf-8 --missing " + source);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(testing::ReadFile(dir_ / "menu.bin"), testing::TestRecord(0) + testing::TestRecord(2));
  EXPECT_EQ(result.err,
            source + ":1: missing U+1F600 \U0001F600, 1 occurrence\n" + source +
                ": 1 character missing, 1 occurrence\n");  // A text not read as CP936 is told by code point.

  testing::WriteFile(source, "ok\n\xC0\x80");
  result = Run("--encoding UTF-8 " + source);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "pixtrel-extract: " + source + ":2: invalid UTF-8\n");
  EXPECT_EQ(testing::ReadFile(dir_ / "menu.bin"), testing::TestRecord(0) + testing::TestRecord(2));  // Untouched.
}

TEST_F(PixtrelExtractTest, PreviewAndShowDrawTheGlyphFile) {
  testing::WriteFile(dir_ / "menu.txt", kZhong + kAh);
  const std::string art = TerminalPreview::Of(testing::TestRecord(2) + testing::TestRecord(0), {}, 80);
  Result result = Run("-q --preview " + (dir_ / "menu.txt"));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, art);

  result = Run("--show " + (dir_ / "menu.bin"));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, art);

  EXPECT_EQ(Run("--show " + dir_.path()).err, "pixtrel-extract: " + dir_.path() + ": Is a directory\n");
  testing::WriteFile(dir_ / "odd.bin", std::string(72, 'x'));  // Three 12-pixel records, or one of 24.
  result = Run("--show " + (dir_ / "odd.bin"));
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "pixtrel-extract: " + (dir_ / "odd.bin") +
                            ": Length is not a multiple of 32 bytes; it fits the records of a set of 8, 9, 12 or 24 "
                            "pixels (--data-dir such a set)\n");
}

TEST_F(PixtrelExtractTest, UsesTheDataFilesBesideItselfAndTheBundledSample) {
  std::filesystem::copy_file(PIXTREL_SAMPLES "/menu.txt", dir_ / "menu.txt");
  Result result = Run("-q " + (dir_ / "menu.txt"), /*with_data_dir=*/false);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out + result.err, "");
  EXPECT_GT(std::filesystem::file_size(dir_ / "menu.bin"), 100 * 32u);
  EXPECT_EQ(std::filesystem::file_size(dir_ / "menu.bin") % 32, 0u);
}

TEST_F(PixtrelExtractTest, AFailedRunLeavesTheTargetAsItWas) {
  testing::WriteFile(dir_ / "keep.bin", "old glyphs");
  EXPECT_EQ(Run("-q -o " + (dir_ / "keep.bin") + " " + (dir_ / "typo.txt")).status, 2);
  testing::WriteFile(dir_ / "menu.txt", "ok\n\xC0\x80");
  EXPECT_EQ(Run("-q --encoding utf8 -o " + (dir_ / "keep.bin") + " " + (dir_ / "menu.txt")).status, 2);
  testing::WriteFile(dir_ / "menu.txt", kAh + kWen);
  EXPECT_EQ(Run("-q --strict -o " + (dir_ / "keep.bin") + " " + (dir_ / "menu.txt")).status, 3);
  EXPECT_EQ(testing::ReadFile(dir_ / "keep.bin"), "old glyphs");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 6);  // No temporary file left.
}

TEST_F(PixtrelExtractTest, RefusesToReplaceAnythingButARegularFile) {
  testing::WriteFile(dir_ / "menu.txt", kAh);
  ASSERT_EQ(mkfifo((dir_ / "fifo").c_str(), 0600), 0);
  for (const std::string& output : {std::string("/dev/null"), dir_ / "fifo", dir_.path()}) {
    Result result = Run("-q -o " + output + " " + (dir_ / "menu.txt"));
    EXPECT_EQ(result.status, 2) << output;
    EXPECT_TRUE(result.err.starts_with("pixtrel-extract: " + output + ": ")) << result.err;
  }
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
  // A file the system makes no file beside is named with the cause.
  EXPECT_EQ(Run("-q -o /proc/version " + (dir_ / "menu.txt")).err,
            "pixtrel-extract: /proc/version: No new file can be made in /proc to take its place (" +
                testing::NoSuchFileText() + ")\n");
  EXPECT_TRUE(std::filesystem::is_fifo(dir_ / "fifo"));
  // The data files beside the executable are guarded as well as those of --data-dir.
  const std::string own_font = std::filesystem::path(PIXTREL_EXTRACT).parent_path() / "GB2312.bin";
  const std::string font = testing::ReadFile(own_font);
  EXPECT_EQ(Run("-q -o " + own_font + " " + (dir_ / "menu.txt")).status, 2);
  EXPECT_EQ(testing::ReadFile(own_font), font);
  // So are those of the font sets the build made, through a link too.
  const std::string set_table = std::filesystem::path(PIXTREL_EXTRACT).parent_path() / "../fonts/efont/GB2312.tbl";
  std::filesystem::create_symlink(set_table, dir_ / "link.bin");
  const std::string table = testing::ReadFile(set_table);
  for (const std::string& output : {set_table, dir_ / "link.bin"}) {
    Result result = Run("-q --depfile " + output + " " + (dir_ / "menu.txt"));
    EXPECT_EQ(result.err, "pixtrel-extract: " + output + ": Dont't touch the backup ! (a data file of a font set)\n");
  }
  EXPECT_EQ(testing::ReadFile(set_table), table);
}

TEST_F(PixtrelExtractTest, ADepfileNamesWhatTheRunReadAndComesWithItsTargets) {
  testing::WriteFile(dir_ / "my menu.txt", kAh + kWen);
  const std::string source = dir_ / "my menu.txt", escaped = dir_.path() + "/my\\ menu.txt";
  ASSERT_EQ(Run("-q --depfile " + (dir_ / "menu.d") + " -o " + (dir_ / "menu.bin") + " '" + source + "'").status, 0);
  EXPECT_EQ(testing::ReadFile(dir_ / "menu.d"), (dir_ / "menu.bin") + ": " + escaped + " " + (dir_ / "GB2312.bin") +
                                                    " " + (dir_ / "GB2312.tbl") + "\n" + (dir_ / "GB2312.bin") + ":\n" +
                                                    (dir_ / "GB2312.tbl") +
                                                    ":\n");  // Data files may go, as gcc -MP has it.
  ASSERT_EQ(Run("-q --unique --index " + (dir_ / "menu.idx") + " --depfile " + (dir_ / "menu.d") + " -o " +
                (dir_ / "menu.bin") + " '" + source + "'")
                .status,
            0);
  EXPECT_TRUE(testing::ReadFile(dir_ / "menu.d").starts_with((dir_ / "menu.bin") + " " + (dir_ / "menu.idx") + ": "));
  // Of a set's other files, those the run took records from, and no other.
  ASSERT_EQ(
      Run("-q --half-width --depfile " + (dir_ / "menu.d") + " -o " + (dir_ / "menu.bin") + " '" + source + "'", false)
          .status,
      0);
  EXPECT_NE(testing::ReadFile(dir_ / "menu.d").find("/half-width.bin"), std::string::npos);
  EXPECT_EQ(testing::ReadFile(dir_ / "menu.d").find("placeholder.bin"), std::string::npos);
  testing::WriteFile(dir_ / "menu.d", "old");
  EXPECT_EQ(Run("-q --strict --depfile " + (dir_ / "menu.d") + " '" + source + "'").status, 3);
  EXPECT_EQ(testing::ReadFile(dir_ / "menu.d"), "old");  // A failed run installs nothing.
}

TEST_F(PixtrelExtractTest, PipesAndUtf8WithoutAsking) {
  testing::WriteFile(dir_ / "menu.txt", "\u4E2D\u554A\r\n\u20AC\n");
  Result result = Run("-o - - <" + (dir_ / "menu.txt"));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, testing::TestRecord(2) + testing::TestRecord(0));  // Nothing but glyphs, no percentages.
  EXPECT_EQ(result.err, "Over !\npixtrel-extract: -: warning: 1 character got no glyph (--missing lists them)\n");

  result = Run("-q --missing " + (dir_ / "menu.txt"));
  EXPECT_EQ(testing::ReadFile(dir_ / "menu.bin"), testing::TestRecord(2) + testing::TestRecord(0));
  EXPECT_NE(result.err.find(":2: missing U+20AC \u20AC, 1 occurrence"), std::string::npos) << result.err;

  std::filesystem::resize_file(dir_ / "GB2312.bin", 100);
  result = Run("-q " + (dir_ / "menu.txt"));
  EXPECT_EQ(result.err, "pixtrel-extract: " + (dir_ / "GB2312.bin") +
                            ": warning: font file is 261596 bytes short: 8175 of 8178 glyphs are blank\n"
                            "pixtrel-extract: " +
                            (dir_ / "menu.txt") + ": warning: 1 character got no glyph (--missing lists them)\n");
  EXPECT_EQ(Run("-q --strict " + (dir_ / "menu.txt")).status, 2);
}

/// A C program that includes `source` and writes IDENT_glyphs whole, then
/// IDENT_lines a pair a line ("first count"), then IDENT_text if `unique`.
std::string DumpProgram(const std::string& source, bool unique) {
  return "#include <stdio.h>\n#include \"" + source +
         "\"\n"
         "int main(void) {\n"
         "  size_t i;\n"
         "  fwrite(menu_glyphs, 1, sizeof menu_glyphs, stdout);\n"
         "  for (i = 0; i < sizeof menu_lines / sizeof menu_lines[0]; ++i)\n"
         "    printf(\"%u %u\\n\", (unsigned)menu_lines[i][0], (unsigned)menu_lines[i][1]);\n" +
         (unique ? "  for (i = 0; i < sizeof menu_text / sizeof menu_text[0]; ++i) printf(\"%u \", menu_text[i]);\n"
                 : "") +
         "  return 0;\n}\n";
}

TEST_F(PixtrelExtractTest, CSourceCompilesAndHoldsTheRecordsAndTheLines) {
  // Line 1: 啊 阿; line 2 empty; line 3 (after a lone LF): x 中 啊.
  testing::WriteFile(dir_ / "menu.txt", kAh + testing::kA + "\r\n\r\nx\n" + kZhong + kAh + "\r\n");
  ASSERT_EQ(Run("-q --layout page-lsb --invert -o " + (dir_ / "menu.bin") + " " + (dir_ / "menu.txt")).status, 0);
  const std::string records = testing::ReadFile(dir_ / "menu.bin");
  const std::string lines = "0 2\n2 0\n2 0\n2 2\n";
  struct Case {
    std::string options, file, compiler;
    bool unique;
  };
  for (const Case& c : {Case{"--format c", "menu.c", "gcc -std=c99 -x c", false},
                        Case{"--format h --unique", "menu.h", "g++ -std=c++11 -x c++", true}}) {
    ASSERT_EQ(Run("-q --layout page-lsb --invert " + c.options + " " + (dir_ / "menu.txt")).status, 0) << c.options;
    testing::WriteFile(dir_ / "dump.c", DumpProgram(c.file, c.unique));
    const std::string compile =
        "cd " + dir_.path() + " && " + c.compiler + " -Wall -Wextra -Werror dump.c -o dump 2>err";
    ASSERT_EQ(std::system(compile.c_str()), 0) << testing::ReadFile(dir_ / "err");
    ASSERT_EQ(std::system(("cd " + dir_.path() + " && ./dump >out").c_str()), 0);
    if (!c.unique) {  // The C source comes with the header that declares it.
      EXPECT_NE(testing::ReadFile(dir_ / "menu.h").find("extern const uint16_t menu_lines[4][2];"), std::string::npos);
    }
    const std::string dumped = testing::ReadFile(dir_ / "out");
    if (!c.unique) {
      EXPECT_EQ(dumped, records + lines);
    } else {  // 啊 once: the records of 啊 阿 中, the text 0 1 2 0.
      EXPECT_EQ(dumped, records.substr(0, 3 * 32) + lines + "0 1 2 0 ");
    }
  }
}

TEST_F(PixtrelExtractTest, UniqueRecordsRebuildTheWholeStream) {
  testing::WriteFile(dir_ / "menu.txt", kZhong + kAh + kZhong + "\r\n" + kAh + kZhong);
  ASSERT_EQ(Run("-q " + (dir_ / "menu.txt")).status, 0);
  const std::string whole = testing::ReadFile(dir_ / "menu.bin");
  Result result = Run("--unique --index " + (dir_ / "menu.idx") + " " + (dir_ / "menu.txt"));
  ASSERT_EQ(result.status, 0);
  EXPECT_NE(result.err.find("2 distinct records of 5: 3 fewer, 96 bytes saved"), std::string::npos) << result.err;
  const std::string unique = testing::ReadFile(dir_ / "menu.bin"), index = testing::ReadFile(dir_ / "menu.idx");
  ASSERT_EQ(index.size(), 5 * 2u);
  std::string rebuilt;
  for (size_t i = 0; i < index.size(); i += 2)
    rebuilt += unique.substr((static_cast<uint8_t>(index[i]) | static_cast<uint8_t>(index[i + 1]) << 8) * 32, 32);
  EXPECT_EQ(rebuilt, whole);
}

}  // namespace
}  // namespace pixtrel
