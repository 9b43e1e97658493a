#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_set>
#include <vector>

#include "extract/character_report.h"
#include "extract/glyph_source.h"

namespace pixtrel {

/// The glyphs whose records a run appended cut to their cells: each once,
/// at the line of its first occurrence.
class CutGlyphReport : public CharacterReport {
 public:
  /// A report of the records of `glyphs`.
  explicit CutGlyphReport(const GlyphSource& glyphs) : glyphs_(glyphs) {}

  bool HearsGlyphs() const override { return glyphs_.MayCut(); }
  void GlyphWritten(const WrittenGlyph& glyph, int64_t line_number) override;

  /// True when some glyph was cut.
  bool Any() const { return !cut_.empty(); }

  /// Writes "SOURCE:LINE: CHAR is W pixels wide, N fit its half-width cell"
  /// for each glyph cut, in `charset`.
  void Print(std::FILE* out, const std::string& source, const std::string& charset) const;

 private:
  struct Cut {
    int64_t line;
    uint32_t code_point;
    std::string how;
  };

  const GlyphSource& glyphs_;
  std::unordered_set<size_t> seen_;  ///< By RecordKey.
  std::vector<Cut> cut_;
};

}  // namespace pixtrel
