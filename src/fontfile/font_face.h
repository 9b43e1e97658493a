#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fontfile/glyph_cell.h"
#include "platform/font_catalog.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace pixtrel {

struct Freetype;

/// The bytes of a font file: mapped into memory where the system can (FreeType
/// then touches only the tables and glyphs it needs), read otherwise, and
/// unpacked first when the name ends in ".gz".
class FontFileBytes {
 public:
  /// Maps or reads `path`. Throws Failure naming it.
  explicit FontFileBytes(const std::string& path);

  const uint8_t* data() const {
    return mapped_ ? mapped_->file->data() : reinterpret_cast<const uint8_t*>(read_.data());
  }
  size_t size() const { return mapped_ ? mapped_->size : read_.size(); }

 private:
  std::optional<MappedFont> mapped_;
  std::string read_;
};

/// A font file's bytes, shared by the faces opened on them.
using SharedFontBytes = std::shared_ptr<const FontFileBytes>;

/// The smallest and the largest size outlines are drawn at, in pixels.
inline constexpr int kSmallestOutlines = 8, kLargestOutlines = 128;

/// How a face is hinted when its outlines are drawn: by its own hinter, by
/// FreeType's auto-hinter, not at all, or lightly (vertically only, as
/// FreeType's light target does).
enum class Hinting { kNative, kAuto, kNone, kLight };

/// One face of a font file (BDF, PCF, TTF, OTF, WOFF or a TTC collection;
/// a ".gz" file is unpacked first), read by FreeType, drawn one bit a pixel
/// or deeper.
class FontFace {
 public:
  /// How the face finds characters.
  enum class CharacterMap {
    kUnicode,  ///< By Unicode code point.
    kGb2312,   ///< By GB2312 code (a bitmap font of charset GB2312): CP936's less 0x8080.
    kNone,     ///< It cannot.
  };

  /// The bytes of the font file `path`. Throws Failure naming it.
  static SharedFontBytes Read(const std::string& path);

  /// Opens face `index` of the font file `path`, whose bytes are `data`.
  /// Throws Failure naming the path: not a font, no such face.
  FontFace(const std::string& path, SharedFontBytes data, int index);

  /// Reads `path` and opens its face `index`; throws as Read and the above.
  FontFace(const std::string& path, int index) : FontFace(path, Read(path), index) {}

  /// The index of the face of `path`, whose bytes are `data`, that `face`
  /// names: a number, or its family name with or without its style (case
  /// ignored). Throws Failure naming the path and the faces it has.
  static int FaceIndex(const std::string& path, const SharedFontBytes& data, const std::string& face);

  /// The faces of the font whose bytes are the `size` at `data`, with the
  /// scripts each holds, as the catalogue of installed fonts tells them
  /// (`path` and `index` filled in); none when FreeType reads no font there.
  static std::vector<CatalogFace> Faces(const std::string& path, const uint8_t* data, size_t size);

  /// How many faces the file holds.
  int FaceCount() const;
  /// The face's family and style.
  std::string Name() const;
  /// The pixel sizes of its bitmap strikes.
  std::vector<int> StrikeSizes() const;
  /// True when a strike is `size` pixels (its size, or its height: a BDF
  /// font's size comes from points and a resolution).
  bool HasStrike(int size) const;
  /// True when it has outlines, which can be drawn at any size.
  bool HasOutlines() const;
  CharacterMap Map() const { return map_; }

  /// Draws from the strike of `size` pixels, which HasStrike must find.
  void UseStrike(int size);
  /// Draws the outlines at `size` pixels, hinted as `hinting` says.
  void UseOutlines(int size, Hinting hinting);
  /// True when glyphs come from a strike.
  bool DrawsStrike() const { return strike_; }
  /// The strike's ascent and descent in pixels (descent positive).
  int Ascent() const;
  int Descent() const;

  /// A glyph drawn; `ink` stays valid until the next Draw.
  struct Drawn {
    InkBitmap ink;
    bool from_outline;  ///< Drawn from outlines though a strike was chosen.
  };

  /// The glyph of the character `code` (Unicode, or GB2312 as Map says),
  /// or none when the face lacks it.
  std::optional<Drawn> Draw(uint32_t code);

  /// A glyph drawn at some depth, its levels its own.
  struct Rendered {
    std::vector<uint8_t> levels;  ///< A byte a pixel, rows from the top: 0 to 2^bpp - 1.
    InkBitmap ink;                ///< Over `levels`, with the glyph's placement and hinted advance.
    int advance = 0;              ///< The unhinted advance, in 1/16 pixels.
  };

  /// The glyph of the Unicode character `code` at `bpp` bits a pixel (1,
  /// 2, 4 or 8): at 1, as FreeType renders monochrome; deeper, its coverage
  /// as FreeType renders it in 256 levels, rounded to the nearest of the
  /// depth's. A strike's glyphs are full or empty. None when the face lacks it.
  std::optional<Rendered> Render(uint32_t code, int bpp);

  /// Whether the face's glyph of the Unicode character `code` has ink: of
  /// outlines, contours; of a strike, an inked pixel. None when the face
  /// lacks the character. Cheaper than drawing it.
  std::optional<bool> HasInk(uint32_t code);

  /// True when the face has kerning pairs FreeType reads (a `kern` table).
  bool HasKerning() const;

  /// How much the pen moves on more (less, when negative) after `left` when
  /// `right` follows, in 1/16 pixels, unhinted.
  int Kerning(uint32_t left, uint32_t right) const;

 private:
  const Freetype* ft_;  ///< FreeType's functions.
  std::string path_;
  SharedFontBytes data_;  ///< The file's bytes, which FreeType reads in place.
  struct Done {
    void operator()(FT_LibraryRec_* library) const;
    void operator()(FT_FaceRec_* face) const;
  };
  std::unique_ptr<FT_LibraryRec_, Done> library_;  ///< Declared first: it goes last.
  std::unique_ptr<FT_FaceRec_, Done> face_;
  CharacterMap map_ = CharacterMap::kNone;
  bool strike_ = false;
  int load_flags_ = 0;
  Hinting hinting_ = Hinting::kNative;
};

}  // namespace pixtrel
