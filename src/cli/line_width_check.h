#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "extract/character_report.h"
#include "formats/glyph_log.h"
#include "formats/line_layout.h"
#include "platform/platform.h"

namespace pixtrel {

/// The lines of a source wider than a display, as the display library of
/// the format written lays them out.
class LineWidthCheck : public CharacterReport {
 public:
  /// A check of lines against `max_width` pixels, which keeps what it
  /// hears on `disk` beyond a few MB.
  LineWidthCheck(Disk& disk, int max_width) : log_(disk), max_width_(max_width) {}

  void GlyphWritten(const WrittenGlyph& glyph, int64_t line_number) override { log_.GlyphWritten(glyph, line_number); }
  void SourceEnded(int64_t line_count) override { log_.SourceEnded(line_count); }

  /// After the run: measures every line as `layout` lays it out.
  void Measure(LineLayout& layout);

  /// True when some line is wider.
  bool Any() const { return !over_.empty(); }

  /// Writes "SOURCE:LINE: W pixels wide, D over MAX" for each line wider, in order.
  void Print(std::FILE* out, const std::string& source) const;

 private:
  GlyphLog log_;
  const int max_width_;
  std::vector<std::pair<int64_t, int64_t>> over_;  ///< The lines wider, and their widths.
};

}  // namespace pixtrel
