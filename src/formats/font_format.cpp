#include "formats/font_format.h"

#include <algorithm>

#include "formats/glyph_format.h"

namespace pixtrel {

void FontCharacters::GlyphWritten(const WrittenGlyph& glyph, int64_t) {
  characters_.try_emplace(CharacterOf(glyph, store_).code_point, glyph);
}

std::vector<FontGlyph> FontCharacters::Glyphs() const {
  std::vector<FontGlyph> glyphs;
  for (const auto& [code_point, written] : characters_) {
    const RecordShape shape{WidthOf(written, store_), store_.Shape().height};
    const GlyphRecord record = RecordOf(written, store_);
    auto inked = [&](int x, int y) { return Inked(record.data(), shape, {}, x, y); };
    int left = shape.width, right = -1, top = shape.height, bottom = -1;
    for (int y = 0; y < shape.height; ++y)
      for (int x = 0; x < shape.width; ++x)
        if (inked(x, y)) left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = y;
    FontGlyph glyph{code_point, shape.width, 0, 0, 0, 0, {}};
    if (right >= 0) {
      glyph.box_x = left, glyph.box_top = top, glyph.box_w = right - left + 1, glyph.box_h = bottom - top + 1;
      for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) glyph.ink.push_back(inked(x, y));
    }
    glyphs.push_back(std::move(glyph));
  }
  return glyphs;
}

FontFormat::FontFormat(const FormatRequest& request)
    : request_(request), characters_(*request.store), file_(*request.disk, request.output) {}

std::vector<std::string> FontFormat::Targets() const {
  if (file_.path().empty()) return {};
  return {file_.path()};
}

}  // namespace pixtrel
