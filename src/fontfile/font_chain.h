#pragma once

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "extract/glyph_source.h"

namespace pixtrel {

/// Several fonts as one: each character drawn from the first of them that
/// has it (a glyph with ink, or white space), all at one size and depth; a
/// line as high as the highest and its baseline as far down as the lowest
/// needs; kerning only between glyphs of one font; the placeholder the
/// first font's. For fonts for display libraries, whose glyphs are boxes
/// on a baseline: the records of glyph files keep each font's own cells.
class FontChain final : public GlyphSource {
 public:
  /// The chain of `fonts`, the first tried first; two at least.
  explicit FontChain(std::vector<std::unique_ptr<GlyphSource>> fonts);

  GlyphFind Find(SourceCharacter character) override;
  GlyphRecord RecordOf(const WrittenGlyph& glyph) const override;
  RecordShape ShapeOf(const WrittenGlyph& glyph) const override;
  SourceCharacter CharacterOf(const WrittenGlyph& glyph) const override;
  GlyphRecord Placeholder() const override { return fonts_.front()->Placeholder(); }
  FontGlyph FontGlyphOf(const WrittenGlyph& glyph) const override;
  std::vector<FontGlyph> FontGlyphsOf(const std::vector<WrittenGlyph>& glyphs) const override;
  std::vector<KerningPair> Kerning(const std::vector<uint32_t>& code_points) const override;
  std::optional<std::string> CutOf(const WrittenGlyph& glyph) const override;
  bool MayCut() const override { return true; }
  const SourceMetrics& Metrics() const override { return metrics_; }
  std::string FontOf(const WrittenGlyph& glyph) const override { return AskFont(glyph, &GlyphSource::FontOf); }

 private:
  /// The glyph of the chain's `glyph` as its font numbers it, and which font that is.
  std::pair<const GlyphSource*, WrittenGlyph> InFont(const WrittenGlyph& glyph) const;

  /// What the font of `glyph` answers to `ask` of it.
  template <class Result>
  Result AskFont(const WrittenGlyph& glyph, Result (GlyphSource::*ask)(const WrittenGlyph&) const) const {
    const auto [font, own] = InFont(glyph);
    return (font->*ask)(own);
  }

  std::vector<std::unique_ptr<GlyphSource>> fonts_;
  SourceMetrics metrics_;
  /// By the chain's glyph numbers: the font's index and its own number.
  std::vector<std::pair<size_t, uint32_t>> members_;
  std::map<std::pair<size_t, uint32_t>, uint32_t> number_of_;  ///< The reverse of members_.
  std::map<uint32_t, size_t> font_of_;                         ///< By code point, the font that drew it.
};

}  // namespace pixtrel
