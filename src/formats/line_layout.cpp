#include "formats/line_layout.h"

#include <algorithm>

#include "formats/glyph_log.h"
#include "glyphdata/glyph_store.h"

namespace pixtrel {

LaidOutLine CellLayout::Lay(const std::vector<WrittenGlyph>& glyphs) {
  LaidOutLine line;
  for (const WrittenGlyph& glyph : glyphs) {
    const FontGlyph& ink = InkOf(glyph);
    line.glyphs.push_back({&ink, static_cast<int>(line.width), 0, glyph});
    line.width += ink.box_w;
  }
  return line;
}

const FontGlyph& CellLayout::InkOf(const WrittenGlyph& glyph) {
  auto [at, fresh] = inks_.try_emplace(RecordKey(glyph));
  FontGlyph& ink = at->second;
  if (!fresh) return ink;
  const RecordShape shape{glyphs_.ShapeOf(glyph).width, glyphs_.Metrics().cell.height};
  const GlyphRecord record = glyphs_.RecordOf(glyph);
  ink.box_w = shape.width, ink.box_h = shape.height;
  for (int y = 0; y < shape.height; ++y)
    for (int x = 0; x < shape.width; ++x)
      ink.levels.push_back(static_cast<uint8_t>(LevelAt(record.data(), shape, format_, x, y)));
  return ink;
}

const FontGlyph* FontGlyphIndex::Find(const WrittenGlyph& glyph) const {
  const uint32_t code_point = glyphs_.CharacterOf(glyph).code_point;
  const auto found = std::lower_bound(font_.begin(), font_.end(), code_point,
                                      [](const FontGlyph& ink, uint32_t c) { return ink.code_point < c; });
  return found != font_.end() && found->code_point == code_point ? &*found : nullptr;
}

}  // namespace pixtrel
