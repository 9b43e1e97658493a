#include "formats/font_format.h"

#include "formats/c_text.h"
#include "formats/glyph_format.h"
#include "version.h"

namespace pixtrel {

void FontCharacters::GlyphWritten(const WrittenGlyph& glyph, int64_t) {
  characters_.try_emplace(glyphs_.CharacterOf(glyph).code_point, glyph);
}

std::vector<FontGlyph> FontCharacters::Glyphs() const {
  std::vector<WrittenGlyph> written;
  for (const auto& [code_point, glyph] : characters_) written.push_back(glyph);
  return glyphs_.FontGlyphsOf(written);
}

int UnsignedBits(uint32_t value) {
  int bits = 0;
  while (bits < 32 && value >> bits != 0) ++bits;
  return bits;
}

int SignedBits(int value) { return UnsignedBits(static_cast<uint32_t>(value < 0 ? -(value + 1) : value)) + 1; }

FontFormat::FontFormat(const FormatRequest& request)
    : OneFileFormat(*request.disk, request.output), request_(request), characters_(*request.glyphs) {}

const std::vector<FontGlyph>& FontFormat::Glyphs() {
  if (!glyphs_) glyphs_ = characters_.Glyphs();
  return *glyphs_;
}

std::string FontFormat::Heading(const char* library, size_t characters, const std::string& details,
                                const std::string& use) const {
  const SourceMetrics& metrics = request_.glyphs->Metrics();
  const std::string size = std::to_string(metrics.cell.height) + " pixels (lines " +
                           std::to_string(metrics.line_height) + " pixels apart)" +
                           (details.empty() ? "" : ", " + details);
  return std::string("/* A font for ") + library + " of the " + std::to_string(characters) + " characters of " +
         InComment(request_.source) + ", " + size + ", cut by pixtrel-extract " PIXTREL_VERSION_TEXT " from " +
         InComment(metrics.font) + ".\n * In the firmware: " + use + ". */\n\n";
}

}  // namespace pixtrel
