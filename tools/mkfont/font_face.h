#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "glyph_cell.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace pixtrel {

/// How a face is hinted when its outlines are drawn.
enum class Hinting { kNative, kAuto, kNone };

/// One face of a font file (BDF, PCF, TTF, OTF or TTC; a ".gz" file is
/// unpacked first), read by FreeType, drawn one bit a pixel.
class FontFace {
 public:
  /// How the face finds characters.
  enum class CharacterMap {
    kUnicode,  ///< By Unicode code point.
    kGb2312,   ///< By GB2312 code (a bitmap font of charset GB2312): CP936's less 0x8080.
    kNone,     ///< It cannot.
  };

  /// The bytes of the font file `path`, unpacked. Throws Failure naming it.
  static std::shared_ptr<const std::string> Read(const std::string& path);

  /// Opens face `index` of the font file `path`, whose bytes are `data`.
  /// Throws Failure naming the path: not a font, no such face.
  FontFace(const std::string& path, std::shared_ptr<const std::string> data, int index);

  /// Reads `path` and opens its face `index`; throws as Read and the above.
  FontFace(const std::string& path, int index) : FontFace(path, Read(path), index) {}

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

 private:
  std::string path_;
  std::shared_ptr<const std::string> data_;  ///< The file's bytes, which FreeType reads in place.
  struct Done {
    void operator()(FT_LibraryRec_* library) const;
    void operator()(FT_FaceRec_* face) const;
  };
  std::unique_ptr<FT_LibraryRec_, Done> library_;  ///< Declared first: it goes last.
  std::unique_ptr<FT_FaceRec_, Done> face_;
  CharacterMap map_ = CharacterMap::kNone;
  bool strike_ = false;
  int load_flags_ = 0;
};

}  // namespace pixtrel
