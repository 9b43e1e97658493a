#include "extract/glyph_source.h"

#include <algorithm>

#include "glyphdata/cp936.h"

namespace pixtrel {

namespace {

/// The glyph of a record of `shape` in the font's own layout, trimmed to its
/// ink, for a font whose baseline is `ascent` rows from the record's top;
/// its advance the record's width.
FontGlyph TrimmedGlyph(GlyphRecord record, RecordShape shape, int ascent, uint32_t code_point) {
  auto inked = [&](int x, int y) { return Inked(record.data(), shape, {}, x, y); };
  int left = shape.width, right = -1, top = shape.height, bottom = -1;
  for (int y = 0; y < shape.height; ++y)
    for (int x = 0; x < shape.width; ++x)
      if (inked(x, y)) left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = y;
  FontGlyph glyph;
  glyph.code_point = code_point;
  glyph.advance = shape.width * 16;
  glyph.advance_px = shape.width;
  if (right < 0) return glyph;
  glyph.box_x = left, glyph.box_w = right - left + 1, glyph.box_h = bottom - top + 1;
  glyph.box_y = ascent - (bottom + 1);
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) glyph.levels.push_back(inked(x, y) ? 1 : 0);
  return glyph;
}

}  // namespace

SetGlyphs::SetGlyphs(const GlyphStore& store, const FontSet& set)
    : store_(store), metrics_{store.Shape(), store.Shape().height, set.baseline, 1, set.font} {
  if (set.narrow.empty()) return;
  narrow_.assign(GlyphCount, false);
  for (uint16_t slot : set.narrow) narrow_[slot] = true;
}

GlyphFind SetGlyphs::FindHalfWidth(SourceCharacter character) const {
  const auto c = static_cast<unsigned char>(character.code);
  if (!store_.HasHalfWidth()) return {MissingCause::kNotInSet, {}, {}};
  if (store_.IsBlankHalfWidth(c)) return {MissingCause::kBlank, {}, {}};
  return {std::nullopt, {GlyphKind::kHalfWidth, 0, character}, store_.HalfWidthRecord(c)};
}

GlyphRecord SetGlyphs::RecordOf(const WrittenGlyph& glyph) const {
  switch (glyph.kind) {
    case GlyphKind::kTable:
      return store_.Record(glyph.slot);
    case GlyphKind::kHalfWidth:
      return store_.HalfWidthRecord(static_cast<unsigned char>(glyph.character.code));
    case GlyphKind::kPlaceholder:
    case GlyphKind::kFont:
      break;
  }
  return store_.Placeholder();
}

RecordShape SetGlyphs::ShapeOf(const WrittenGlyph& glyph) const {
  return glyph.kind == GlyphKind::kHalfWidth ? store_.HalfShape() : store_.Shape();
}

SourceCharacter SetGlyphs::CharacterOf(const WrittenGlyph& glyph) const {
  if (glyph.kind != GlyphKind::kTable) return glyph.character;
  const std::string_view entry = store_.CodeTable()[glyph.slot].view();
  const uint16_t code = DoubleByteCode(entry[0], entry[1]);
  return {code, CodePointOf(code)};
}

FontGlyph SetGlyphs::FontGlyphOf(const WrittenGlyph& glyph) const {
  FontGlyph font = TrimmedGlyph(RecordOf(glyph), ShapeOf(glyph), metrics_.ascent, CharacterOf(glyph).code_point);
  if (glyph.kind != GlyphKind::kTable || narrow_.empty() || !narrow_[glyph.slot]) return font;
  // A narrow glyph advances half the cell, from the column it was centred off.
  const int half = HalfWidthOf(metrics_.cell.width);
  font.box_x -= (metrics_.cell.width - half) / 2;
  font.advance = half * 16, font.advance_px = half;
  return font;
}

GlyphFind LimitedGlyphs::Find(SourceCharacter character) {
  const uint32_t code_point =
      character.code_point != 0 || character.code == kNoCp936Code ? character.code_point : CodePointOf(character.code);
  if (code_point > last_) return {MissingCause::kBeyond, {}, {}};
  return source_->Find(character);
}

}  // namespace pixtrel
