#include "formats/u8g2_format.h"

#include <algorithm>
#include <limits>

#include "formats/bit_writer.h"
#include "formats/c_text.h"
#include "formats/font_format.h"
#include "platform/failure.h"

namespace pixtrel {

namespace {

// The font format, as u8g2's u8g2_font.c reads it and its bdfconv writes it.
constexpr size_t kHeaderSize = 23;
constexpr size_t kGlyphsPerLookupEntry = 101;  ///< Unicode glyphs between two entries of the lookup table.
constexpr size_t kLargestGlyph = 254;          ///< A glyph's bytes, its encoding and size included.

/// The sizes of the fields of every glyph's head.
struct FieldBits {
  int width = 0, height = 0, x = 0, y = 0, advance = 0, zeros = 2, ones = 2;
};

using Runs = std::vector<std::pair<unsigned, unsigned>>;

/// A glyph as u8g2 places it: its box from the pen, x to the right, y up
/// from the baseline to the box's bottom; and the runs of its pixels.
struct PlacedGlyph {
  const FontGlyph* glyph;
  int x, y;
  Runs runs;
};

/// The runs of the glyph's pixels, rows from the top: pairs of a run of
/// background and a run of ink, as u8g2 decodes them.
Runs RunsOf(const FontGlyph& glyph) {
  std::vector<unsigned> lengths{0};
  bool inked = false;
  for (const bool pixel : glyph.levels) {
    if (pixel != inked) lengths.push_back(0), inked = pixel;
    ++lengths.back();
  }
  if (lengths.size() % 2 == 1) lengths.push_back(0);
  Runs runs;
  for (size_t i = 0; i < lengths.size(); i += 2) runs.emplace_back(lengths[i], lengths[i + 1]);
  return runs;
}

/// Writes the head and the run-length coded bitmap of a glyph to `out`.
template <class Out>
void EncodeBitmap(const PlacedGlyph& placed, const FieldBits& bits, Out& out) {
  const FontGlyph& glyph = *placed.glyph;
  out.Add(static_cast<unsigned>(glyph.box_w), bits.width);
  out.Add(static_cast<unsigned>(glyph.box_h), bits.height);
  out.Add(static_cast<unsigned>(placed.x + (1 << (bits.x - 1))), bits.x);
  out.Add(static_cast<unsigned>(placed.y + (1 << (bits.y - 1))), bits.y);
  out.Add(static_cast<unsigned>(glyph.advance_px + (1 << (bits.advance - 1))), bits.advance);
  const unsigned most_zeros = (1u << bits.zeros) - 1, most_ones = (1u << bits.ones) - 1;
  bool first = true;
  std::pair<unsigned, unsigned> last;
  auto pair = [&](unsigned zeros, unsigned ones) {  // A pair, or a bit that repeats the last.
    if (!first && last == std::pair(zeros, ones)) return out.Add(1, 1);
    if (!first) out.Add(0, 1);
    out.Add(zeros, bits.zeros);
    out.Add(ones, bits.ones);
    first = false;
    last = {zeros, ones};
  };
  for (auto [zeros, ones] : placed.runs) {
    for (; zeros > most_zeros; zeros -= most_zeros) pair(most_zeros, 0);
    for (; ones > most_ones; ones -= most_ones, zeros = 0) pair(zeros, most_ones);
    if (zeros != 0 || ones != 0) pair(zeros, ones);
  }
  out.Add(0, 1);  // The end of the bitmap.
}

/// The bytes of a glyph's encoding: one below 0x100, two above, high first.
size_t EncodingBytes(const PlacedGlyph& placed) { return placed.glyph->code_point > 0xFF ? 2 : 1; }

/// The bytes of a glyph: its encoding, its size, then its head and its
/// run-length coded bitmap.
std::vector<uint8_t> Encode(const PlacedGlyph& placed, const FieldBits& bits) {
  const FontGlyph& glyph = *placed.glyph;
  BitWriter out(BitOrder::kLeastSignificantFirst);
  EncodeBitmap(placed, bits, out);
  std::vector<uint8_t> bytes;
  if (glyph.code_point > 0xFF) bytes.push_back(static_cast<uint8_t>(glyph.code_point >> 8));
  bytes.push_back(static_cast<uint8_t>(glyph.code_point & 0xFF));
  bytes.push_back(static_cast<uint8_t>(bytes.size() + 1 + out.bytes().size()));
  bytes.insert(bytes.end(), out.bytes().begin(), out.bytes().end());
  return bytes;
}

/// u8g2's layout of a line: each glyph's advance in whole pixels, its box
/// at its offsets from the pen on the baseline; a line as wide as
/// u8g2_GetUTF8Width says, to the right edge of its last glyph's ink.
class U8g2Layout : public LineLayout {
 public:
  U8g2Layout(const GlyphSource& source, const std::vector<FontGlyph>& glyphs) : index_(source, glyphs) {}

  LaidOutLine Lay(const std::vector<WrittenGlyph>& written) override {
    LaidOutLine line;
    const FontGlyph* last = nullptr;
    for (const WrittenGlyph& glyph : written) {
      const FontGlyph* ink = index_.Find(glyph);
      if (ink == nullptr || ink->code_point > 0xFFFF) continue;  // u8g2 draws the Basic Multilingual Plane only.
      line.glyphs.push_back({ink, static_cast<int>(line.width) + ink->box_x, index_.TopOf(*ink), glyph});
      line.width += ink->advance_px;
      last = ink;
    }
    if (last != nullptr && last->box_w != 0) line.width += last->box_x + last->box_w - last->advance_px;
    return line;
  }

  int LineHeight() const override { return index_.glyphs().Metrics().line_height; }

 private:
  FontGlyphIndex index_;
};

class U8g2Format : public FontFormat {
 public:
  using FontFormat::FontFormat;

 private:
  std::unique_ptr<LineLayout> LayoutOf(const std::vector<FontGlyph>& glyphs) const override {
    return std::make_unique<U8g2Layout>(*request().glyphs, glyphs);
  }

  std::string Text(const std::vector<FontGlyph>& glyphs) const override {
    const std::vector<uint8_t> font = Font(glyphs);
    const FormatRequest& request = this->request();
    std::string text =
        Heading("u8g2", glyphs.size(), "",
                "u8g2_SetFont(&u8g2, " + request.name + "), then u8g2_DrawUTF8(&u8g2, x, y, text), y the baseline; " +
                    "with U8g2_for_Adafruit_GFX, u8g2Fonts.setFont(" + request.name + "), then drawUTF8(x, y, text)") +
        "#include \"" + request.include.value_or("u8g2.h") + "\"\n\n";
    text += "const uint8_t " + request.name + "[" + std::to_string(font.size()) + "] U8G2_FONT_SECTION(\"" +
            request.name + "\") = {";
    for (size_t i = 0; i < font.size(); ++i) text += (i % 20 == 0 ? "\n    " : " ") + Printed("%u,", font[i]);
    return text + "\n};\n";
  }

  std::vector<uint8_t> Font(const std::vector<FontGlyph>& glyphs) const {
    const int baseline = request().glyphs->Metrics().ascent, size = request().glyphs->Metrics().line_height;
    std::vector<PlacedGlyph> placed;
    FieldBits bits;
    int left = 0, right = 0, bottom = 0, top = 0;  // The box all glyphs fit in, from the pen on the baseline.
    for (const FontGlyph& glyph : glyphs) {
      if (glyph.code_point > 0xFFFF) continue;  // u8g2 draws the Basic Multilingual Plane only.
      const PlacedGlyph at{&glyph, glyph.box_x, glyph.box_h == 0 ? 0 : glyph.box_y, RunsOf(glyph)};
      if (placed.empty()) left = at.x, right = at.x + glyph.box_w, bottom = at.y, top = at.y + glyph.box_h;
      left = std::min(left, at.x), right = std::max(right, at.x + glyph.box_w);
      bottom = std::min(bottom, at.y), top = std::max(top, at.y + glyph.box_h);
      bits.width = std::max(bits.width, UnsignedBits(static_cast<unsigned>(glyph.box_w)));
      bits.height = std::max(bits.height, UnsignedBits(static_cast<unsigned>(glyph.box_h)));
      bits.x = std::max(bits.x, SignedBits(at.x));
      bits.y = std::max(bits.y, SignedBits(at.y));
      bits.advance = std::max(bits.advance, SignedBits(glyph.advance_px));
      placed.push_back(at);
    }
    // The run lengths' fields that make the font smallest, as bdfconv chooses them.
    size_t smallest = std::numeric_limits<size_t>::max();
    FieldBits best = bits;
    for (bits.zeros = 2; bits.zeros < 9; ++bits.zeros) {
      for (bits.ones = 2; bits.ones < 7; ++bits.ones) {
        size_t total = 0;
        for (const PlacedGlyph& glyph : placed) {
          BitCounter counter;
          EncodeBitmap(glyph, bits, counter);
          total += EncodingBytes(glyph) + 1 + counter.bytes();
        }
        if (total < smallest) smallest = total, best = bits;
      }
    }
    std::vector<uint8_t> font = {static_cast<uint8_t>(placed.size()),
                                 0,  // Proportional: boxes of their own.
                                 static_cast<uint8_t>(best.zeros),
                                 static_cast<uint8_t>(best.ones),
                                 static_cast<uint8_t>(best.width),
                                 static_cast<uint8_t>(best.height),
                                 static_cast<uint8_t>(best.x),
                                 static_cast<uint8_t>(best.y),
                                 static_cast<uint8_t>(best.advance),
                                 static_cast<uint8_t>(right - left),
                                 static_cast<uint8_t>(top - bottom),
                                 static_cast<uint8_t>(left),
                                 static_cast<uint8_t>(bottom),
                                 static_cast<uint8_t>(baseline),
                                 static_cast<uint8_t>(baseline - size),
                                 static_cast<uint8_t>(baseline),
                                 static_cast<uint8_t>(baseline - size),
                                 0,
                                 0,
                                 0,
                                 0,
                                 0,
                                 0};
    auto word_at = [&](size_t at, size_t value) {
      font[at] = static_cast<uint8_t>(value >> 8);
      font[at + 1] = static_cast<uint8_t>(value & 0xFF);
    };
    auto append = [&](const PlacedGlyph& glyph) {
      const std::vector<uint8_t> bytes = Encode(glyph, best);
      if (bytes.size() > kLargestGlyph)
        throw FileFailure(request().output, "A glyph of more than the 254 bytes u8g2's font format holds");
      if (glyph.glyph->code_point == 'A') word_at(17, font.size() - kHeaderSize);
      if (glyph.glyph->code_point == 'a') word_at(19, font.size() - kHeaderSize);
      font.insert(font.end(), bytes.begin(), bytes.end());
    };
    auto unicode =
        std::find_if(placed.begin(), placed.end(), [](const PlacedGlyph& g) { return g.glyph->code_point > 0xFF; });
    std::for_each(placed.begin(), unicode, append);
    font.insert(font.end(), {0, 0});  // The end of the glyphs below 0x100.
    word_at(21, font.size() - kHeaderSize);
    // The lookup table: for each block of glyphs, how far it is from the one before (the first from the table)
    // and the last encoding in it; the last entry's encoding is 0xFFFF, which ends every search.
    const size_t unicode_glyphs = static_cast<size_t>(placed.end() - unicode);
    const size_t entries = std::max<size_t>(1, unicode_glyphs / kGlyphsPerLookupEntry);
    const size_t table = font.size();
    font.resize(table + 4 * entries, 0);
    size_t block_start = font.size(), previous = table, in_block = 0, entry = 0;
    auto end_block = [&](uint32_t last) {
      word_at(table + 4 * entry, block_start - previous);
      word_at(table + 4 * entry + 2, entry + 1 == entries ? 0xFFFF : last);
      previous = block_start;
      block_start = font.size();
      ++entry;
    };
    for (auto glyph = unicode; glyph != placed.end(); ++glyph) {
      append(*glyph);
      if (++in_block == kGlyphsPerLookupEntry && entry < entries) {
        end_block(glyph->glyph->code_point);
        in_block = 0;
      }
    }
    if (entry < entries) end_block(0xFFFF);
    font.insert(font.end(), {0, 0});  // The end of the Unicode glyphs.
    return font;
  }
};

}  // namespace

std::unique_ptr<GlyphFormat> MakeU8g2Format(const FormatRequest& request) {
  return std::make_unique<U8g2Format>(request);
}

}  // namespace pixtrel
