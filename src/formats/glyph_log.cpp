#include "formats/glyph_log.h"

#include <algorithm>

#include "glyphdata/glyph_store.h"
#include "platform/failure.h"

namespace pixtrel {

namespace {
constexpr size_t kChunkEntries = 1024 * 1024;  // 2 MiB.
}  // namespace

GlyphLog::GlyphLog(Disk& disk) : disk_(disk) {}

GlyphLog::~GlyphLog() {
  spill_.reset();
  if (spill_path_.empty()) return;
  try {
    disk_.Remove(spill_path_);
  } catch (const Failure&) {  // Nothing more can be done about it.
  }
}

void GlyphLog::GlyphWritten(uint16_t slot, uint16_t, int64_t line_number) {
  EndLines(line_number - line_);
  Add(slot);
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
  distinct.index_of_slot.assign(GlyphCount, kUnused);
  Walk(
      [&](uint16_t slot, int64_t line) {
        if (distinct.index_of_slot[slot] != kUnused) return;
        distinct.index_of_slot[slot] = static_cast<uint16_t>(distinct.slots.size());  // At most GlyphCount: it fits.
        distinct.slots.push_back(slot);
        distinct.first_lines.push_back(line);
      },
      [](int64_t) {});
  return distinct;
}

void GlyphLog::EndLines(int64_t count) {
  line_ += std::max<int64_t>(count, 0);
  for (; count > 0; count -= kLineEnds - 1)
    Add(static_cast<uint16_t>(kLineEnds + std::min<int64_t>(count, kLineEnds - 1)));
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
