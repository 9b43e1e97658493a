#include "cli/cut_glyph_report.h"

#include "formats/glyph_log.h"
#include "glyphdata/utf8.h"
#include "platform/platform.h"

namespace pixtrel {

void CutGlyphReport::GlyphWritten(const WrittenGlyph& glyph, int64_t line_number) {
  if (!seen_.insert(RecordKey(glyph)).second) return;
  if (std::optional<std::string> how = glyphs_.CutOf(glyph))
    cut_.push_back({line_number, glyphs_.CharacterOf(glyph).code_point, std::move(*how)});
}

void CutGlyphReport::Print(std::FILE* out, const std::string& source, const std::string& charset) const {
  for (const Cut& cut : cut_)
    WriteText(out, source + ":" + std::to_string(cut.line) + ": " + ShownIn(charset, cut.code_point) + " is " +
                       cut.how + "\n");
}

}  // namespace pixtrel
