#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "glyphdata/glyph_layout.h"
#include "platform/platform.h"

namespace pixtrel {

/// Number of glyph slots of the font, indices 0 ... GlyphCount - 1.
inline constexpr size_t GlyphCount = 8178;

/// The name of the font file of a set: its full-width records, one a slot.
inline constexpr char kFontFileName[] = "GB2312.bin";
/// The name of the code table of a set.
inline constexpr char kTableFileName[] = "GB2312.tbl";
/// The name of the file of a set's half-width records, those of the
/// printable ASCII characters 0x20-0x7E in their order.
inline constexpr char kHalfWidthFileName[] = "half-width.bin";
/// The name of the file of a set's placeholder: one full-width record for
/// the characters that get none.
inline constexpr char kPlaceholderFileName[] = "placeholder.bin";
/// The name of the text file in which a set describes itself.
inline constexpr char kDescriptionFileName[] = "font-set.txt";

/// The smallest and the largest size of a font set, in pixels.
inline constexpr int kSmallestSet = 8, kLargestSet = 32;

/// The first and the last character that has a half-width record.
inline constexpr unsigned char kFirstHalfWidth = 0x20, kLastHalfWidth = 0x7E;

/// A set of glyph data in a directory of its own: the font file and the
/// code table, and where it has them the half-width records and the
/// placeholder, all of them in the font's own layout (row-msb). The set
/// says what it holds in its description file; a directory without one is a
/// 16-pixel set with neither half-width records nor a placeholder.
struct FontSet {
  int size = 16;       ///< A full-width record is size x size pixels.
  int half_width = 0;  ///< A half-width record is half_width x size pixels; 0 when the set has none.
  int baseline = 14;   ///< The rows above the baseline; unless said, two fewer than the size.
  bool placeholder = false;
  std::string font;  ///< The font it was made from.
  /// The slots whose glyphs are blank though their characters are no white
  /// space (the font lacks them, or draws them blank), ascending.
  std::vector<uint16_t> blank;
  /// The printable ASCII characters whose half-width glyphs are blank so, ascending.
  std::vector<uint16_t> blank_half_width;
  /// The slots whose glyphs the font draws narrow: advancing half the cell
  /// (HalfWidthOf(size)) or less, and so centred on the cell; ascending.
  std::vector<uint16_t> narrow;
  bool described = false;  ///< Read from a description file.

  /// The shape of the set's full-width records.
  RecordShape FullShape() const { return {size, size}; }
  /// The shape of its half-width records.
  RecordShape HalfShape() const { return {half_width, size}; }

  /// The set in `dir` on `disk`, as its description says. Throws Failure
  /// naming the description and its line when it cannot be read or says
  /// what cannot be.
  static FontSet Read(Disk& disk, const std::string& dir);

  /// Checks that the files of the set in `dir` on `disk` are of its size.
  /// Throws Failure naming the file, its length and the length expected,
  /// for a font file of another set's size or longer than this one's, or
  /// half-width records or a placeholder of another length. A short font
  /// file passes: it is the run's to warn of.
  void CheckFileSizes(Disk& disk, const std::string& dir) const;

  /// The text of the description file of the set.
  std::string Description() const;
};

/// True for a character that is drawn blank as it should be: white space.
bool IsWhiteSpace(uint32_t code_point);

/// The width of a half-width record of a set of `size` pixels: ceil(size / 2).
constexpr int HalfWidthOf(int size) { return (size + 1) / 2; }

/// The bytes of the font file of a set of `size` pixels.
size_t FontFileBytesOf(int size);

/// The names of the files a font set may hold in its directory, its
/// licence among them.
const std::vector<std::string>& DataFileNames();

/// Where Pixtrel's data files may lie: the programs' own directories where
/// the build knows Pixtrel is installed, and the directories that hold its
/// font sets, one a name of kShippedSetNames, in the tree of the program
/// directory `program_dir` (the build tree, or where it is installed) and
/// where it is installed. Those that do not exist are among them.
struct ShippedDataPlaces {
  std::vector<std::string> program_dirs;
  std::vector<std::string> set_roots;
};
ShippedDataPlaces ShippedDataDirectories(const std::string& program_dir);

/// The directory of the font set Pixtrel ships under `name` (one of
/// kShippedSetNames: "efont-12"), the first of ShippedDataDirectories' that
/// holds it on `disk`; none when it is no such name, or the set is nowhere.
std::optional<std::string> ShippedSetDirectory(Disk& disk, const std::string& program_dir, const std::string& name);

}  // namespace pixtrel
