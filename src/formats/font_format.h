#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "extract/character_report.h"
#include "extract/glyph_source.h"
#include "formats/glyph_format.h"
#include "formats/target_file.h"

namespace pixtrel {

/// The characters of one or more texts that a font for a display library
/// is to hold: each character a run appends a record for, once, with that
/// record (its half-width record for ASCII, its slot's for a character of
/// the table). The source's records must be in the font's own layout.
class FontCharacters : public CharacterReport {
 public:
  explicit FontCharacters(const GlyphSource& glyphs) : glyphs_(glyphs) {}

  void GlyphWritten(const WrittenGlyph& glyph, int64_t line_number) override;

  /// The glyphs of the characters heard of, in code-point order.
  std::vector<FontGlyph> Glyphs() const;

 private:
  const GlyphSource& glyphs_;
  std::map<uint32_t, WrittenGlyph> characters_;  ///< By code point.
};

/// How many bits hold `value` unsigned.
int UnsignedBits(uint32_t value);

/// How many bits hold `value` in two's complement (as u8g2 and LVGL store
/// signed fields, u8g2 biased by half the range).
int SignedBits(int value);

/// What every format of a font for a display library shares: it hears of the
/// characters of all the runs, and writes its file whole after the last.
class FontFormat : public OneFileFormat {
 public:
  explicit FontFormat(const FormatRequest& request);

  GlyphOutput& Stream() override { return discarded_; }
  CharacterReport* Report() override { return &characters_; }
  void Finish() override { file().WriteWhole(Text(Glyphs())); }
  std::unique_ptr<LineLayout> Layout() override { return LayoutOf(Glyphs()); }

 protected:
  /// How the format's library lays out a line of the font of `glyphs`,
  /// which outlive it.
  virtual std::unique_ptr<LineLayout> LayoutOf(const std::vector<FontGlyph>& glyphs) const = 0;

  /// The text of the font's file, of `glyphs` (in code-point order).
  virtual std::string Text(const std::vector<FontGlyph>& glyphs) const = 0;

  const FormatRequest& request() const { return request_; }

  /// The comment the font's file starts with: a font for `library` of
  /// `characters` characters, of its size and line height, with `details`
  /// (its depth: "4 bits a pixel"; none when empty), made from the source's
  /// font, used in firmware as `use` says.
  std::string Heading(const char* library, size_t characters, const std::string& details, const std::string& use) const;

  /// The glyphs of the characters heard of, in code-point order, made once
  /// they are all heard of.
  const std::vector<FontGlyph>& Glyphs();

 private:
  FormatRequest request_;
  DiscardedGlyphOutput discarded_;
  FontCharacters characters_;
  std::optional<std::vector<FontGlyph>> glyphs_;
};

}  // namespace pixtrel
