#include "cli/glyph_collection.h"

#include "glyphdata/glyph_store.h"

namespace pixtrel {

namespace {
constexpr uint16_t kNoIndex = 0xFFFF;
}  // namespace

void GlyphCollection::GlyphWritten(uint16_t slot, uint16_t code, int64_t line_number) {
  occurrences_.push_back({slot, code, line_number});
}

std::vector<size_t> GlyphCollection::FirstOccurrences() const {
  std::vector<bool> seen(GlyphCount);
  std::vector<size_t> firsts;
  for (size_t i = 0; i < occurrences_.size(); ++i) {
    if (seen[occurrences_[i].slot]) continue;
    seen[occurrences_[i].slot] = true;
    firsts.push_back(i);
  }
  return firsts;
}

std::vector<uint16_t> GlyphCollection::UniqueIndices() const {
  std::vector<uint16_t> index_of_slot(GlyphCount, kNoIndex);
  uint16_t next = 0;
  std::vector<uint16_t> indices;
  indices.reserve(occurrences_.size());
  for (const Occurrence& occurrence : occurrences_) {
    uint16_t& index = index_of_slot[occurrence.slot];
    if (index == kNoIndex) index = next++;  // A font has at most GlyphCount records: every index fits.
    indices.push_back(index);
  }
  return indices;
}

std::vector<std::pair<size_t, size_t>> GlyphCollection::LineTable() const {
  std::vector<std::pair<size_t, size_t>> lines(static_cast<size_t>(line_count_), {0, 0});
  size_t at = 0;
  for (size_t line = 0; line < lines.size(); ++line) {
    lines[line].first = at;
    while (at < occurrences_.size() && occurrences_[at].line == static_cast<int64_t>(line) + 1) ++at;
    lines[line].second = at - lines[line].first;
  }
  return lines;
}

}  // namespace pixtrel
