#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "extract/character_report.h"
#include "extract/glyph_source.h"
#include "glyphdata/glyph_layout.h"

namespace pixtrel {

/// A glyph of a line where its library draws it.
struct PlacedGlyph {
  const FontGlyph* ink;  ///< Its box and levels (at the source's depth).
  int x;                 ///< The column of the box's left edge, from the line's start.
  int top;               ///< The row of the box's top, from the line's top.
  WrittenGlyph glyph;    ///< What the run appended for it.
};

/// A line as its library draws it.
struct LaidOutLine {
  std::vector<PlacedGlyph> glyphs;
  int64_t width = 0;  ///< How wide the library says the line is (a label's width), in pixels.
};

/// How a format's display library lays out a line: where it puts each of
/// the glyphs a run appended for the line, and how wide it measures it.
class LineLayout {
 public:
  virtual ~LineLayout() = default;

  /// The line of `glyphs` (a run's, in text order), laid out.
  virtual LaidOutLine Lay(const std::vector<WrittenGlyph>& glyphs) = 0;

  /// Rows from one line to the next.
  virtual int LineHeight() const = 0;
};

/// The layout of a glyph stream: each record in its cell, the next one's
/// cell beside it, a line as wide as its records together; the records'
/// pixels read in `format`, the format they were written in.
class CellLayout : public LineLayout {
 public:
  CellLayout(const GlyphSource& glyphs, RecordFormat format) : glyphs_(glyphs), format_(format) {}

  LaidOutLine Lay(const std::vector<WrittenGlyph>& glyphs) override;
  int LineHeight() const override { return glyphs_.Metrics().cell.height; }

 private:
  /// The ink of the record of `glyph`, the whole cell.
  const FontGlyph& InkOf(const WrittenGlyph& glyph);

  const GlyphSource& glyphs_;
  RecordFormat format_;
  std::map<size_t, FontGlyph> inks_;  ///< By RecordKey.
};

/// The glyphs of a font, by code point, where a font's layout finds them:
/// for each glyph a run appended, the font's glyph of its character.
class FontGlyphIndex {
 public:
  FontGlyphIndex(const GlyphSource& glyphs, const std::vector<FontGlyph>& font) : glyphs_(glyphs), font_(font) {}

  /// The font's glyph of the character `glyph` stands for, or none.
  const FontGlyph* Find(const WrittenGlyph& glyph) const;

  /// The row of the top of `ink`, a glyph on the baseline, from the line's top.
  int TopOf(const FontGlyph& ink) const { return glyphs_.Metrics().ascent - ink.box_y - ink.box_h; }

  const GlyphSource& glyphs() const { return glyphs_; }

 private:
  const GlyphSource& glyphs_;
  const std::vector<FontGlyph>& font_;  ///< In code-point order.
};

}  // namespace pixtrel
