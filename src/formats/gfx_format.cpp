#include "formats/gfx_format.h"

#include <algorithm>

#include "formats/bit_writer.h"
#include "formats/c_text.h"
#include "formats/font_format.h"
#include "platform/failure.h"

namespace pixtrel {

namespace {

/// The most bytes of bitmaps a GFXglyph's 16-bit offset reaches.
constexpr size_t kLargestBitmaps = 0xFFFF;

/// A glyph of an Adafruit GFX font.
struct GfxGlyph {
  size_t offset = 0;
  int width = 0, height = 0, advance = 0, x = 0, y = 0;
};

/// The yOffset of `glyph`: from the cursor's row to its box's top row, the
/// cursor's row that of the ink's bottom on the baseline (1 - top, as
/// Adafruit's fontconvert writes it).
int YOffsetOf(const FontGlyph& glyph) { return 1 - (glyph.box_y + glyph.box_h); }

/// How Adafruit GFX lays out a line (drawChar, getTextBounds): each glyph at
/// its offsets from the cursor, which its advance moves on; a line as wide
/// as its ink, from the leftmost pixel to the rightmost.
class GfxLayout : public LineLayout {
 public:
  GfxLayout(const GlyphSource& source, const std::vector<FontGlyph>& glyphs) : index_(source, glyphs) {}

  LaidOutLine Lay(const std::vector<WrittenGlyph>& written) override {
    LaidOutLine line;
    int pen = 0, left = 0, right = -1;
    const int cursor_row = index_.glyphs().Metrics().ascent - 1;
    for (const WrittenGlyph& glyph : written) {
      const FontGlyph* ink = index_.Find(glyph);
      if (ink == nullptr) continue;
      const int x = pen + ink->box_x;
      line.glyphs.push_back({ink, x, cursor_row + YOffsetOf(*ink), glyph});
      if (ink->box_w > 0) {
        if (right < left) left = x, right = x + ink->box_w - 1;
        left = std::min(left, x), right = std::max(right, x + ink->box_w - 1);
      }
      pen += ink->advance_px;
    }
    line.width = right >= left ? right - left + 1 : 0;
    return line;
  }

  int LineHeight() const override { return index_.glyphs().Metrics().line_height; }

 private:
  FontGlyphIndex index_;
};

class GfxFormat : public FontFormat {
 public:
  using FontFormat::FontFormat;

 private:
  std::unique_ptr<LineLayout> LayoutOf(const std::vector<FontGlyph>& glyphs) const override {
    return std::make_unique<GfxLayout>(*request().glyphs, glyphs);
  }

  std::string Text(const std::vector<FontGlyph>& glyphs) const override {
    const std::string& ident = request().name;
    std::vector<uint8_t> bitmaps;
    std::vector<std::pair<uint32_t, GfxGlyph>> table;  // A code point each, from the first to the last.
    for (const FontGlyph& glyph : glyphs) {
      while (!table.empty() && table.back().first + 1 < glyph.code_point)
        table.emplace_back(table.back().first + 1, GfxGlyph{bitmaps.size()});
      BitWriter bits(BitOrder::kMostSignificantFirst);
      for (uint8_t level : glyph.levels) bits.Add(level != 0 ? 1 : 0, 1);
      table.emplace_back(glyph.code_point, GfxGlyph{bitmaps.size(), glyph.box_w, glyph.box_h, glyph.advance_px,
                                                    glyph.box_x, YOffsetOf(glyph)});
      bitmaps.insert(bitmaps.end(), bits.bytes().begin(), bits.bytes().end());
    }
    if (bitmaps.size() > kLargestBitmaps)
      throw FileFailure(request().output, "Bitmaps of " + std::to_string(bitmaps.size()) +
                                              " bytes, more than the 65535 a GFXglyph's offset reaches");
    std::string text = Heading("Adafruit GFX", glyphs.size(), "1 bit a pixel",
                               "display.setFont(&" + ident + "), after #include <Adafruit_GFX.h>") +
                       Printed("const uint8_t %sBitmaps[] PROGMEM = {\n", ident.c_str());
    if (bitmaps.empty()) bitmaps.push_back(0);  // C has no empty array.
    AppendBytes(bitmaps, text);
    text += "};\n\n" + Printed("const GFXglyph %sGlyphs[] PROGMEM = {\n", ident.c_str());
    for (const auto& [code_point, glyph] : table)
      text += Printed("    {%zu, %d, %d, %d, %d, %d}, /* 0x%02X */\n", glyph.offset, glyph.width, glyph.height,
                      glyph.advance, glyph.x, glyph.y, static_cast<unsigned>(code_point));
    const uint32_t first = table.empty() ? 0x20 : table.front().first, last = table.empty() ? 0x20 : table.back().first;
    return text + "};\n\n" +
           Printed("const GFXfont %s PROGMEM = {(uint8_t *)%sBitmaps, (GFXglyph *)%sGlyphs, 0x%02X, 0x%02X, %d};\n",
                   ident.c_str(), ident.c_str(), ident.c_str(), static_cast<unsigned>(first),
                   static_cast<unsigned>(last), request().glyphs->Metrics().line_height);
  }
};

}  // namespace

std::unique_ptr<GlyphFormat> MakeGfxFormat(const FormatRequest& request) {
  return std::make_unique<GfxFormat>(request);
}

}  // namespace pixtrel
