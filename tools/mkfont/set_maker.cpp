#include "set_maker.h"

#include <algorithm>
#include <cstdio>
#include <list>

#include "extract/glyph_output.h"
#include "fontfile/glyph_cell.h"
#include "glyphdata/cp936.h"
#include "glyphdata/glyph_layout.h"
#include "glyphdata/utf8.h"
#include "platform/platform.h"

namespace pixtrel {

namespace {

constexpr int kFirstRow = 0xA1, kLastRow = 0xF7, kFirstColumn = 0xA1, kLastColumn = 0xFE;
constexpr int kFirstHanziRow = 0xB0;
constexpr uint32_t kReplacementCharacter = 0xFFFD;

/// Lines on stderr about characters, and how many.
class Reports {
 public:
  void Add(uint16_t code, uint32_t unicode, const char* what) {
    char codes[20];
    std::snprintf(codes, sizeof codes, "%04X U+%04X ", code, static_cast<unsigned>(unicode));
    WriteText(stderr, codes + ShownIn(LocaleCharset(), unicode) + ": " + what + "\n");
    ++count_;
  }
  int count() const { return count_; }

 private:
  int count_ = 0;
};

/// The row of the baseline that centres the ink of the hanzi in a cell of `size` rows.
int BaselineFromHanzi(FontFace& face, int size, const std::vector<std::optional<TableCharacter>>& characters) {
  int top = -1000, bottom = 1000;
  for (const std::optional<TableCharacter>& character : characters) {
    if (!character || character->code >> 8 < kFirstHanziRow) continue;
    std::optional<FontFace::Drawn> drawn = face.Draw(KeyOf(face, character->code, character->unicode));
    if (!drawn || drawn->ink.rows == 0) continue;
    top = std::max(top, drawn->ink.top);
    bottom = std::min(bottom, drawn->ink.top - drawn->ink.rows);
  }
  if (top < bottom) return size - 2;
  return (size - (top - bottom)) / 2 + top;
}

/// What became of a character's glyph in its cell.
struct Placed {
  bool blank = false;   ///< Blank though the character is no white space: the face lacks it or draws it so.
  bool narrow = false;  ///< Inked, and advancing half the cell or less.
};

/// Places the glyph of a character in a record of `cell`, appended to
/// `records`, reporting what became of it.
Placed Place(FontFace& face, uint16_t code, uint32_t unicode, Cell cell, int baseline, Reports& reports,
             std::string& records) {
  std::string record(RecordBytes({cell.width, cell.height}, GlyphLayout::kRowMsb), '\0');
  bool blank = !IsWhiteSpace(unicode), narrow = false;
  if (std::optional<FontFace::Drawn> drawn = face.Draw(KeyOf(face, code, unicode))) {
    const Placement placement = PlaceInCell(drawn->ink, cell, baseline, reinterpret_cast<uint8_t*>(record.data()));
    blank = blank && placement.blank;
    narrow = !placement.blank && drawn->ink.advance > 0 && drawn->ink.advance <= HalfWidthOf(cell.width);
    if (blank) reports.Add(code, unicode, "blank");
    if (drawn->from_outline) reports.Add(code, unicode, "drawn from outlines, not the strike");
    if (placement.shifted) reports.Add(code, unicode, "shifted into the cell");
    if (placement.clipped) reports.Add(code, unicode, "clipped");
  } else {
    reports.Add(code, unicode, "missing");
  }
  records += record;
  return {blank, narrow};
}

/// Why the face has no half-width glyphs, or none when it draws ASCII half
/// as wide as the cell, or narrower (as its "A" tells).
std::optional<std::string> NoHalfWidth(FontFace& face, int half_width) {
  if (face.Map() != FontFace::CharacterMap::kUnicode) return "the font maps no Unicode, so no ASCII";
  const std::optional<FontFace::Drawn> letter = face.Draw('A');
  if (!letter || letter->ink.advance <= 0) return "the font draws no A";
  if (letter->ink.advance <= half_width) return std::nullopt;
  int widest = 0;
  for (unsigned c = kFirstHalfWidth; c <= kLastHalfWidth; ++c)
    if (const std::optional<FontFace::Drawn> drawn = face.Draw(c)) widest = std::max(widest, drawn->ink.advance);
  return "its ASCII is up to " + std::to_string(widest) + " pixels wide, wider than the half cell of " +
         std::to_string(half_width);
}

}  // namespace

std::vector<std::optional<TableCharacter>> TableCharacters() {
  std::vector<std::optional<TableCharacter>> characters;
  for (int row = kFirstRow; row <= kLastRow; ++row) {
    for (int column = kFirstColumn; column <= kLastColumn; ++column) {
      const auto code = static_cast<uint16_t>(row << 8 | column);
      const uint32_t unicode = CodePointOf(code);
      if (unicode == 0 || (unicode >= 0xE000 && unicode <= 0xF8FF))
        characters.emplace_back();
      else
        characters.push_back(TableCharacter{code, unicode});
    }
  }
  return characters;
}

uint32_t KeyOf(const FontFace& face, uint16_t code, uint32_t unicode) {
  return face.Map() == FontFace::CharacterMap::kGb2312 ? code - 0x8080u : unicode;
}

MadeSet MakeSet(FontFace& face, int size, std::optional<int> baseline, const std::string& font_name) {
  const std::vector<std::optional<TableCharacter>> characters = TableCharacters();
  MadeSet made;
  FontSet& set = made.set;
  set.size = size;
  set.font = font_name;
  if (baseline)
    set.baseline = *baseline;
  else if (face.DrawsStrike() && face.Ascent() + face.Descent() == size)
    set.baseline = face.Ascent();
  else
    set.baseline = BaselineFromHanzi(face, size, characters);

  Reports reports;
  const std::string blank(RecordBytes(set.FullShape(), GlyphLayout::kRowMsb), '\0');
  for (const std::optional<TableCharacter>& character : characters) {
    if (character) {
      char code[8];
      std::snprintf(code, sizeof code, "%04X ", character->code);
      made.table += code;
      made.table += {static_cast<char>(character->code >> 8), static_cast<char>(character->code & 0xFF)};
      const Placed placed =
          Place(face, character->code, character->unicode, {size, size}, set.baseline, reports, made.font);
      const auto slot = static_cast<uint16_t>(made.font.size() / blank.size() - 1);
      if (placed.blank) set.blank.push_back(slot);
      if (placed.narrow) set.narrow.push_back(slot);
    } else {
      made.font += blank;
    }
    made.table += "\r\n";
  }
  const std::optional<std::string> no_half_width = NoHalfWidth(face, HalfWidthOf(size));
  std::string what = "no half-width glyphs (" + no_half_width.value_or("") + ")";
  if (!no_half_width) {
    set.half_width = HalfWidthOf(size);
    for (unsigned c = kFirstHalfWidth; c <= kLastHalfWidth; ++c)
      if (Place(face, static_cast<uint16_t>(c), c, {set.half_width, size}, set.baseline, reports, made.half_width)
              .blank)
        set.blank_half_width.push_back(static_cast<uint16_t>(c));
    what = "half-width glyphs " + std::to_string(set.half_width) + " x " + std::to_string(size);
  }
  set.placeholder = true;
  if (face.Map() == FontFace::CharacterMap::kUnicode && face.Draw(kReplacementCharacter)) {
    Place(face, 0, kReplacementCharacter, {size, size}, set.baseline, reports, made.placeholder);
    what += ", the placeholder its U+FFFD";
  } else {
    made.placeholder = BoxRecord(size);
    what += ", the placeholder a box";
  }
  made.reports = reports.count();
  WriteText(stderr, "pixtrel-mkfont: " + font_name + ": " + std::to_string(made.reports) +
                        " reports, baseline on row " + std::to_string(set.baseline) + ", " + what + "\n");
  return made;
}

void WriteSet(const MadeSet& made, const std::string& dir) {
  std::list<AtomicGlyphFile> files;
  auto write = [&](const char* name, const std::string& bytes) {
    files.emplace_back(RealDisk(), JoinPath(dir, name)).WriteWhole(bytes);
  };
  write(kFontFileName, made.font);
  write(kTableFileName, made.table);
  if (made.set.half_width != 0) write(kHalfWidthFileName, made.half_width);
  if (made.set.placeholder) write(kPlaceholderFileName, made.placeholder);
  write(kDescriptionFileName, made.set.Description());
  for (AtomicGlyphFile& file : files) file.Install();
  const std::string half_width = JoinPath(dir, kHalfWidthFileName);
  if (made.set.half_width == 0 && AtomicGlyphFile(RealDisk(), half_width).RemoveOld())
    WriteText(stderr, "pixtrel-mkfont: " + half_width + ": removed, since this set has no half-width glyphs\n");
}

}  // namespace pixtrel
