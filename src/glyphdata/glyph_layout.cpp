#include "glyphdata/glyph_layout.h"

#include <cstring>

namespace pixtrel {

namespace {

struct NamedLayout {
  GlyphLayout layout;
  const char* name;
};

constexpr NamedLayout kNames[] = {
    {GlyphLayout::kRowMsb, "row-msb"},       {GlyphLayout::kRowLsb, "row-lsb"},
    {GlyphLayout::kPageLsb, "page-lsb"},     {GlyphLayout::kPageMsb, "page-msb"},
    {GlyphLayout::kColumnLsb, "column-lsb"}, {GlyphLayout::kColumnMsb, "column-msb"},
};

int BytesFor(int bits) { return (bits + 7) / 8; }

/// Where the pixel at column `x`, row `y` lies in a record of `shape` in `layout`.
struct BitPosition {
  int byte;
  int bit;
};

BitPosition PositionOf(GlyphLayout layout, RecordShape shape, int x, int y) {
  const int row_bytes = BytesFor(shape.width), column_bytes = BytesFor(shape.height);
  switch (layout) {
    case GlyphLayout::kRowMsb:
      return {row_bytes * y + x / 8, 7 - x % 8};
    case GlyphLayout::kRowLsb:
      return {row_bytes * y + x / 8, x % 8};
    case GlyphLayout::kPageLsb:
      return {shape.width * (y / 8) + x, y % 8};
    case GlyphLayout::kPageMsb:
      return {shape.width * (y / 8) + x, 7 - y % 8};
    case GlyphLayout::kColumnLsb:
      return {column_bytes * x + y / 8, y % 8};
    case GlyphLayout::kColumnMsb:
      return {column_bytes * x + y / 8, 7 - y % 8};
  }
  return {0, 0};
}

bool BitAt(const uint8_t* record, BitPosition position) { return (record[position.byte] >> position.bit & 1) != 0; }

}  // namespace

std::optional<GlyphLayout> ParseLayout(std::string_view name) {
  for (const auto& entry : kNames)
    if (name == entry.name) return entry.layout;
  return std::nullopt;
}

std::vector<std::string> LayoutNames() {
  std::vector<std::string> names;
  for (const auto& entry : kNames) names.push_back(entry.name);
  return names;
}

const char* LayoutName(GlyphLayout layout) {
  for (const auto& entry : kNames)
    if (entry.layout == layout) return entry.name;
  return kNames[0].name;
}

std::string LayoutRule(GlyphLayout layout, RecordShape shape, std::string_view width) {
  const std::string w = width.empty() ? std::to_string(shape.width) : std::string(width);
  const std::string row_bytes = width.empty() ? std::to_string(BytesFor(shape.width)) : "((" + w + " + 7) / 8)";
  const std::string column_bytes = std::to_string(BytesFor(shape.height));
  switch (layout) {
    case GlyphLayout::kRowMsb:
      return "bit 7 - x % 8 of byte " + row_bytes + " * y + x / 8";
    case GlyphLayout::kRowLsb:
      return "bit x % 8 of byte " + row_bytes + " * y + x / 8";
    case GlyphLayout::kPageLsb:
      return "bit y % 8 of byte " + w + " * (y / 8) + x";
    case GlyphLayout::kPageMsb:
      return "bit 7 - y % 8 of byte " + w + " * (y / 8) + x";
    case GlyphLayout::kColumnLsb:
      return "bit y % 8 of byte " + column_bytes + " * x + y / 8";
    case GlyphLayout::kColumnMsb:
      return "bit 7 - y % 8 of byte " + column_bytes + " * x + y / 8";
  }
  return "";
}

size_t RecordBytes(RecordShape shape, GlyphLayout layout) {
  const bool by_rows = layout == GlyphLayout::kRowMsb || layout == GlyphLayout::kRowLsb;
  return static_cast<size_t>(by_rows ? shape.height * BytesFor(shape.width) : shape.width * BytesFor(shape.height));
}

void FormatRecord(const uint8_t* row_msb, RecordShape shape, RecordFormat format, uint8_t* out) {
  const size_t size = RecordBytes(shape, format.layout);
  std::memset(out, 0, size);
  for (int y = 0; y < shape.height; ++y) {
    for (int x = 0; x < shape.width; ++x) {
      if (BitAt(row_msb, PositionOf(GlyphLayout::kRowMsb, shape, x, y))) Ink(out, shape, format.layout, x, y);
    }
  }
  if (format.invert)
    for (size_t i = 0; i < size; ++i) out[i] = static_cast<uint8_t>(~out[i]);
}

void Ink(uint8_t* record, RecordShape shape, GlyphLayout layout, int x, int y) {
  const BitPosition position = PositionOf(layout, shape, x, y);
  record[position.byte] |= static_cast<uint8_t>(1 << position.bit);
}

size_t RecordBytes(RecordShape shape, RecordFormat format) {
  if (format.bpp == 1) return RecordBytes(shape, format.layout);
  return static_cast<size_t>(shape.height * BytesFor(shape.width * format.bpp));
}

namespace {

/// Where the level of pixel (x, y) of a record of `shape` at `bpp` bits lies:
/// the byte it starts in, and how far the level lies from the right end of
/// that byte and the next one read as 16 bits (a level of 3 bits may span
/// two bytes of a row).
struct LevelPosition {
  size_t byte;
  int shift;
  bool spans;  ///< It goes on into the next byte.
};

LevelPosition LevelPositionOf(RecordShape shape, int bpp, int x, int y) {
  const int bit = x * bpp;
  return {static_cast<size_t>(y * BytesFor(shape.width * bpp) + bit / 8), 16 - bpp - bit % 8, bit % 8 + bpp > 8};
}

}  // namespace

int LevelAt(const uint8_t* record, RecordShape shape, RecordFormat format, int x, int y) {
  if (format.bpp == 1) return Inked(record, shape, format, x, y) ? 1 : 0;
  const LevelPosition at = LevelPositionOf(shape, format.bpp, x, y);
  const int most = (1 << format.bpp) - 1;
  const int window = record[at.byte] << 8 | (at.spans ? record[at.byte + 1] : 0);
  const int level = window >> at.shift & most;
  return format.invert ? most - level : level;
}

void SetLevel(uint8_t* record, RecordShape shape, int bpp, int x, int y, int level) {
  if (bpp == 1) {
    if (level != 0) Ink(record, shape, GlyphLayout::kRowMsb, x, y);
    return;
  }
  const LevelPosition at = LevelPositionOf(shape, bpp, x, y);
  const int window = level << at.shift;
  record[at.byte] |= static_cast<uint8_t>(window >> 8);
  if (at.spans) record[at.byte + 1] |= static_cast<uint8_t>(window & 0xFF);
}

bool Inked(const uint8_t* record, RecordShape shape, RecordFormat format, int x, int y) {
  if (format.bpp > 1) return LevelAt(record, shape, format, x, y) * 2 > (1 << format.bpp) - 1;
  return BitAt(record, PositionOf(format.layout, shape, x, y)) != format.invert;
}

}  // namespace pixtrel
