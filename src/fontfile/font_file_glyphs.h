#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "extract/glyph_source.h"
#include "fontfile/font_face.h"
#include "glyphdata/glyph_layout.h"

namespace pixtrel {

/// What a run asks of a font file.
struct FontFileRequest {
  std::string path;
  std::string face = "0";  ///< Its number in a collection, or its name.
  /// Pixels a line of outlines takes (their em), or the strike's size; none
  /// for 16, or a bitmap font's one strike.
  std::optional<int> size;
  Hinting hinting = Hinting::kLight;
  RecordFormat record_format;  ///< Of the glyph files' records; its depth is the glyphs'.
  /// False when no glyph file takes the records (a font's run): each
  /// glyph's record is then one zero byte, and no cell is drawn.
  bool cells = true;
};

/// The glyphs of a font file, any character it has, drawn when first
/// asked for: as a font holds them, with the font's own advances, boxes,
/// line height and kerning; and for a glyph file, each in a cell of size x
/// size pixels (half as wide for ASCII) on a common baseline, as
/// pixtrel-mkfont places them. The placeholder is the font's U+FFFD, or a box.
class FontFileGlyphs : public GlyphSource {
 public:
  /// Opens the face `request` names. Throws Failure naming the file: not a
  /// font, no such face, no strike of that size and no outlines, no
  /// Unicode character map.
  explicit FontFileGlyphs(const FontFileRequest& request);

  GlyphFind Find(SourceCharacter character) override;
  GlyphRecord RecordOf(const WrittenGlyph& glyph) const override;
  RecordShape ShapeOf(const WrittenGlyph& glyph) const override;
  SourceCharacter CharacterOf(const WrittenGlyph& glyph) const override;
  GlyphRecord Placeholder() const override { return placeholder_; }
  FontGlyph FontGlyphOf(const WrittenGlyph& glyph) const override;
  /// Draws those not drawn yet on as many threads as there are processors (up to 4).
  std::vector<FontGlyph> FontGlyphsOf(const std::vector<WrittenGlyph>& glyphs) const override;
  std::vector<KerningPair> Kerning(const std::vector<uint32_t>& code_points) const override;
  std::optional<std::string> CutOf(const WrittenGlyph& glyph) const override;
  bool MayCut() const override { return true; }
  const SourceMetrics& Metrics() const override { return metrics_; }

 private:
  struct Glyph {
    SourceCharacter character;
    std::optional<FontGlyph> font;  ///< None until drawn, when no cell needed drawing it.
    RecordShape shape;
    std::vector<uint8_t> record;
    std::optional<std::string> cut;  ///< How its record falls short of it, when ink was cut off.
  };

  /// Finds the glyph of `character` in the face, drawn when a cell is asked
  /// for, or says why there is none.
  GlyphFind Draw(SourceCharacter character);
  /// A face of the font file, drawing as the request asks.
  std::unique_ptr<FontFace> OpenFace() const;
  /// The size to draw the face at: the size asked for, or else its one
  /// strike's, or 16 for outlines. Throws Failure naming the file when it
  /// has no strike of that size and no outlines, or cannot be drawn so.
  int SizeToDraw() const;
  /// Makes `face` draw at the size and hinting asked for: its strike of that size, or its outlines.
  void DrawAtSize(FontFace& face) const;
  /// The glyph of `code_point` as a font holds it, drawn by `face`.
  FontGlyph FontGlyphDrawn(FontFace& face, uint32_t code_point) const;
  /// The record of the cell of `shape` with `ink` in it, in the records'
  /// format; what became of the ink, into `placement` when given.
  std::vector<uint8_t> CellRecord(const InkBitmap& ink, RecordShape shape, Placement* placement = nullptr) const;

  FontFileRequest request_;
  SharedFontBytes data_;  ///< The font file's bytes.
  int face_index_;
  std::unique_ptr<FontFace> face_;
  SourceMetrics metrics_;
  int size_;           ///< The size the face is drawn at.
  int cell_baseline_;  ///< The row of the cells' baseline.
  std::vector<Glyph> glyphs_;
  /// By code point, the glyph's number, or for a character without one, -1 less its cause.
  std::unordered_map<uint32_t, int64_t> numbers_;
  std::vector<uint8_t> placeholder_;
};

/// The glyphs of the font file `request` names, as FontFileGlyphs opens
/// it. Throws Failure naming the file; in a build without FreeType, always.
std::unique_ptr<GlyphSource> MakeFontFileGlyphs(const FontFileRequest& request);

}  // namespace pixtrel
