#include "formats/vlw_format.h"

#include <algorithm>

#include "formats/c_text.h"
#include "formats/font_format.h"
#include "glyphdata/output_path.h"

namespace pixtrel {

namespace {

/// The bytes of a smooth font, its numbers big-endian.
class VlwBytes {
 public:
  void Word(int64_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes_.push_back(static_cast<uint8_t>(value >> shift & 0xFF));
  }
  void Byte(uint8_t value) { bytes_.push_back(value); }
  /// `text` as Java's DataOutputStream.writeUTF writes it: its length in two bytes, then its bytes.
  void Utf(const std::string& text) {
    const size_t length = std::min<size_t>(text.size(), 0xFFFF);
    Byte(static_cast<uint8_t>(length >> 8)), Byte(static_cast<uint8_t>(length & 0xFF));
    bytes_.insert(bytes_.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length));
  }
  std::vector<uint8_t>& bytes() { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

/// How TFT_eSPI lays out a line of a smooth font (Smooth_font.cpp, textWidth):
/// a space by a width of its own, (ascent + descent) * 2 / 7, not by a glyph;
/// each glyph at its left offset from the pen, its top its height above the
/// baseline; a line as wide as the advances, the last glyph to the right edge
/// of its ink, one that starts left of the pen from there.
class VlwLayout : public LineLayout {
 public:
  VlwLayout(const GlyphSource& source, const std::vector<FontGlyph>& glyphs) : index_(source, glyphs) {
    const SourceMetrics& metrics = source.Metrics();
    ascent_ = metrics.ascent;
    const int descent = metrics.line_height - metrics.ascent;
    space_ = (ascent_ + descent) * 2 / 7;
    int lowest = descent;
    for (const FontGlyph& glyph : glyphs)
      if (glyph.code_point > 0x20 && glyph.code_point != 0x7F && (glyph.code_point < 0xA0 || glyph.code_point > 0xFF))
        lowest = std::max(lowest, -glyph.box_y);
    line_height_ = ascent_ + lowest;
  }

  LaidOutLine Lay(const std::vector<WrittenGlyph>& written) override {
    LaidOutLine line;
    int pen = 0;
    const FontGlyph* last = nullptr;
    for (const WrittenGlyph& glyph : written) {
      const FontGlyph* ink = index_.Find(glyph);
      if (ink == nullptr) continue;
      if (ink->code_point == 0x20) {
        pen += space_, last = nullptr;
        continue;
      }
      if (line.glyphs.empty() && pen == 0 && ink->box_x < 0) pen -= ink->box_x;
      line.glyphs.push_back({ink, pen + ink->box_x, ascent_ - ink->box_y - ink->box_h, glyph});
      pen += ink->advance_px;
      last = ink;
    }
    line.width = pen;
    if (last != nullptr) line.width += last->box_x + last->box_w - last->advance_px;
    return line;
  }

  int LineHeight() const override { return line_height_; }

 private:
  FontGlyphIndex index_;
  int ascent_, space_, line_height_;
};

class VlwFormat : public FontFormat {
 public:
  using FontFormat::FontFormat;

 private:
  std::unique_ptr<LineLayout> LayoutOf(const std::vector<FontGlyph>& glyphs) const override {
    return std::make_unique<VlwLayout>(*request().glyphs, glyphs);
  }

  std::string Text(const std::vector<FontGlyph>& glyphs) const override {
    const std::vector<uint8_t> font = Font(glyphs);
    if (!request().output.ends_with(".h")) return std::string(font.begin(), font.end());
    const std::string& ident = request().name;
    std::string text =
        Heading("TFT_eSPI and LovyanGFX (a smooth font)", glyphs.size(), "", "tft.loadFont(" + ident + ")") +
        "#include <stdint.h>\n\n#ifndef PROGMEM\n#define PROGMEM\n#endif\n\n" +
        Printed("const uint8_t %s[%zu] PROGMEM = {\n", ident.c_str(), font.size());
    AppendBytes(font, text);
    return text + "};\n";
  }

  std::vector<uint8_t> Font(const std::vector<FontGlyph>& glyphs) const {
    const SourceMetrics& metrics = request().glyphs->Metrics();
    const int most = (1 << metrics.bpp) - 1;
    VlwBytes out;
    out.Word(static_cast<int64_t>(glyphs.size()));
    out.Word(11);  // The version Processing writes.
    out.Word(metrics.cell.height);
    out.Word(0);
    out.Word(metrics.ascent);
    out.Word(metrics.line_height - metrics.ascent);
    for (const FontGlyph& glyph : glyphs) {
      out.Word(glyph.code_point);
      out.Word(glyph.box_h);
      out.Word(glyph.box_w);
      out.Word(glyph.advance_px);
      out.Word(glyph.box_y + glyph.box_h);  // The top, above the baseline.
      out.Word(glyph.box_x);
      out.Word(0);
    }
    for (const FontGlyph& glyph : glyphs)
      for (uint8_t level : glyph.levels) out.Byte(static_cast<uint8_t>((level * 255 + most / 2) / most));
    out.Utf(metrics.font);
    out.Utf(metrics.font);
    out.Byte(metrics.bpp > 1 ? 1 : 0);  // Smoothed.
    return std::move(out.bytes());
  }
};

}  // namespace

std::unique_ptr<GlyphFormat> MakeVlwFormat(const FormatRequest& request) {
  return std::make_unique<VlwFormat>(request);
}

}  // namespace pixtrel
