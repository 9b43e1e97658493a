// A whole run over an arbitrary source, against a small table (a character
// twice, a single-byte entry) and a font whose records all differ. The first
// byte chooses how the rest is read: with its low bit clear, as CP936 from
// memory, 1 to 128 bytes a read as its other bits say; with it set, as UTF-8
// from a file.
//
// Every run: BytesDone never falls, line numbers of missing characters
// never fall, the captions end at "100%", "Over !" comes with a glyph file
// and "Your tbl is empty ." without one, and the glyph file holds only
// records of slots the table fills. The glyph file, missing characters with
// their editor lines, and BytesDone are those of a plain reading of the
// source: as it is in CP936, or converted whole by iconv from UTF-8 where
// iconv can (a UTF-8 source without a byte order mark and with a CP936 form
// for every character), which the run must then not refuse.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "extract/extractor.h"
#include "fuzz_support.h"
#include "glyphdata/cp936.h"
#include "glyphdata/utf8_source.h"
#include "platform/failure.h"
#include "platform/platform.h"
#include "test_support.h"

namespace {

using namespace pixtrel;
using fuzzing::Require;

const std::map<size_t, std::string> kEntries = {{0, testing::kAh}, {1, testing::kA},   {2, testing::kZhong},
                                                {7, "A"},          {900, testing::kA}, {8177, "\x81\x40"}};

/// What a plain reading of a CP936 source gives.
struct Expected {
  std::string glyphs;
  std::vector<testing::Missing> missing;
  int64_t bytes_done = 0;
};

/// Editor line numbers (a line ends at CR LF, CR or LF) of offsets into a
/// text, asked for in increasing order.
class PlainEditorLines {
 public:
  explicit PlainEditorLines(std::string_view text) : text_(text) {}
  int64_t At(size_t offset) {
    for (; at_ < offset; ++at_)
      if (text_[at_] == '\r' || (text_[at_] == '\n' && (at_ == 0 || text_[at_ - 1] != '\r'))) ++line_;
    return line_;
  }

 private:
  std::string_view text_;
  size_t at_ = 0;
  int64_t line_ = 1;
};

std::optional<size_t> PlainLookup(std::string_view character) {
  for (const auto& [slot, entry] : kEntries)
    if (entry == character) return slot;
  return std::nullopt;
}

Expected PlainRun(std::string_view text, const std::map<size_t, std::string>& records) {
  Expected expected;
  PlainEditorLines editor_lines(text);
  for (std::string_view line : fuzzing::PlainLines(text)) {
    for (size_t i = 0; i < line.size(); ++i) {
      const int64_t line_number = editor_lines.At(static_cast<size_t>(line.data() - text.data()) + i);
      const auto byte = static_cast<unsigned char>(line[i]);
      if (i + 1 == line.size() || !IsDoubleByte(line[i], line[i + 1])) {
        auto digit = [&](size_t k) { return line[k] >= '0' && line[k] <= '9'; };
        if (i + 3 < line.size() && IsLeadByte(line[i]) && digit(i + 1) && IsLeadByte(line[i + 2]) && digit(i + 3)) {
          expected.missing.emplace_back(kNoCp936Code, line_number);  // GB18030's four bytes: one character.
          i += 3;
        } else if (byte >= 0x80) {
          expected.missing.emplace_back(byte, line_number);  // Not ASCII, and no glyph.
        }
        continue;
      }
      if (std::optional<size_t> slot = PlainLookup(line.substr(i, 2)))
        expected.glyphs += records.at(*slot);
      else
        expected.missing.emplace_back(DoubleByteCode(line[i], line[i + 1]), line_number);
      ++i;
    }
    expected.bytes_done += static_cast<int64_t>(line.size()) + 2;
  }
  return expected;
}

/// A run whose window operations are recorded and whose counters are
/// checked each time the run reports.
class CheckedRun : public testing::RecordingWindow {
 public:
  explicit CheckedRun(const testing::TempDir& dir) : extractor(dir.path()) {
    testing::WriteFile(dir / "GB2312.bin", testing::TestFont());
    testing::WriteFile(dir / "GB2312.tbl", testing::TestTable(kEntries));
    extractor.LoadGlyphData();
    extractor.SourcePath = dir / "source.txt";
    extractor.MakeOutputPath();
  }

  Extractor extractor;

  /// Runs over `text`: trickled `piece` bytes at a time in CP936, or from
  /// SourcePath as UTF-8 when `piece` is 0.
  RunOutcome RunOver(const std::string& text, size_t piece) {
    events.clear();
    missing.clear();
    last_bytes_done_ = 0;
    last_line_ = 1;
    std::filesystem::remove(extractor.OutputPath);  // A UTF-8 source fails before the run would delete it.
    SourceText source(std::make_unique<testing::TrickleSource>(text, piece));
    if (piece == 0) {
      std::unique_ptr<Utf8Source> utf8 = Utf8Source::OpenFile(RealDisk(), extractor.SourcePath);
      Utf8Source* converted = utf8.get();
      source = SourceText(std::move(utf8), converted);
    }
    return extractor.Run(*this, this, std::move(source));
  }

  void SetCommand1Caption(const std::string& caption) override {
    CheckBytesDone();
    RecordingWindow::SetCommand1Caption(caption);
  }

  void MissingCharacter(SourceCharacter character, int64_t line_number, MissingCause cause) override {
    CheckBytesDone();
    Require(line_number >= last_line_, "line numbers never fall");
    last_line_ = line_number;
    RecordingWindow::MissingCharacter(character, line_number, cause);
  }

 private:
  void CheckBytesDone() {
    Require(extractor.BytesDone >= last_bytes_done_, "BytesDone never falls");
    last_bytes_done_ = extractor.BytesDone;
  }

  int64_t last_bytes_done_ = 0;
  int64_t last_line_ = 1;
};

/// The CP936 text a plain reading of the run's source gives, when there is one.
std::optional<std::string> PlainText(const std::string& text, bool utf8) {
  if (!utf8) return text;
  if (text.starts_with("\xEF\xBB\xBF")) return std::nullopt;
  return ConvertText("CP936", "UTF-8", text);
}

/// The records of the slots whose entries Lookup can find.
std::map<size_t, std::string> FoundRecords() {
  std::map<size_t, std::string> records;
  for (const auto& [slot, entry] : kEntries)
    if (entry.size() == 2 && PlainLookup(entry) == slot) records[slot] = testing::TestRecord(slot);
  return records;
}

void CheckGlyphFile(const std::string& glyphs, const std::map<size_t, std::string>& records) {
  Require(glyphs.size() % GlyphSize == 0, "the glyph file is a multiple of 32 bytes");
  for (size_t at = 0; at < glyphs.size(); at += GlyphSize) {
    bool known = false;
    for (const auto& [slot, record] : records) known = known || glyphs.compare(at, GlyphSize, record) == 0;
    Require(known, "the glyph file holds only records of filled slots");
  }
}

void CheckEnd(const CheckedRun& run, RunOutcome outcome, const std::string& glyphs) {
  const std::vector<std::string>& events = run.events;
  Require(outcome != RunOutcome::kRefused, "a run into its own glyph file is not refused");
  Require(events.size() >= 4 && events[events.size() - 3] == "caption 100%", "the captions end at 100%");
  const bool written = outcome == RunOutcome::kWritten;
  Require(events[events.size() - 2] == (written ? "message Over !" : "message Your tbl is empty ."),
          "the message tells the outcome");
  Require(written == !glyphs.empty(), "a glyph file is written exactly when a glyph was found");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static testing::TempDir dir;
  static CheckedRun run(dir);
  static const std::map<size_t, std::string> records = FoundRecords();
  if (size == 0) return 0;
  const bool utf8 = (data[0] & 1) != 0;
  const size_t piece = utf8 ? 0 : (data[0] >> 1) + 1;
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (utf8) testing::WriteFile(run.extractor.SourcePath, text);

  const std::optional<std::string> plain = PlainText(text, utf8);
  RunOutcome outcome;
  try {
    outcome = run.RunOver(text, piece);
  } catch (const Failure& failure) {
    Require(!plain, "a source that reads plainly does not fail");
    Require(std::string(failure.what()).starts_with(run.extractor.SourcePath), "the failure names the source");
    Require(!testing::Exists(run.extractor.OutputPath), "a source that is no UTF-8 leaves no glyph file");
    return 0;
  }
  const std::string glyphs =
      testing::Exists(run.extractor.OutputPath) ? testing::ReadFile(run.extractor.OutputPath) : "";
  CheckGlyphFile(glyphs, records);
  CheckEnd(run, outcome, glyphs);
  if (plain) {
    const Expected expected = PlainRun(*plain, records);
    Require(glyphs == expected.glyphs, "the glyph file is that of a plain reading");
    Require(run.missing == expected.missing, "the missing characters and their lines are those of a plain reading");
    Require(run.extractor.BytesDone == expected.bytes_done, "BytesDone counts every character and 2 for each line");
  }
  return 0;
}
