#include "cli/line_width_check.h"

#include "platform/platform.h"

namespace pixtrel {

void LineWidthCheck::Measure(LineLayout& layout) {
  over_.clear();
  std::vector<WrittenGlyph> line;
  log_.Walk([&](const WrittenGlyph& glyph, int64_t) { line.push_back(glyph); },
            [&](int64_t number) {
              const int64_t width = layout.Lay(line).width;
              if (width > max_width_) over_.emplace_back(number, width);
              line.clear();
            });
}

void LineWidthCheck::Print(std::FILE* out, const std::string& source) const {
  for (const auto& [line, width] : over_)
    WriteText(out, source + ":" + std::to_string(line) + ": " + std::to_string(width) + " pixels wide, " +
                       std::to_string(width - max_width_) + " over " + std::to_string(max_width_) + "\n");
}

}  // namespace pixtrel
