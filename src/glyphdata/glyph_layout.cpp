#include "glyphdata/glyph_layout.h"

#include <array>
#include <cstring>

namespace pixtrel {

namespace {

constexpr int kSide = 16;

struct NamedLayout {
  GlyphLayout layout;
  const char* name;
  const char* rule;
};

constexpr NamedLayout kNames[] = {
    {GlyphLayout::kRowMsb, "row-msb", "bit 7 - x % 8 of byte 2 * y + x / 8"},
    {GlyphLayout::kRowLsb, "row-lsb", "bit x % 8 of byte 2 * y + x / 8"},
    {GlyphLayout::kPageLsb, "page-lsb", "bit y % 8 of byte 16 * (y / 8) + x"},
    {GlyphLayout::kPageMsb, "page-msb", "bit 7 - y % 8 of byte 16 * (y / 8) + x"},
    {GlyphLayout::kColumnLsb, "column-lsb", "bit y % 8 of byte 2 * x + y / 8"},
    {GlyphLayout::kColumnMsb, "column-msb", "bit 7 - y % 8 of byte 2 * x + y / 8"},
};

const NamedLayout& Named(GlyphLayout layout) {
  for (const auto& entry : kNames)
    if (entry.layout == layout) return entry;
  return kNames[0];
}

/// Where the pixel at column `x`, row `y` lies in a record of `layout`.
struct BitPosition {
  int byte;
  int bit;
};

BitPosition PositionOf(GlyphLayout layout, int x, int y) {
  switch (layout) {
    case GlyphLayout::kRowMsb:
      return {2 * y + x / 8, 7 - x % 8};
    case GlyphLayout::kRowLsb:
      return {2 * y + x / 8, x % 8};
    case GlyphLayout::kPageLsb:
      return {16 * (y / 8) + x, y % 8};
    case GlyphLayout::kPageMsb:
      return {16 * (y / 8) + x, 7 - y % 8};
    case GlyphLayout::kColumnLsb:
      return {2 * x + y / 8, y % 8};
    case GlyphLayout::kColumnMsb:
      return {2 * x + y / 8, 7 - y % 8};
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

const char* LayoutName(GlyphLayout layout) { return Named(layout).name; }

const char* LayoutRule(GlyphLayout layout) { return Named(layout).rule; }

void FormatRecord(uint8_t* record, RecordFormat format) {
  std::array<uint8_t, 2 * kSide> formatted{};
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      if (!BitAt(record, PositionOf(GlyphLayout::kRowMsb, x, y))) continue;
      const BitPosition position = PositionOf(format.layout, x, y);
      formatted[position.byte] |= static_cast<uint8_t>(1 << position.bit);
    }
  }
  if (format.invert)
    for (uint8_t& byte : formatted) byte = static_cast<uint8_t>(~byte);
  std::memcpy(record, formatted.data(), formatted.size());
}

bool Inked(const uint8_t* record, RecordFormat format, int x, int y) {
  return BitAt(record, PositionOf(format.layout, x, y)) != format.invert;
}

}  // namespace pixtrel
