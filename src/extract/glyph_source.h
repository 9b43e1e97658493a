#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "extract/character_report.h"
#include "glyphdata/glyph_layout.h"
#include "glyphdata/glyph_store.h"

namespace pixtrel {

/// What a run finds for a character: the record it appends, or why there is none.
struct GlyphFind {
  std::optional<MissingCause> missing;  ///< Why the character gets no glyph; none when it has one.
  WrittenGlyph glyph;                   ///< The glyph, when found.
  GlyphRecord record;                   ///< Its record, when found.
};

/// A glyph as a font for a display library holds it: its ink trimmed to a
/// box, placed against the pen on the baseline.
struct FontGlyph {
  uint32_t code_point = 0;
  int advance = 0;     ///< How far the pen moves on, in 1/16 pixels.
  int advance_px = 0;  ///< The same in whole pixels, as the glyph is drawn.
  int box_x = 0;       ///< Columns from the pen to the box's first.
  int box_y = 0;       ///< Rows from the baseline up to the box's bottom row (negative below it).
  int box_w = 0;       ///< The box's width, 0 for a glyph without ink.
  int box_h = 0;       ///< Its height, 0 for a glyph without ink.
  /// box_w x box_h levels of coverage, rows from the top, each left to
  /// right: 0 (none) to 2^bpp - 1 (full).
  std::vector<uint8_t> levels;
};

/// What a glyph source says of all its glyphs.
struct SourceMetrics {
  RecordShape cell;  ///< The shape of a full-width record of a glyph file.
  int line_height;   ///< Rows from one line to the next.
  int ascent;        ///< Rows above the baseline.
  int bpp = 1;       ///< Bits of a pixel: 1, 2, 4 or 8.
  std::string font;  ///< What the glyphs were made from, for comments.
};

/// A kerning pair: the pen moves on by `adjust` 1/16 pixels more (less when
/// negative) after `left` when `right` follows.
struct KerningPair {
  uint32_t left, right;
  int adjust;
};

/// Where a run takes the glyphs of the characters it meets, and where the
/// formats take them from afterwards: a font set, or a font file. Records
/// are in the layout the source was asked for; at more than 1 bit a pixel,
/// rows of ceil(width * bpp / 8) bytes, the leftmost pixel in the most
/// significant bits.
class GlyphSource {
 public:
  virtual ~GlyphSource() = default;

  /// The glyph of `character`: a double-byte CP936 character, printable
  /// ASCII (asked for only when the run appends half-width records), or one
  /// CP936 has no form for (its code kNoCp936Code). The code point may be 0,
  /// unless the code is kNoCp936Code. Records stay valid as long as the source.
  virtual GlyphFind Find(SourceCharacter character) = 0;

  /// The record a glyph found stands for (the placeholder's for a kPlaceholder one).
  virtual GlyphRecord RecordOf(const WrittenGlyph& glyph) const = 0;

  /// The shape of the record of `glyph`.
  virtual RecordShape ShapeOf(const WrittenGlyph& glyph) const = 0;

  /// The character `glyph` stands for.
  virtual SourceCharacter CharacterOf(const WrittenGlyph& glyph) const = 0;

  /// The placeholder, a full-width record; empty when the source has none.
  virtual GlyphRecord Placeholder() const = 0;

  /// The glyph of `glyph` as a font holds it.
  virtual FontGlyph FontGlyphOf(const WrittenGlyph& glyph) const = 0;

  /// The glyphs of `glyphs` as a font holds them, in their order: as
  /// FontGlyphOf gives them, at once, so that a source may draw them side by side.
  virtual std::vector<FontGlyph> FontGlyphsOf(const std::vector<WrittenGlyph>& glyphs) const {
    std::vector<FontGlyph> font_glyphs;
    for (const WrittenGlyph& glyph : glyphs) font_glyphs.push_back(FontGlyphOf(glyph));
    return font_glyphs;
  }

  /// How the record of `glyph` falls short of its glyph, when ink of it was
  /// cut off to fit its cell ("13 pixels wide, 8 fit its half-width
  /// cell"); none when the record holds all of it.
  virtual std::optional<std::string> CutOf(const WrittenGlyph& /*glyph*/) const { return std::nullopt; }

  /// False when CutOf tells of no glyph whatever it is asked, so that no one
  /// need ask it of each.
  virtual bool MayCut() const { return false; }

  /// The kerning pairs among `code_points` (ascending), none unless the source has them.
  virtual std::vector<KerningPair> Kerning(const std::vector<uint32_t>& /*code_points*/) const { return {}; }

  /// What the source says of all its glyphs.
  virtual const SourceMetrics& Metrics() const = 0;

  /// The font `glyph` was drawn from, as Metrics names fonts.
  virtual std::string FontOf(const WrittenGlyph& /*glyph*/) const { return Metrics().font; }
};

/// The glyphs of a font set's store: those of its table, its half-width
/// records and its placeholder, as far as it has them.
class SetGlyphs final : public GlyphSource {
 public:
  /// The glyphs of `store`, which `set` describes.
  SetGlyphs(const GlyphStore& store, const FontSet& set);

  [[gnu::always_inline]] GlyphFind Find(SourceCharacter character) override {
    if (character.code == kNoCp936Code || (character.code >= 0x80 && character.code < 0x100))
      return {MissingCause::kNotInSet, {}, {}};
    if (character.code < 0x80) return FindHalfWidth(character);
    const uint16_t slot = store_.FoundSlot(character.code);
    if (slot == GlyphStore::kNoSlot) return {MissingCause::kNotInSet, {}, {}};
    if ((slot & GlyphStore::kBlankBit) != 0) return {MissingCause::kBlank, {}, {}};
    return {std::nullopt, {GlyphKind::kTable, slot, character}, store_.Record(slot)};
  }
  GlyphRecord RecordOf(const WrittenGlyph& glyph) const override;
  RecordShape ShapeOf(const WrittenGlyph& glyph) const override;
  SourceCharacter CharacterOf(const WrittenGlyph& glyph) const override;
  GlyphRecord Placeholder() const override { return store_.Placeholder(); }
  FontGlyph FontGlyphOf(const WrittenGlyph& glyph) const override;
  const SourceMetrics& Metrics() const override { return metrics_; }

 private:
  /// The half-width glyph of the printable ASCII `character`.
  GlyphFind FindHalfWidth(SourceCharacter character) const;

  const GlyphStore& store_;
  SourceMetrics metrics_;
  std::vector<bool> narrow_;  ///< By slot: the font draws its glyph narrow, centred on the cell.
};

/// The glyphs of another source up to a code point, as a format's library
/// draws them: a character beyond is missing (MissingCause::kBeyond).
class LimitedGlyphs final : public GlyphSource {
 public:
  /// The glyphs of `source` up to `last`.
  LimitedGlyphs(std::unique_ptr<GlyphSource> source, uint32_t last) : source_(std::move(source)), last_(last) {}

  GlyphFind Find(SourceCharacter character) override;
  GlyphRecord RecordOf(const WrittenGlyph& glyph) const override { return source_->RecordOf(glyph); }
  RecordShape ShapeOf(const WrittenGlyph& glyph) const override { return source_->ShapeOf(glyph); }
  SourceCharacter CharacterOf(const WrittenGlyph& glyph) const override { return source_->CharacterOf(glyph); }
  GlyphRecord Placeholder() const override { return source_->Placeholder(); }
  FontGlyph FontGlyphOf(const WrittenGlyph& glyph) const override { return source_->FontGlyphOf(glyph); }
  std::vector<FontGlyph> FontGlyphsOf(const std::vector<WrittenGlyph>& glyphs) const override {
    return source_->FontGlyphsOf(glyphs);
  }
  std::vector<KerningPair> Kerning(const std::vector<uint32_t>& code_points) const override {
    return source_->Kerning(code_points);
  }
  std::optional<std::string> CutOf(const WrittenGlyph& glyph) const override { return source_->CutOf(glyph); }
  bool MayCut() const override { return source_->MayCut(); }
  const SourceMetrics& Metrics() const override { return source_->Metrics(); }
  std::string FontOf(const WrittenGlyph& glyph) const override { return source_->FontOf(glyph); }

 private:
  std::unique_ptr<GlyphSource> source_;
  uint32_t last_;
};

}  // namespace pixtrel
