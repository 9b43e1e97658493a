#include "cli/glyph_preview.h"

#include <algorithm>

#include "glyphdata/glyph_store.h"
#include "platform/failure.h"
#include "platform/platform.h"

namespace pixtrel {

namespace {

constexpr int kGlyphColumns = 16;
constexpr int kGlyphRows = 16;

size_t GlyphsPerBand(int columns) { return static_cast<size_t>(std::max(1, columns / kGlyphColumns)); }

/// The half block that shows an upper and a lower pixel.
const char* HalfBlock(bool upper, bool lower) {
  if (upper) return lower ? "\u2588" : "\u2580";
  return lower ? "\u2584" : " ";
}

}  // namespace

std::string DrawGlyphs(std::string_view records, int columns, RecordFormat format) {
  const size_t per_band = GlyphsPerBand(columns);
  std::string art;
  for (size_t band = 0; band < records.size(); band += per_band * GlyphSize) {
    std::string_view glyphs = records.substr(band, per_band * GlyphSize);
    for (int row = 0; row < kGlyphRows; row += 2) {
      for (size_t at = 0; at < glyphs.size(); at += GlyphSize) {
        const auto* record = reinterpret_cast<const uint8_t*>(glyphs.data() + at);
        for (int column = 0; column < kGlyphColumns; ++column)
          art += HalfBlock(Inked(record, format, column, row), Inked(record, format, column, row + 1));
      }
      art += '\n';
    }
  }
  return art;
}

void DrawGlyphFile(const std::string& path, int columns, std::FILE* out, RecordFormat format) {
  std::unique_ptr<ByteSource> file = RealDisk().OpenForReading(path);
  const char* const kNotWhole = "Length is not a multiple of 32 bytes";
  if (file->Length() % static_cast<int64_t>(GlyphSize) != 0) throw FileFailure(path, kNotWhole);
  std::string band(GlyphsPerBand(columns) * GlyphSize, '\0');
  for (size_t size; (size = file->ReadFull(band.data(), band.size())) != 0;) {
    if (size % GlyphSize != 0) throw FileFailure(path, kNotWhole);
    std::fputs(DrawGlyphs(std::string_view(band).substr(0, size), columns, format).c_str(), out);
  }
}

}  // namespace pixtrel
