#include "fontfile/font_file_glyphs.h"

#include <algorithm>
#include <utility>

#include "glyphdata/cp936.h"
#include "glyphdata/font_set.h"
#include "platform/failure.h"
#include "platform/platform.h"

namespace pixtrel {

namespace {

constexpr uint32_t kReplacementCharacter = 0xFFFD;

/// Characters from here on are of scripts that are not kerned (CJK and
/// what follows); pairs are looked for only among those before.
constexpr uint32_t kFirstUnkerned = 0x2E80;

/// `rendered` trimmed to the pixels it covers, as a font holds it.
FontGlyph Trimmed(const FontFace::Rendered& rendered, uint32_t code_point) {
  const InkBitmap& ink = rendered.ink;
  int left = ink.width, right = -1, top = ink.rows, bottom = -1;
  for (int row = 0; row < ink.rows; ++row)
    for (int column = 0; column < ink.width; ++column)
      if (LevelAt(ink, row, column) != 0)
        left = std::min(left, column), right = std::max(right, column), top = std::min(top, row), bottom = row;
  FontGlyph glyph;
  glyph.code_point = code_point;
  glyph.advance = rendered.advance;
  glyph.advance_px = ink.advance;
  if (right < 0) return glyph;
  glyph.box_x = ink.left + left, glyph.box_w = right - left + 1, glyph.box_h = bottom - top + 1;
  glyph.box_y = ink.top - (bottom + 1);
  for (int row = top; row <= bottom; ++row)
    for (int column = left; column <= right; ++column)
      glyph.levels.push_back(static_cast<uint8_t>(LevelAt(ink, row, column)));
  return glyph;
}

/// The levels of a box of `size` x `size` pixels, a byte a pixel: the
/// cell's outline, a pixel in from its edges, at full coverage `most`.
std::vector<uint8_t> BoxLevels(int size, uint8_t most) {
  std::vector<uint8_t> levels(static_cast<size_t>(size * size));
  for (int i = 1; i < size - 1; ++i)
    for (const auto& [x, y] : {std::pair{i, 1}, {i, size - 2}, {1, i}, {size - 2, i}})
      levels[static_cast<size_t>(y * size + x)] = most;
  return levels;
}

}  // namespace

std::unique_ptr<GlyphSource> MakeFontFileGlyphs(const FontFileRequest& request) {
  return std::make_unique<FontFileGlyphs>(request);
}

FontFileGlyphs::FontFileGlyphs(const FontFileRequest& request) : request_(request) {
  const std::shared_ptr<const std::string> data = FontFace::Read(request.path);
  face_ = std::make_unique<FontFace>(request.path, data, FontFace::FaceIndex(request.path, data, request.face));
  if (face_->Map() != FontFace::CharacterMap::kUnicode)
    throw FileFailure(request.path, "No Unicode character map: its characters cannot be found");
  const int size = request.size;
  if (face_->HasStrike(size)) {
    face_->UseStrike(size);
  } else if (!face_->HasOutlines()) {
    std::string sizes;
    for (int strike : face_->StrikeSizes()) sizes += (sizes.empty() ? "" : ", ") + std::to_string(strike);
    throw FileFailure(request.path, "No strike of " + std::to_string(size) +
                                        " pixels, and no outlines; its strikes are " + sizes + " pixels (--size)");
  } else if (size < kSmallestOutlines) {
    throw FileFailure(request.path, "Outlines are drawn at 8 to 128 pixels, not " + std::to_string(size) + " (--size)");
  } else {
    face_->UseOutlines(size, request.hinting);
  }
  const int ascent = face_->Ascent(), descent = face_->Descent();
  metrics_.cell = {size, size};
  metrics_.line_height = ascent + descent;
  metrics_.ascent = ascent;
  metrics_.bpp = request.record_format.bpp;
  metrics_.font = face_->Name() + " (" + request.path.substr(NameStart(request.path)) + ")";
  cell_baseline_ = ascent + descent > 0 ? (size * ascent + (ascent + descent) / 2) / (ascent + descent) : size - 2;
  if (std::optional<FontFace::Rendered> replacement = face_->Render(kReplacementCharacter, metrics_.bpp)) {
    placeholder_ = CellRecord(replacement->ink, metrics_.cell);
  } else {
    const std::vector<uint8_t> box = BoxLevels(size, static_cast<uint8_t>((1 << metrics_.bpp) - 1));
    placeholder_ =
        CellRecord({box.data(), metrics_.bpp, true, size, size, size, 0, cell_baseline_, size}, metrics_.cell);
  }
}

GlyphFind FontFileGlyphs::Find(SourceCharacter character) {
  if (character.code_point == 0)
    character.code_point = character.code < 0x80 ? character.code : CodePointOf(character.code);
  const auto known = numbers_.find(character.code_point);
  if (known == numbers_.end()) return Draw(character);
  if (known->second < 0) return {static_cast<MissingCause>(-1 - known->second), {}, {}};
  const Glyph& glyph = glyphs_[static_cast<size_t>(known->second)];
  return {std::nullopt, {GlyphKind::kFont, static_cast<uint32_t>(known->second), glyph.character}, glyph.record};
}

GlyphFind FontFileGlyphs::Draw(SourceCharacter character) {
  const uint32_t code_point = character.code_point;
  auto missing = [&](MissingCause cause) {
    numbers_.emplace(code_point, -1 - static_cast<int64_t>(cause));
    return GlyphFind{cause, {}, {}};
  };
  if (code_point == 0) return missing(MissingCause::kNotInSet);
  const std::optional<FontFace::Rendered> rendered = face_->Render(code_point, metrics_.bpp);
  if (!rendered) return missing(MissingCause::kNotInSet);
  Glyph glyph{character, Trimmed(*rendered, code_point), metrics_.cell, {}};
  if (glyph.font.box_w == 0 && !IsWhiteSpace(code_point)) return missing(MissingCause::kBlank);
  if (code_point < 0x80) glyph.shape.width = HalfWidthOf(metrics_.cell.width);
  glyph.record = CellRecord(rendered->ink, glyph.shape);
  const auto number = static_cast<uint32_t>(glyphs_.size());
  numbers_.emplace(code_point, number);
  glyphs_.push_back(std::move(glyph));
  return {std::nullopt, {GlyphKind::kFont, number, glyphs_.back().character}, glyphs_.back().record};
}

std::vector<uint8_t> FontFileGlyphs::CellRecord(const InkBitmap& ink, RecordShape shape) const {
  const RecordFormat format = request_.record_format;
  std::vector<uint8_t> own(RecordBytes(shape, RecordFormat{GlyphLayout::kRowMsb, false, format.bpp}));
  if (ink.bits != nullptr) PlaceInCell(ink, {shape.width, shape.height}, cell_baseline_, own.data());
  if (format.bpp > 1 && !format.invert) return own;
  if (format.bpp > 1) {
    // Flipped: each level read as its complement, as LevelAt reads it back.
    std::vector<uint8_t> flipped(own.size());
    for (int y = 0; y < shape.height; ++y)
      for (int x = 0; x < shape.width; ++x)
        SetLevel(flipped.data(), shape, format.bpp, x, y, LevelAt(own.data(), shape, format, x, y));
    return flipped;
  }
  std::vector<uint8_t> record(RecordBytes(shape, format.layout));
  FormatRecord(own.data(), shape, format, record.data());
  return record;
}

GlyphRecord FontFileGlyphs::RecordOf(const WrittenGlyph& glyph) const {
  if (glyph.kind != GlyphKind::kFont) return placeholder_;
  return glyphs_[glyph.slot].record;
}

RecordShape FontFileGlyphs::ShapeOf(const WrittenGlyph& glyph) const {
  if (glyph.kind != GlyphKind::kFont) return metrics_.cell;
  return glyphs_[glyph.slot].shape;
}

SourceCharacter FontFileGlyphs::CharacterOf(const WrittenGlyph& glyph) const {
  if (glyph.kind != GlyphKind::kFont) return glyph.character;
  return glyphs_[glyph.slot].character;
}

FontGlyph FontFileGlyphs::FontGlyphOf(const WrittenGlyph& glyph) const { return glyphs_[glyph.slot].font; }

std::vector<KerningPair> FontFileGlyphs::Kerning(const std::vector<uint32_t>& code_points) const {
  std::vector<KerningPair> pairs;
  if (!face_->HasKerning()) return pairs;
  const auto kerned_end = std::lower_bound(code_points.begin(), code_points.end(), kFirstUnkerned);
  for (auto left = code_points.begin(); left != kerned_end; ++left)
    for (auto right = code_points.begin(); right != kerned_end; ++right)
      if (const int adjust = face_->Kerning(*left, *right); adjust != 0) pairs.push_back({*left, *right, adjust});
  return pairs;
}

}  // namespace pixtrel
