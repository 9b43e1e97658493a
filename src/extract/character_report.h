#pragma once

// What a run meets in a text and appends to a glyph file, as told to
// whoever hears of it: the formats, the reports, the window.

#include <cstdint>

namespace pixtrel {

/// The CP936 code of a character CP936 has no form for (no byte pair of
/// CP936 reads so).
inline constexpr uint16_t kNoCp936Code = 0xFFFF;

/// A character of a source, as a run met it.
struct SourceCharacter {
  uint16_t code;        ///< Its CP936 code: double-byte, a single byte below 0x100, or kNoCp936Code.
  uint32_t code_point;  ///< Its Unicode code point; 0 for a byte that stands for no character.
  friend bool operator==(SourceCharacter, SourceCharacter) = default;
};

/// What a record a run appended is.
enum class GlyphKind : uint8_t {
  kTable,        ///< The record of a slot of the font, for a character of the table.
  kHalfWidth,    ///< The half-width record of a printable ASCII character.
  kPlaceholder,  ///< The placeholder, for a character that got no glyph.
  kFont,         ///< The record of a glyph of a font file.
};

/// A record a run appended to the glyph file.
struct WrittenGlyph {
  GlyphKind kind;
  uint32_t slot;              ///< Of a kTable record its slot; of a kFont record its glyph's number in the font.
  SourceCharacter character;  ///< The character it stands for.
};

/// Why a character got no glyph of its own.
enum class MissingCause : uint8_t {
  kNotInSet,  ///< The table lacks it, CP936 has no form for it, or the set has no half-width glyphs.
  kBlank,     ///< Its glyph in the set is blank, though it is no white space.
  kBeyond,    ///< It lies beyond the code points the format's library draws.
};

/// What a run tells of single characters, for those who want to know more
/// than the window shows. Calls come in source order; a line number counts
/// lines as a text editor does (a line ends at CR LF, CR or LF). Each call
/// does nothing unless overridden.
class CharacterReport {
 public:
  virtual ~CharacterReport() = default;

  /// False when GlyphWritten does nothing, so that a run need not call it.
  virtual bool HearsGlyphs() const { return true; }

  /// `glyph` was appended to the glyph file, for a character on line `line_number`.
  virtual void GlyphWritten(const WrittenGlyph& /*glyph*/, int64_t /*line_number*/) {}

  /// A character that got no glyph of its own, on line `line_number`, for
  /// `cause`: one that is not ASCII (a double-byte one the table lacks or
  /// whose glyph is blank, a single-byte one, or one CP936 has no form
  /// for), or printable ASCII when half-width records are asked for.
  virtual void MissingCharacter(SourceCharacter /*character*/, int64_t /*line_number*/, MissingCause /*cause*/) {}

  /// The source ended after `line_count` lines (a final line end starts no
  /// line; an empty source has none).
  virtual void SourceEnded(int64_t /*line_count*/) {}
};

}  // namespace pixtrel
