#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "extract/character_report.h"
#include "extract/glyph_source.h"

namespace pixtrel {

/// The lines of a source wider than a display, as the records a run
/// appends for them draw them, side by side.
class LineWidthCheck : public CharacterReport {
 public:
  /// A check of lines against `max_width` pixels, the records' widths taken from `store`.
  LineWidthCheck(const GlyphSource& store, int max_width) : store_(store), max_width_(max_width) {}

  void GlyphWritten(const WrittenGlyph& glyph, int64_t line_number) override;
  void SourceEnded(int64_t line_count) override;

  /// True when some line is wider.
  bool Any() const { return !over_.empty(); }

  /// Writes "SOURCE:LINE: W pixels wide, D over MAX" for each line wider, in order.
  void Print(std::FILE* out, const std::string& source) const;

 private:
  void EndLine();

  const GlyphSource& store_;
  const int max_width_;
  int64_t line_ = 0;                               ///< The line whose records came last.
  int64_t width_ = 0;                              ///< Its width so far.
  std::vector<std::pair<int64_t, int64_t>> over_;  ///< The lines wider, and their widths.
};

}  // namespace pixtrel
