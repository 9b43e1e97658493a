#include "cli/line_width_check.h"

#include "formats/glyph_format.h"
#include "platform/platform.h"

namespace pixtrel {

void LineWidthCheck::GlyphWritten(const WrittenGlyph& glyph, int64_t line_number) {
  if (line_number != line_) EndLine();
  line_ = line_number;
  width_ += store_.ShapeOf(glyph).width;
}

void LineWidthCheck::SourceEnded(int64_t) { EndLine(); }

void LineWidthCheck::EndLine() {
  if (width_ > max_width_) over_.emplace_back(line_, width_);
  width_ = 0;
}

void LineWidthCheck::Print(std::FILE* out, const std::string& source) const {
  for (const auto& [line, width] : over_)
    WriteText(out, source + ":" + std::to_string(line) + ": " + std::to_string(width) + " pixels wide, " +
                       std::to_string(width - max_width_) + " over " + std::to_string(max_width_) + "\n");
}

}  // namespace pixtrel
