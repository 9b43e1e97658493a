#include "cli/line_width_check.h"

#include "formats/glyph_format.h"

namespace pixtrel {

void LineWidthCheck::GlyphWritten(const WrittenGlyph& glyph, int64_t line_number) {
  if (line_number != line_) EndLine();
  line_ = line_number;
  width_ += WidthOf(glyph, store_);
}

void LineWidthCheck::SourceEnded(int64_t) { EndLine(); }

void LineWidthCheck::EndLine() {
  if (width_ > max_width_) over_.emplace_back(line_, width_);
  width_ = 0;
}

void LineWidthCheck::Print(std::FILE* out, const std::string& source) const {
  for (const auto& [line, width] : over_)
    std::fprintf(out, "%s:%lld: %lld pixels wide, %lld over %d\n", source.c_str(), static_cast<long long>(line),
                 static_cast<long long>(width), static_cast<long long>(width - max_width_), max_width_);
}

}  // namespace pixtrel
