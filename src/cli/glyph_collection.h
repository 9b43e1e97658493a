#pragma once

#include <cstdint>
#include <vector>

#include "extract/window_operations.h"

namespace pixtrel {

/// The records of a run as the firmware formats need them: which record
/// each occurrence of a character got, with the character and its line,
/// and how many lines the source has.
class GlyphCollection : public CharacterReport {
 public:
  /// One record appended to the glyph file.
  struct Occurrence {
    uint16_t slot;  ///< The record's slot in the font.
    uint16_t code;  ///< The CP936 character it is the glyph of.
    int64_t line;   ///< The character's line, from 1.
  };

  void GlyphWritten(uint16_t slot, uint16_t code, int64_t line_number) override;
  void SourceEnded(int64_t line_count) override { line_count_ = line_count; }

  /// Every record, in the order the run appended them.
  const std::vector<Occurrence>& occurrences() const { return occurrences_; }

  /// The source's lines, as a text editor counts them.
  int64_t line_count() const { return line_count_; }

  /// The records with each distinct one kept once, in the order of first
  /// occurrence: for each, the index of its first occurrence.
  std::vector<size_t> FirstOccurrences() const;

  /// For each occurrence, the index of its record among FirstOccurrences.
  std::vector<uint16_t> UniqueIndices() const;

  /// For each line of the source, the index of its first occurrence and how
  /// many it has (0 for a line without a glyph; the index is then where the
  /// line's records would start).
  std::vector<std::pair<size_t, size_t>> LineTable() const;

 private:
  std::vector<Occurrence> occurrences_;
  int64_t line_count_ = 0;
};

}  // namespace pixtrel
