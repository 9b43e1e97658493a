#include "formats/lvgl_bin_format.h"

#include <algorithm>
#include <string>

#include "formats/font_format.h"
#include "formats/lvgl_font.h"
#include "platform/failure.h"

namespace pixtrel {

namespace {

/// Little-endian fields, then tables of them.
class Bytes {
 public:
  void U8(unsigned value) { text_ += static_cast<char>(value & 0xFF); }
  void U16(unsigned value) { U8(value), U8(value >> 8); }
  void U32(uint32_t value) { U16(value & 0xFFFF), U16(value >> 16); }
  void Append(const std::string& bytes) { text_ += bytes; }
  void Pad() {
    while (text_.size() % 4 != 0) U8(0);
  }
  size_t size() const { return text_.size(); }
  const std::string& text() const { return text_; }

  void Reserve(size_t size) { text_.reserve(size); }

  /// Appends a table: its length (with these 8 bytes), its name, then
  /// `body`, padded to 4 bytes.
  void AppendTable(const char* name, Bytes& body) {
    body.Pad();
    U32(static_cast<uint32_t>(body.size() + 8));
    text_.append(name, 4);
    text_ += body.text_;
  }

 private:
  std::string text_;
};

class LvglBinFormat : public FontFormat {
 public:
  using FontFormat::FontFormat;

 private:
  std::unique_ptr<LineLayout> LayoutOf(const std::vector<FontGlyph>& glyphs) const override {
    return MakeLvglLayout(request(), glyphs);
  }

  std::string Text(const std::vector<FontGlyph>& glyphs) const override {
    const FormatRequest& request = this->request();
    const SourceMetrics& metrics = request.glyphs->Metrics();
    const LvglFont font = LvglFontOf(request, glyphs);
    if (font.glyphs.size() >= 0xFFFF) throw FileFailure(request.output, "More glyphs than LVGL's binary font numbers");
    // Advances in whole pixels when they all are, and none at all when they are all one.
    const bool whole_pixels = std::all_of(font.glyphs.begin(), font.glyphs.end(),
                                          [](const LvglGlyph& glyph) { return glyph.adv_w % 16 == 0; });
    const int advance_unit = whole_pixels ? 16 : 1;
    const bool one_advance =
        !font.glyphs.empty() && std::all_of(font.glyphs.begin(), font.glyphs.end(), [&](const LvglGlyph& glyph) {
          return glyph.adv_w == font.glyphs.front().adv_w;
        });
    int xy_bits = 1, wh_bits = 1, advance_bits = one_advance ? 0 : 1;
    int min_y = 0, max_y = 0;
    for (const LvglGlyph& glyph : font.glyphs) {
      xy_bits = std::max({xy_bits, SignedBits(glyph.ofs_x), SignedBits(glyph.ofs_y)});
      wh_bits = std::max({wh_bits, UnsignedBits(static_cast<uint32_t>(glyph.box_w)),
                          UnsignedBits(static_cast<uint32_t>(glyph.box_h))});
      if (!one_advance)
        advance_bits = std::max(advance_bits, UnsignedBits(static_cast<uint32_t>(glyph.adv_w / advance_unit)));
      if (glyph.box_h != 0) min_y = std::min(min_y, glyph.ofs_y), max_y = std::max(max_y, glyph.ofs_y + glyph.box_h);
    }
    // The glyphs, glyph 0 the reserved one.
    const FieldBits fields{xy_bits, wh_bits, advance_bits, advance_unit};
    std::vector<std::string> records{Record({0, 0, 0, 0, 0, 0, 0, 0}, font, fields)};
    for (const LvglGlyph& glyph : font.glyphs) records.push_back(Record(glyph, font, fields));
    if (font.bitmap_format != LvglBitmaps::kPlain) records.back() += '\0';  // LVGL's decoder reads a byte ahead.
    Bytes glyf, loca;
    size_t glyf_size = 0;
    for (const std::string& record : records) glyf_size += record.size();
    glyf.Reserve(glyf_size + 4);
    std::vector<uint32_t> offsets;
    for (const std::string& record : records)
      offsets.push_back(static_cast<uint32_t>(glyf.size() + 8)), glyf.Append(record);
    const bool long_offsets = glyf.size() + 8 > 0xFFFF;
    loca.U32(static_cast<uint32_t>(offsets.size()));
    for (uint32_t offset : offsets) long_offsets ? loca.U32(offset) : loca.U16(offset);
    const bool wide_ids = font.glyphs.size() + 1 > 0xFF;

    const int ascent = metrics.ascent, descent = metrics.ascent - metrics.line_height;
    Bytes head;
    head.U32(1);                             // version
    head.U16(font.kerning.empty() ? 3 : 4);  // tables_count, the head not counted: LVGL reads a kern table from 4 on
    head.U16(static_cast<unsigned>(metrics.cell.height));  // font_size
    head.U16(static_cast<unsigned>(ascent));
    head.U16(static_cast<unsigned>(descent));
    head.U16(static_cast<unsigned>(ascent));   // typo_ascent
    head.U16(static_cast<unsigned>(descent));  // typo_descent
    head.U16(0);                               // typo_line_gap
    head.U16(static_cast<unsigned>(min_y));
    head.U16(static_cast<unsigned>(max_y));
    head.U16(one_advance ? static_cast<unsigned>(font.glyphs.front().adv_w / advance_unit)
                         : 0);  // default_advance_width
    head.U16(static_cast<unsigned>(font.kerning.empty() ? 0 : font.kern_scale));
    head.U8(long_offsets ? 1 : 0);  // index_to_loc_format
    head.U8(wide_ids ? 1 : 0);      // glyph_id_format
    head.U8(whole_pixels ? 0 : 1);  // advance_width_format: whole pixels, or 1/16
    head.U8(static_cast<unsigned>(font.bpp));
    head.U8(static_cast<unsigned>(xy_bits));
    head.U8(static_cast<unsigned>(wh_bits));
    head.U8(static_cast<unsigned>(advance_bits));
    head.U8(static_cast<unsigned>(font.bitmap_format));  // compression_id
    head.U8(0);                                          // subpixels_mode
    head.U8(0);
    head.U16(0);  // underline_position
    head.U16(0);  // underline_thickness

    Bytes cmap = Cmaps(font), kern = Kerning(font, wide_ids), file;
    file.Reserve(head.size() + cmap.size() + loca.size() + glyf.size() + kern.size() + 64);
    file.AppendTable("head", head);
    file.AppendTable("cmap", cmap);
    file.AppendTable("loca", loca);
    file.AppendTable("glyf", glyf);
    if (!font.kerning.empty()) file.AppendTable("kern", kern);
    return file.text();
  }

  /// The sizes of a glyph's fields, and the unit of its advance in 1/16 pixels.
  struct FieldBits {
    int xy, wh, advance, advance_unit;
  };

  /// A glyph's record: its fields, then its bitmap's bits.
  static std::string Record(const LvglGlyph& glyph, const LvglFont& font, const FieldBits& fields) {
    const int xy_bits = fields.xy, wh_bits = fields.wh;
    BitWriter bits(BitOrder::kMostSignificantFirst);
    bits.Add(static_cast<uint32_t>(glyph.adv_w / fields.advance_unit), fields.advance);
    bits.Add(static_cast<uint32_t>(glyph.ofs_x) & ((1u << xy_bits) - 1), xy_bits);
    bits.Add(static_cast<uint32_t>(glyph.ofs_y) & ((1u << xy_bits) - 1), xy_bits);
    bits.Add(static_cast<uint32_t>(glyph.box_w), wh_bits);
    bits.Add(static_cast<uint32_t>(glyph.box_h), wh_bits);
    // The bitmap's bits follow the fields' at once: the loader reads them so.
    for (uint32_t bit = 0; bit < glyph.bitmap_bits; bit += 8) {
      const int taken = static_cast<int>(std::min<uint32_t>(8, glyph.bitmap_bits - bit));
      bits.Add(font.bitmaps[glyph.bitmap_index + bit / 8] >> (8 - taken), taken);
    }
    return std::string(bits.bytes().begin(), bits.bytes().end());
  }

  static Bytes Cmaps(const LvglFont& font) {
    Bytes cmap, data;
    cmap.U32(static_cast<uint32_t>(font.maps.size()));
    const size_t data_start = 12 + 16 * font.maps.size();  // From the table's start.
    for (const LvglCharacterMap& map : font.maps) {
      cmap.U32(static_cast<uint32_t>(data_start + data.size()));
      cmap.U32(map.start);
      cmap.U16(map.length);
      cmap.U16(static_cast<unsigned>(map.first + 1));
      cmap.U16(static_cast<unsigned>(map.sparse.size()));
      cmap.U8(map.sparse.empty() ? 2 : 3);  // LV_FONT_FMT_TXT_CMAP_FORMAT0_TINY, _SPARSE_TINY
      cmap.U8(0);
      for (uint32_t offset : map.sparse) data.U16(offset);
      data.Pad();
    }
    cmap.Append(data.text());
    return cmap;
  }

  static Bytes Kerning(const LvglFont& font, bool wide_ids) {
    Bytes kern;
    kern.U8(0);  // Sorted pairs.
    kern.U8(0), kern.U8(0), kern.U8(0);
    kern.U32(static_cast<uint32_t>(font.kerning.size()));
    for (const LvglFont::Pair& pair : font.kerning) {
      if (wide_ids)
        kern.U16(pair.left), kern.U16(pair.right);
      else
        kern.U8(pair.left), kern.U8(pair.right);
    }
    for (const LvglFont::Pair& pair : font.kerning) kern.U8(static_cast<uint8_t>(pair.value));
    return kern;
  }
};

}  // namespace

std::unique_ptr<GlyphFormat> MakeLvglBinFormat(const FormatRequest& request) {
  return std::make_unique<LvglBinFormat>(request);
}

}  // namespace pixtrel
