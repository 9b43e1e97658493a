#include "formats/font_format.h"

#include <algorithm>

#include "formats/c_text.h"
#include "formats/glyph_format.h"
#include "version.h"

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
    : OneFileFormat(*request.disk, request.output), request_(request), characters_(*request.store) {}

std::string FontFormat::Heading(const char* library, size_t characters, const std::string& size,
                                const std::string& use) const {
  return std::string("/* A font for ") + library + " of the " + std::to_string(characters) + " characters of " +
         InComment(request_.source) + ", " + size + ", cut by pixtrel-extract " PIXTREL_VERSION_TEXT " from " +
         InComment(request_.set->font) + ".\n * In the firmware: " + use + ". */\n\n";
}

}  // namespace pixtrel
