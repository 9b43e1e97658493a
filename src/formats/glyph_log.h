#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "extract/window_operations.h"
#include "platform/platform.h"

namespace pixtrel {

/// The distinct records of a log, in the order of their first occurrence.
struct DistinctRecords {
  std::vector<uint16_t> slots;          ///< The slot of each.
  std::vector<int64_t> first_lines;     ///< The line of each one's first occurrence.
  std::vector<uint16_t> index_of_slot;  ///< For each slot of the font, its index among them (for the slots used).
};

/// The records a run appended, kept in the order it appended them with the
/// lines they are on, for the formats that are written after the run: two
/// bytes a record and two for a line end (fewer for many together). The log
/// is held in memory up to a few MB and beyond that in a temporary file, so
/// memory does not grow with the text.
class GlyphLog : public CharacterReport {
 public:
  /// A log that spills to a temporary file on `disk`.
  explicit GlyphLog(Disk& disk);
  ~GlyphLog() override;
  GlyphLog(const GlyphLog&) = delete;
  GlyphLog& operator=(const GlyphLog&) = delete;

  void GlyphWritten(uint16_t slot, uint16_t code, int64_t line_number) override;
  void SourceEnded(int64_t line_count) override;

  /// How many records were appended.
  int64_t records() const { return records_; }

  /// How many lines the source has, as a text editor counts them.
  int64_t lines() const { return lines_; }

  /// The distinct records, after the source ended.
  DistinctRecords Distinct() const;

  /// Walks the log from its start, after the source ended: calls
  /// `on_record(slot, line)` for every record and `on_line_end(line)` for
  /// every line of the source (from 1 to lines()) after the records on it.
  /// Throws Failure when the temporary file cannot be read.
  template <class OnRecord, class OnLineEnd>
  void Walk(OnRecord&& on_record, OnLineEnd&& on_line_end) const {
    int64_t line = 1;
    ForEachChunk([&](const uint16_t* entries, size_t count) {
      for (const uint16_t* entry = entries; entry != entries + count; ++entry) {
        if (*entry < kLineEnds) {
          on_record(*entry, line);
          continue;
        }
        for (int64_t ended = *entry - kLineEnds; ended > 0; --ended) on_line_end(line++);
      }
    });
  }

 private:
  /// Entries from kLineEnds on stand for that many line ends less kLineEnds;
  /// every entry below is the slot of a record.
  static constexpr uint16_t kLineEnds = 0x8000;

  void Add(uint16_t entry);
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
};

}  // namespace pixtrel
