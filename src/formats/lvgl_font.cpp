#include "formats/lvgl_font.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <thread>

namespace pixtrel {

namespace {

/// A run of consecutive code points this long or longer gets a character
/// map of its own (format 0, no list); shorter ones go into sparse maps,
/// two bytes a character.
constexpr size_t kRunOfItsOwn = 16;

/// The maps of the sorted `code_points`: runs of kRunOfItsOwn or more in
/// maps of their own, the rest in sparse maps each spanning less than 65536.
std::vector<LvglCharacterMap> CharacterMaps(const std::vector<uint32_t>& code_points) {
  std::vector<LvglCharacterMap> maps;
  for (size_t i = 0; i < code_points.size();) {
    size_t run = 1;
    while (i + run < code_points.size() && code_points[i + run] == code_points[i] + run) ++run;
    if (run >= kRunOfItsOwn) {
      maps.push_back({code_points[i], static_cast<uint32_t>(run), i, {}});
      i += run;
      continue;
    }
    if (maps.empty() || maps.back().sparse.empty() || code_points[i] - maps.back().start >= 0xFFFF)
      maps.push_back({code_points[i], 0, i, {}});
    LvglCharacterMap& map = maps.back();
    for (size_t k = 0; k < run; ++k) map.sparse.push_back(code_points[i + k] - map.start);
    map.length = map.sparse.back() + 1;
    i += run;
  }
  return maps;
}

BitWriter PlainBitmap(const FontGlyph& glyph, int bpp) {
  BitWriter out(BitOrder::kMostSignificantFirst);
  for (uint8_t level : glyph.levels) out.Add(level, bpp);
  return out;
}

/// The glyphs' bitmaps, made by `bitmap_of`, into `font`.
template <class BitmapOf>
void PutBitmaps(const std::vector<FontGlyph>& glyphs, BitmapOf bitmap_of, LvglFont& font) {
  font.bitmaps.clear();
  font.glyphs.clear();
  for (const FontGlyph& glyph : glyphs) {
    BitWriter bitmap = glyph.levels.empty() ? BitWriter(BitOrder::kMostSignificantFirst) : bitmap_of(glyph);
    font.glyphs.push_back({static_cast<uint32_t>(font.bitmaps.size()), static_cast<uint32_t>(bitmap.bytes().size()),
                           static_cast<uint32_t>(bitmap.bits()), glyph.advance, glyph.box_w, glyph.box_h, glyph.box_x,
                           glyph.box_y});
    const std::vector<uint8_t>& bitmap_bytes = bitmap.bytes();
    font.bitmaps.insert(font.bitmaps.end(), bitmap_bytes.begin(), bitmap_bytes.end());
  }
}

}  // namespace

BitWriter CompressedBitmap(const FontGlyph& glyph, int bpp, bool prefilter) {
  std::vector<uint8_t> pixels = glyph.levels;
  if (prefilter)
    for (size_t i = pixels.size(); i-- > static_cast<size_t>(glyph.box_w);)
      pixels[i] = static_cast<uint8_t>(pixels[i] ^ pixels[i - static_cast<size_t>(glyph.box_w)]);
  // Written so that LVGL's decoder reads the pixels back: a value; after two
  // alike, a bit a pixel (1 the same again, 0 then a new value); after ten
  // such ones, a 6-bit count of the same to come, then a new value.
  BitWriter out(BitOrder::kMostSignificantFirst);
  const size_t n = pixels.size();
  size_t i = 0;
  uint8_t previous = 0;
  bool repeating = false;
  while (i < n) {
    if (!repeating) {
      out.Add(pixels[i], bpp);
      repeating = i > 0 && pixels[i] == previous;
      previous = pixels[i++];
      continue;
    }
    int ones = 0;
    while (i < n && pixels[i] == previous && ones < 10) out.Add(1, 1), ++i, ++ones;
    if (i == n) break;
    if (ones == 10 && pixels[i] == previous) {
      out.Add(1, 1), ++i;  // The eleventh: a count follows.
      size_t same = 0;
      while (i + same < n && pixels[i + same] == previous && same < 62) ++same;
      out.Add(static_cast<unsigned>(same + 1), 6);
      i += same;
      if (i == n) break;
    } else {
      out.Add(0, 1);
    }
    out.Add(pixels[i], bpp);
    previous = pixels[i++];
    repeating = false;
  }
  return out;
}

LvglFont LvglFontOf(const FormatRequest& request, const std::vector<FontGlyph>& glyphs) {
  return MakeLvglFont(glyphs, request.glyphs->Metrics().bpp, request.compress,
                      request.kerning ? request.glyphs->Kerning(CodePointsOf(glyphs)) : std::vector<KerningPair>());
}

std::vector<uint32_t> CodePointsOf(const std::vector<FontGlyph>& glyphs) {
  std::vector<uint32_t> code_points;
  for (const FontGlyph& glyph : glyphs) code_points.push_back(glyph.code_point);
  return code_points;
}

LvglFont MakeLvglFont(const std::vector<FontGlyph>& glyphs, int bpp, bool compress,
                      const std::vector<KerningPair>& kerning) {
  LvglFont font;
  font.bpp = bpp;
  font.code_points = CodePointsOf(glyphs);
  font.maps = CharacterMaps(font.code_points);
  if (compress) {
    // Both ways at once, the smaller kept.
    LvglFont unfiltered;
    std::thread other([&] {
      PutBitmaps(
          glyphs, [&](const FontGlyph& glyph) { return CompressedBitmap(glyph, bpp, false); }, unfiltered);
    });
    PutBitmaps(
        glyphs, [&](const FontGlyph& glyph) { return CompressedBitmap(glyph, bpp, true); }, font);
    other.join();
    font.bitmap_format = LvglBitmaps::kCompressed;
    if (unfiltered.bitmaps.size() <= font.bitmaps.size()) {
      font.bitmaps = std::move(unfiltered.bitmaps), font.glyphs = std::move(unfiltered.glyphs);
      font.bitmap_format = LvglBitmaps::kCompressedNoPrefilter;
    }
    font.bitmaps.push_back(0);  // LVGL's decoder reads a byte ahead of the last bit it takes.
  } else {
    PutBitmaps(
        glyphs, [&](const FontGlyph& glyph) { return PlainBitmap(glyph, bpp); }, font);
  }
  LvglKerning kerned = MakeLvglKerning(font.code_points, kerning);
  font.kerning = std::move(kerned.pairs);
  font.kern_scale = kerned.kern_scale;
  return font;
}

LvglKerning MakeLvglKerning(const std::vector<uint32_t>& code_points, const std::vector<KerningPair>& kerning) {
  LvglKerning kerned;
  int largest = 0;
  for (const KerningPair& pair : kerning) largest = std::max(largest, std::abs(pair.adjust));
  kerned.kern_scale = std::max(16, (largest * 16 + 126) / 127);
  std::map<uint32_t, uint32_t> id_of;
  for (size_t k = 0; k < code_points.size(); ++k) id_of[code_points[k]] = static_cast<uint32_t>(k + 1);
  for (const KerningPair& pair : kerning) {
    const int value =
        (pair.adjust * 16 + (pair.adjust >= 0 ? kerned.kern_scale / 2 : -kerned.kern_scale / 2)) / kerned.kern_scale;
    if (value != 0) kerned.pairs.push_back({id_of.at(pair.left), id_of.at(pair.right), static_cast<int8_t>(value)});
  }
  std::sort(kerned.pairs.begin(), kerned.pairs.end(), [](const LvglFont::Pair& a, const LvglFont::Pair& b) {
    return std::pair(a.left, a.right) < std::pair(b.left, b.right);
  });
  return kerned;
}

namespace {

/// LVGL's layout of a line: lv_font_fmt_txt's advances and kerning.
class LvglLayout : public LineLayout {
 public:
  LvglLayout(const FormatRequest& request, const std::vector<FontGlyph>& glyphs)
      : index_(*request.glyphs, glyphs),
        kerning_(MakeLvglKerning(CodePointsOf(glyphs), request.kerning ? request.glyphs->Kerning(CodePointsOf(glyphs))
                                                                       : std::vector<KerningPair>())),
        glyphs_(glyphs) {}

  LaidOutLine Lay(const std::vector<WrittenGlyph>& written) override {
    LaidOutLine line;
    std::vector<const FontGlyph*> inks;
    for (const WrittenGlyph& glyph : written)
      if (const FontGlyph* ink = index_.Find(glyph)) inks.push_back(ink), line.glyphs.push_back({ink, 0, 0, glyph});
    for (size_t i = 0; i < inks.size(); ++i) {
      PlacedGlyph& placed = line.glyphs[i];
      placed.x = static_cast<int>(line.width) + inks[i]->box_x;
      placed.top = index_.TopOf(*inks[i]);
      line.width += Advance(*inks[i], i + 1 < inks.size() ? inks[i + 1] : nullptr);
    }
    return line;
  }

  int LineHeight() const override { return index_.glyphs().Metrics().line_height; }

 private:
  /// lv_font_get_glyph_width of `ink` before `next` (none at the line's end).
  int Advance(const FontGlyph& ink, const FontGlyph* next) const {
    int value = 0;
    if (next != nullptr) {
      const LvglFont::Pair key{IdOf(ink), IdOf(*next), 0};
      const auto found = std::lower_bound(kerning_.pairs.begin(), kerning_.pairs.end(), key,
                                          [](const LvglFont::Pair& a, const LvglFont::Pair& b) {
                                            return std::pair(a.left, a.right) < std::pair(b.left, b.right);
                                          });
      if (found != kerning_.pairs.end() && found->left == key.left && found->right == key.right) value = found->value;
    }
    const int kerned = value * kerning_.kern_scale;
    // LVGL shifts the scaled value right by 4 bits, which rounds toward minus infinity.
    const int kv = kerned >= 0 ? kerned / 16 : -((-kerned + 15) / 16);
    return (std::max(0, ink.advance + kv) + 8) >> 4;
  }

  uint32_t IdOf(const FontGlyph& ink) const { return static_cast<uint32_t>(&ink - glyphs_.data()) + 1; }

  FontGlyphIndex index_;
  LvglKerning kerning_;
  const std::vector<FontGlyph>& glyphs_;
};

}  // namespace

std::unique_ptr<LineLayout> MakeLvglLayout(const FormatRequest& request, const std::vector<FontGlyph>& glyphs) {
  return std::make_unique<LvglLayout>(request, glyphs);
}

}  // namespace pixtrel
