#include "formats/glyph_log.h"

#include <algorithm>

#include "formats/glyph_format.h"
#include "glyphdata/font_set.h"
#include "glyphdata/glyph_store.h"
#include "platform/failure.h"

namespace pixtrel {

namespace {

constexpr size_t kChunkEntries = 1024 * 1024;  // 2 MiB.

// The entries: the slot of a table record; kHalfWidth plus the character of
// a half-width record; kPlaceholder, then its character's code point in two
// entries, high half first; kFontGlyph plus the number of a font file's
// glyph below kFontNumbers, or kWideFontGlyph and the number in two entries
// as a placeholder's; kLineEnds plus how many lines end there.
constexpr uint16_t kHalfWidth = 0x2000, kPlaceholder = 0x4000, kWideFontGlyph = 0x4001, kFontGlyph = 0x6000,
                   kLineEnds = 0x8000;
constexpr uint32_t kFontNumbers = 0x2000;
constexpr int64_t kMostLineEnds = 0x7FFF;

}  // namespace

size_t RecordKey(const WrittenGlyph& glyph) {
  switch (glyph.kind) {
    case GlyphKind::kTable:
      return glyph.slot;
    case GlyphKind::kHalfWidth:
      return GlyphCount + glyph.character.code - kFirstHalfWidth;
    case GlyphKind::kFont:
      return kRecordKeys + glyph.slot;
    case GlyphKind::kPlaceholder:
      break;
  }
  return kRecordKeys - 1;
}

std::string SavingsSummary(const std::string& path, const GlyphLog& log, const DistinctRecords& distinct,
                           const GlyphSource& store) {
  auto bytes_of = [&](const WrittenGlyph& glyph) { return store.RecordOf(glyph).size(); };
  size_t all_bytes = 0, distinct_bytes = 0;
  log.Walk([&](const WrittenGlyph& glyph, int64_t) { all_bytes += bytes_of(glyph); }, [](int64_t) {});
  for (const WrittenGlyph& glyph : distinct.glyphs) distinct_bytes += bytes_of(glyph);
  const size_t all = static_cast<size_t>(log.records()), fewer = all - distinct.glyphs.size();
  return (path.empty() ? "-" : path) + ": " + std::to_string(distinct.glyphs.size()) + " distinct records of " +
         std::to_string(all) + ": " + std::to_string(fewer) + " fewer, " + std::to_string(all_bytes - distinct_bytes) +
         " bytes saved";
}

GlyphLog::GlyphLog(Disk& disk) : disk_(disk) {}

GlyphLog::~GlyphLog() {
  spill_.reset();
  if (spill_path_.empty()) return;
  try {
    disk_.Remove(spill_path_);
  } catch (const Failure&) {  // Nothing more can be done about it.
  }
}

void GlyphLog::GlyphWritten(const WrittenGlyph& glyph, int64_t line_number) {
  EndLines(line_number - line_);
  switch (glyph.kind) {
    case GlyphKind::kTable:
      Add(glyph.slot);
      break;
    case GlyphKind::kHalfWidth:
      Add(static_cast<uint16_t>(kHalfWidth + glyph.character.code));
      any_half_width_ = true;
      break;
    case GlyphKind::kPlaceholder:
      Add(kPlaceholder);
      AddHalves(glyph.character.code_point);
      break;
    case GlyphKind::kFont:
      if (glyph.slot < kFontNumbers) {
        Add(static_cast<uint16_t>(kFontGlyph + glyph.slot));
      } else {
        Add(kWideFontGlyph);
        AddHalves(glyph.slot);
      }
      break;
  }
  ++records_;
}

void GlyphLog::SourceEnded(int64_t line_count) {
  EndLines(line_count + 1 - line_);
  lines_ = line_count;
  if (spill_) spill_->Close();
}

DistinctRecords GlyphLog::Distinct() const {
  constexpr uint16_t kUnused = 0xFFFF;
  DistinctRecords distinct;
  distinct.index_of_key.assign(kRecordKeys, kUnused);
  Walk(
      [&](const WrittenGlyph& glyph, int64_t line) {
        const size_t key = RecordKey(glyph);
        if (key >= distinct.index_of_key.size()) distinct.index_of_key.resize(key + 1, kUnused);
        uint16_t& index = distinct.index_of_key[key];
        if (index != kUnused) return;
        if (distinct.glyphs.size() == kUnused)
          throw Failure("More distinct records than an index of 16 bits tells apart");
        index = static_cast<uint16_t>(distinct.glyphs.size());
        distinct.glyphs.push_back(glyph);
        distinct.first_lines.push_back(line);
      },
      [](int64_t) {});
  return distinct;
}

void GlyphLog::Walk(const std::function<void(const WrittenGlyph&, int64_t)>& on_record,
                    const std::function<void(int64_t)>& on_line_end) const {
  int64_t line = 1;
  int halves = 0;  // Of a placeholder's code point or a font glyph's number, still to come.
  uint32_t value = 0;
  GlyphKind kind = GlyphKind::kPlaceholder;
  ForEachChunk([&](const uint16_t* entries, size_t count) {
    for (const uint16_t* at = entries; at != entries + count; ++at) {
      const uint16_t entry = *at;
      if (halves > 0) {
        value = value << 16 | entry;
        if (--halves > 0) continue;
        if (kind == GlyphKind::kPlaceholder)
          on_record({GlyphKind::kPlaceholder, 0, {kNoCp936Code, value}}, line);
        else
          on_record({GlyphKind::kFont, value, {0, 0}}, line);
      } else if (entry >= kLineEnds) {
        for (int ended = entry - kLineEnds; ended > 0; --ended) on_line_end(line++);
      } else if (entry >= kFontGlyph) {
        on_record({GlyphKind::kFont, static_cast<uint32_t>(entry - kFontGlyph), {0, 0}}, line);
      } else if (entry == kPlaceholder || entry == kWideFontGlyph) {
        halves = 2;
        value = 0;
        kind = entry == kPlaceholder ? GlyphKind::kPlaceholder : GlyphKind::kFont;
      } else if (entry >= kHalfWidth) {
        const auto c = static_cast<uint16_t>(entry - kHalfWidth);
        on_record({GlyphKind::kHalfWidth, 0, {c, c}}, line);
      } else {
        on_record({GlyphKind::kTable, entry, {0, 0}}, line);
      }
    }
  });
}

void GlyphLog::EndLines(int64_t count) {
  line_ += std::max<int64_t>(count, 0);
  for (; count > 0; count -= kMostLineEnds) Add(static_cast<uint16_t>(kLineEnds + std::min(count, kMostLineEnds)));
}

void GlyphLog::AddHalves(uint32_t value) {
  Add(static_cast<uint16_t>(value >> 16));
  Add(static_cast<uint16_t>(value & 0xFFFF));
}

void GlyphLog::Add(uint16_t entry) {
  if (entries_.size() == kChunkEntries) Spill();
  if (entries_.capacity() == 0) entries_.reserve(kChunkEntries);
  entries_.push_back(entry);
}

void GlyphLog::Spill() {
  if (!spill_) {
    TemporaryFile file = disk_.CreateTemporary(TemporaryDirectory() + "/glyphs");
    spill_path_ = file.path;
    spill_ = std::move(file.sink);
  }
  spill_->Write(reinterpret_cast<const char*>(entries_.data()), entries_.size() * sizeof entries_[0]);
  entries_.clear();
}

void GlyphLog::ForEachChunk(const std::function<void(const uint16_t*, size_t)>& visit) const {
  if (!spill_path_.empty()) {
    std::unique_ptr<ByteSource> spilled = disk_.OpenForReading(spill_path_);
    std::vector<uint16_t> chunk(kChunkEntries);
    for (size_t size; (size = spilled->ReadFull(reinterpret_cast<char*>(chunk.data()), kChunkEntries * 2)) != 0;)
      visit(chunk.data(), size / 2);
  }
  visit(entries_.data(), entries_.size());
}

}  // namespace pixtrel
