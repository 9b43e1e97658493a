#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "extract/window_operations.h"
#include "formats/glyph_format.h"
#include "formats/target_file.h"
#include "glyphdata/font_set.h"
#include "glyphdata/glyph_store.h"

namespace pixtrel {

/// A character of a font for a display library, and its glyph as such a
/// font holds it: trimmed to its ink, placed in the line by its baseline.
struct FontGlyph {
  uint32_t code_point;
  int advance;            ///< How far the pen moves on: the record's width in pixels.
  int box_x;              ///< The ink's first column in the record.
  int box_top;            ///< Its first row from the top of the record.
  int box_w;              ///< Its width, 0 for a glyph without ink.
  int box_h;              ///< Its height, 0 for a glyph without ink.
  std::vector<bool> ink;  ///< box_w x box_h pixels, rows from the top, each left to right.
};

/// The characters of one or more texts that a font for a display library
/// is to hold: each character a run appends a record for, once, with that
/// record (its half-width record for ASCII, its slot's for a character of
/// the table). The store's records must be in the font's own layout.
class FontCharacters : public CharacterReport {
 public:
  explicit FontCharacters(const GlyphStore& store) : store_(store) {}

  void GlyphWritten(const WrittenGlyph& glyph, int64_t line_number) override;

  /// The glyphs of the characters heard of, in code-point order.
  std::vector<FontGlyph> Glyphs() const;

 private:
  const GlyphStore& store_;
  std::map<uint32_t, WrittenGlyph> characters_;  ///< By code point.
};

/// What every format of a font for a display library shares: it hears of the
/// characters of all the runs, and writes its file whole after the last.
class FontFormat : public OneFileFormat {
 public:
  explicit FontFormat(const FormatRequest& request);

  GlyphOutput& Stream() override { return discarded_; }
  CharacterReport* Report() override { return &characters_; }
  void Finish() override { file().WriteWhole(Text(characters_.Glyphs())); }

 protected:
  /// The text of the font's file, of `glyphs` (in code-point order).
  virtual std::string Text(const std::vector<FontGlyph>& glyphs) const = 0;

  const FormatRequest& request() const { return request_; }

  /// The comment the font's file starts with: a font for `library` of
  /// `characters` characters, `size` (as "16 pixels"), made from the set's
  /// font, used in firmware as `use` says.
  std::string Heading(const char* library, size_t characters, const std::string& size, const std::string& use) const;

 private:
  FormatRequest request_;
  DiscardedGlyphOutput discarded_;
  FontCharacters characters_;
};

}  // namespace pixtrel
