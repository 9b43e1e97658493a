#include "fontfile/font_chain.h"

#include <algorithm>

namespace pixtrel {

FontChain::FontChain(std::vector<std::unique_ptr<GlyphSource>> fonts) : fonts_(std::move(fonts)) {
  metrics_ = fonts_.front()->Metrics();
  int descent = metrics_.line_height - metrics_.ascent;
  for (const std::unique_ptr<GlyphSource>& font : fonts_) {
    const SourceMetrics& own = font->Metrics();
    metrics_.ascent = std::max(metrics_.ascent, own.ascent);
    descent = std::max(descent, own.line_height - own.ascent);
    if (&font != &fonts_.front()) metrics_.font += " and " + own.font;
  }
  metrics_.line_height = metrics_.ascent + descent;
}

GlyphFind FontChain::Find(SourceCharacter character) {
  GlyphFind first_missing;
  for (size_t i = 0; i < fonts_.size(); ++i) {
    GlyphFind found = fonts_[i]->Find(character);
    if (found.missing) {
      if (i == 0) first_missing = found;
      continue;
    }
    const auto [at, fresh] = number_of_.try_emplace({i, found.glyph.slot}, static_cast<uint32_t>(members_.size()));
    if (fresh) members_.emplace_back(i, found.glyph.slot);
    font_of_.try_emplace(found.glyph.character.code_point, i);
    found.glyph.slot = at->second;
    return found;
  }
  return first_missing;
}

std::pair<const GlyphSource*, WrittenGlyph> FontChain::InFont(const WrittenGlyph& glyph) const {
  if (glyph.kind != GlyphKind::kFont) return {fonts_.front().get(), glyph};
  const auto [font, number] = members_.at(glyph.slot);
  WrittenGlyph own = glyph;
  own.slot = number;
  return {fonts_[font].get(), own};
}

GlyphRecord FontChain::RecordOf(const WrittenGlyph& glyph) const { return AskFont(glyph, &GlyphSource::RecordOf); }

RecordShape FontChain::ShapeOf(const WrittenGlyph& glyph) const { return AskFont(glyph, &GlyphSource::ShapeOf); }

SourceCharacter FontChain::CharacterOf(const WrittenGlyph& glyph) const {
  return AskFont(glyph, &GlyphSource::CharacterOf);
}

FontGlyph FontChain::FontGlyphOf(const WrittenGlyph& glyph) const { return AskFont(glyph, &GlyphSource::FontGlyphOf); }

std::optional<std::string> FontChain::CutOf(const WrittenGlyph& glyph) const {
  return AskFont(glyph, &GlyphSource::CutOf);
}

std::vector<FontGlyph> FontChain::FontGlyphsOf(const std::vector<WrittenGlyph>& glyphs) const {
  // Each font draws its own at once, as it draws best; then back in their order.
  std::vector<std::vector<WrittenGlyph>> of_font(fonts_.size());
  std::vector<std::pair<size_t, size_t>> where;  // Of each glyph: its font and its place among that font's.
  for (const WrittenGlyph& glyph : glyphs) {
    const auto [font, own] = InFont(glyph);
    const size_t index = glyph.kind == GlyphKind::kFont ? members_.at(glyph.slot).first : 0;
    where.emplace_back(index, of_font[index].size());
    of_font[index].push_back(own);
  }
  std::vector<std::vector<FontGlyph>> drawn(fonts_.size());
  for (size_t i = 0; i < fonts_.size(); ++i)
    if (!of_font[i].empty()) drawn[i] = fonts_[i]->FontGlyphsOf(of_font[i]);
  std::vector<FontGlyph> font_glyphs;
  for (const auto& [font, place] : where) font_glyphs.push_back(std::move(drawn[font][place]));
  return font_glyphs;
}

std::vector<KerningPair> FontChain::Kerning(const std::vector<uint32_t>& code_points) const {
  std::vector<std::vector<uint32_t>> of_font(fonts_.size());
  for (uint32_t code_point : code_points) {
    const auto found = font_of_.find(code_point);
    if (found != font_of_.end()) of_font[found->second].push_back(code_point);
  }
  std::vector<KerningPair> pairs;
  for (size_t i = 0; i < fonts_.size(); ++i) {
    const std::vector<KerningPair> own = fonts_[i]->Kerning(of_font[i]);
    pairs.insert(pairs.end(), own.begin(), own.end());
  }
  return pairs;
}

}  // namespace pixtrel
