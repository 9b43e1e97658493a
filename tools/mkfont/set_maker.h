#pragma once

#include <optional>
#include <string>
#include <vector>

#include "fontfile/font_face.h"
#include "glyphdata/font_set.h"

namespace pixtrel {

/// A character of the code table: its CP936 code and its code point.
struct TableCharacter {
  uint16_t code;
  uint32_t unicode;
};

/// Every slot's character, in slot order: slot (row - 0xA1) * 94 + (column -
/// 0xA1) serves the CP936 code {row, column}, rows 0xA1-0xF7, columns
/// 0xA1-0xFE; none where the code has no standard character (unassigned, or
/// private use).
std::vector<std::optional<TableCharacter>> TableCharacters();

/// The code by which `face` finds the character of CP936 code `code` and
/// code point `unicode`: its GB2312 code in a font of that charset.
uint32_t KeyOf(const FontFace& face, uint16_t code, uint32_t unicode);

/// A font set made from a face, its files' bytes and its description.
struct MadeSet {
  FontSet set;
  std::string font, table, half_width, placeholder;
  int reports = 0;  ///< How many things were reported.
};

/// Makes the set of `face`, which draws at `size` pixels: the glyph of every
/// table character in a size x size cell; the printable ASCII characters in
/// cells half as wide, when the face has half-width glyphs; the placeholder,
/// the face's U+FFFD or else a box. The baseline is `baseline` when given,
/// else the strike's ascent when ascent and descent make the size, else the
/// row that centres the ink of the hanzi. The set lists the glyphs that are
/// blank though their characters are no white space. What the face lacks, blank glyphs,
/// strike glyphs drawn from outlines and glyphs shifted or clipped are
/// reported on stderr, a line each, then a summary that names `font_name`.
MadeSet MakeSet(FontFace& face, int size, std::optional<int> baseline, const std::string& font_name);

/// Writes the files of `made` into `dir`, replacing them only once all are
/// written, and removes (saying so on stderr) the half-width records an
/// earlier set there had and `made` lacks. Throws Failure naming the file.
void WriteSet(const MadeSet& made, const std::string& dir);

}  // namespace pixtrel
