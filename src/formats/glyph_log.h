#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "extract/character_report.h"
#include "extract/glyph_source.h"
#include "glyphdata/glyph_store.h"
#include "platform/platform.h"

namespace pixtrel {

/// The distinct records of a log, in the order of their first occurrence.
struct DistinctRecords {
  std::vector<WrittenGlyph> glyphs;    ///< The first occurrence of each.
  std::vector<int64_t> first_lines;    ///< The line of each one's first occurrence.
  std::vector<uint16_t> index_of_key;  ///< By RecordKey, the index among them (for the keys used).
};

/// "PATH: D distinct records of N: F fewer, B bytes saved", of what
/// --unique made of `log`, whose records are those of `store`.
std::string SavingsSummary(const std::string& path, const class GlyphLog& log, const DistinctRecords& distinct,
                           const GlyphSource& store);

/// A number for each record a source can give: its slot for a record of
/// the table, then one for each half-width record, then the placeholder
/// (these less than kRecordKeys); then a font file's glyphs by their numbers.
size_t RecordKey(const WrittenGlyph& glyph);
inline constexpr size_t kRecordKeys = GlyphCount + (kLastHalfWidth - kFirstHalfWidth + 1) + 1;

/// The records a run appended, kept in the order it appended them with the
/// lines they are on, for the formats that are written after the run: two
/// bytes a record (six for a placeholder, with its character, and for a font
/// file's glyph beyond its first 8192) and two for a
/// line end (fewer for many together). The log is held in memory up to a
/// few MB and beyond that in a temporary file, so memory does not grow with
/// the text.
class GlyphLog : public CharacterReport {
 public:
  /// A log that spills to a temporary file on `disk`.
  explicit GlyphLog(Disk& disk);
  ~GlyphLog() override;
  GlyphLog(const GlyphLog&) = delete;
  GlyphLog& operator=(const GlyphLog&) = delete;

  void GlyphWritten(const WrittenGlyph& glyph, int64_t line_number) override;
  void SourceEnded(int64_t line_count) override;

  /// How many records were appended.
  int64_t records() const { return records_; }

  /// How many lines the source has, as a text editor counts them.
  int64_t lines() const { return lines_; }

  /// True when some record appended is a half-width one.
  bool any_half_width() const { return any_half_width_; }

  /// The distinct records, after the source ended.
  DistinctRecords Distinct() const;

  /// Walks the log from its start, after the source ended: calls
  /// `on_record(glyph, line)` for every record (of a table record, the
  /// character is left out: it is its slot's) and `on_line_end(line)` for
  /// every line of the source (from 1 to lines()) after the records on it.
  /// Throws Failure when the temporary file cannot be read.
  void Walk(const std::function<void(const WrittenGlyph&, int64_t)>& on_record,
            const std::function<void(int64_t)>& on_line_end) const;

 private:
  void Add(uint16_t entry);
  /// Adds `value` in two entries, the high half first.
  void AddHalves(uint32_t value);
  void EndLines(int64_t count);
  void Spill();
  /// Calls `visit(entries, count)` for the entries in order, a chunk at a time.
  void ForEachChunk(const std::function<void(const uint16_t*, size_t)>& visit) const;

  Disk& disk_;
  std::vector<uint16_t> entries_;  ///< The entries not spilled.
  std::string spill_path_;         ///< The temporary file, once made.
  std::unique_ptr<ByteSink> spill_;
  int64_t records_ = 0;
  int64_t lines_ = 0;
  int64_t line_ = 1;  ///< The line the next record is on, as far as the entries tell.
  bool any_half_width_ = false;
};

}  // namespace pixtrel
