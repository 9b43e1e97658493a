#include "fontfile/font_file_glyphs.h"

#include <algorithm>
#include <functional>
#include <thread>
#include <utility>

#include "fontfile/shaped_kerning.h"
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
      if (rendered.levels[static_cast<size_t>(row * ink.width + column)] != 0)
        left = std::min(left, column), right = std::max(right, column), top = std::min(top, row), bottom = row;
  FontGlyph glyph;
  glyph.code_point = code_point;
  glyph.advance = rendered.advance;
  glyph.advance_px = ink.advance;
  if (right < 0) return glyph;
  glyph.box_x = ink.left + left, glyph.box_w = right - left + 1, glyph.box_h = bottom - top + 1;
  glyph.box_y = ink.top - (bottom + 1);
  glyph.levels.reserve(static_cast<size_t>(glyph.box_w * glyph.box_h));
  for (int row = top; row <= bottom; ++row) {
    const auto start = rendered.levels.begin() + row * ink.width;
    glyph.levels.insert(glyph.levels.end(), start + left, start + right + 1);
  }
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

/// How a cell of `shape` falls short of the ink of `glyph`, cut to fit it:
/// "13 pixels wide, 8 fit its half-width cell".
std::string CutBy(const FontGlyph& glyph, RecordShape shape, bool half_width) {
  const char* cell = half_width ? "its half-width cell" : "its cell";
  if (glyph.box_w > shape.width)
    return std::to_string(glyph.box_w) + " pixels wide, " + std::to_string(shape.width) + " fit " + cell;
  return std::to_string(glyph.box_h) + " pixels high, " + std::to_string(shape.height) + " fit " + cell;
}

}  // namespace

std::unique_ptr<GlyphSource> MakeFontFileGlyphs(const FontFileRequest& request) {
  return std::make_unique<FontFileGlyphs>(request);
}

FontFileGlyphs::FontFileGlyphs(const FontFileRequest& request)
    : request_(request),
      data_(FontFace::Read(request.path)),
      face_index_(FontFace::FaceIndex(request.path, data_, request.face)) {
  face_ = std::make_unique<FontFace>(request.path, data_, face_index_);
  if (face_->Map() != FontFace::CharacterMap::kUnicode)
    throw FileFailure(request.path, "No Unicode character map: its characters cannot be found");
  const int size = size_ = SizeToDraw();
  DrawAtSize(*face_);
  const int ascent = face_->Ascent(), descent = face_->Descent();
  metrics_.cell = {size, size};
  metrics_.line_height = ascent + descent;
  metrics_.ascent = ascent;
  metrics_.bpp = request.record_format.bpp;
  metrics_.font = face_->Name() + " (" + request.path.substr(NameStart(request.path)) + ")";
  if (face_->HasStrike(size)) metrics_.font += ", its " + std::to_string(size) + "-pixel bitmap strike";
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
  Glyph glyph{character, std::nullopt, metrics_.cell, std::vector<uint8_t>(1), std::nullopt};
  if (code_point < 0x80) glyph.shape.width = HalfWidthOf(metrics_.cell.width);
  if (request_.cells) {
    const std::optional<FontFace::Rendered> rendered = face_->Render(code_point, metrics_.bpp);
    if (!rendered) return missing(MissingCause::kNotInSet);
    glyph.font = Trimmed(*rendered, code_point);
    if (glyph.font->box_w == 0 && !IsWhiteSpace(code_point)) return missing(MissingCause::kBlank);
    Placement placement;
    glyph.record = CellRecord(rendered->ink, glyph.shape, &placement);
    if (placement.clipped) glyph.cut = CutBy(*glyph.font, glyph.shape, glyph.shape.width < metrics_.cell.width);
  } else {
    const std::optional<bool> inked = face_->HasInk(code_point);
    if (!inked) return missing(MissingCause::kNotInSet);
    if (!*inked && !IsWhiteSpace(code_point)) return missing(MissingCause::kBlank);
  }
  const auto number = static_cast<uint32_t>(glyphs_.size());
  numbers_.emplace(code_point, number);
  glyphs_.push_back(std::move(glyph));
  return {std::nullopt, {GlyphKind::kFont, number, glyphs_.back().character}, glyphs_.back().record};
}

std::unique_ptr<FontFace> FontFileGlyphs::OpenFace() const {
  auto face = std::make_unique<FontFace>(request_.path, data_, face_index_);
  DrawAtSize(*face);
  return face;
}

int FontFileGlyphs::SizeToDraw() const {
  const std::vector<int> strikes = face_->StrikeSizes();
  if (!request_.size && !face_->HasOutlines() && strikes.size() == 1) return strikes.front();
  std::string sizes;
  for (int strike : strikes) sizes += (sizes.empty() ? "" : ", ") + std::to_string(strike);
  if (!request_.size && !face_->HasOutlines())
    throw FileFailure(request_.path, "Its strikes are " + sizes + " pixels: say which with --size");
  const int size = request_.size.value_or(16);
  if (!face_->HasStrike(size) && !face_->HasOutlines())
    throw FileFailure(request_.path, "No strike of " + std::to_string(size) +
                                         " pixels, and no outlines; its strikes are " + sizes + " pixels (--size)");
  if (!face_->HasStrike(size) && size < kSmallestOutlines)
    throw FileFailure(request_.path,
                      "Outlines are drawn at 8 to 128 pixels, not " + std::to_string(size) + " (--size)");
  return size;
}

void FontFileGlyphs::DrawAtSize(FontFace& face) const {
  if (face.HasStrike(size_))
    face.UseStrike(size_);
  else
    face.UseOutlines(size_, request_.hinting);
}

FontGlyph FontFileGlyphs::FontGlyphDrawn(FontFace& face, uint32_t code_point) const {
  const std::optional<FontFace::Rendered> rendered = face.Render(code_point, metrics_.bpp);
  if (!rendered) {
    FontGlyph glyph;
    glyph.code_point = code_point;
    return glyph;
  }
  return Trimmed(*rendered, code_point);
}

std::optional<std::string> FontFileGlyphs::CutOf(const WrittenGlyph& glyph) const {
  if (glyph.kind != GlyphKind::kFont) return std::nullopt;
  return glyphs_.at(glyph.slot).cut;
}

std::vector<uint8_t> FontFileGlyphs::CellRecord(const InkBitmap& ink, RecordShape shape, Placement* placement) const {
  const RecordFormat format = request_.record_format;
  std::vector<uint8_t> own(RecordBytes(shape, RecordFormat{GlyphLayout::kRowMsb, false, format.bpp}));
  if (ink.bits != nullptr) {
    const Placement placed = PlaceInCell(ink, {shape.width, shape.height}, cell_baseline_, own.data());
    if (placement != nullptr) *placement = placed;
  }
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

FontGlyph FontFileGlyphs::FontGlyphOf(const WrittenGlyph& glyph) const {
  const Glyph& own = glyphs_[glyph.slot];
  return own.font ? *own.font : FontGlyphDrawn(*face_, own.character.code_point);
}

std::vector<FontGlyph> FontFileGlyphs::FontGlyphsOf(const std::vector<WrittenGlyph>& glyphs) const {
  std::vector<FontGlyph> font_glyphs(glyphs.size());
  std::vector<size_t> undrawn;
  for (size_t k = 0; k < glyphs.size(); ++k) {
    const Glyph& own = glyphs_[glyphs[k].slot];
    if (own.font)
      font_glyphs[k] = *own.font;
    else
      undrawn.push_back(k);
  }
  // A thread draws every n-th of them with a face of its own: FreeType's faces are not shared between threads.
  const size_t threads = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 4);
  auto draw = [&](size_t first, FontFace& face) {
    for (size_t i = first; i < undrawn.size(); i += threads)
      font_glyphs[undrawn[i]] = FontGlyphDrawn(face, glyphs_[glyphs[undrawn[i]].slot].character.code_point);
  };
  std::vector<std::thread> workers;
  std::vector<std::unique_ptr<FontFace>> faces;
  for (size_t first = 1; first < threads && undrawn.size() > 64; ++first) faces.push_back(OpenFace());
  for (size_t first = 1; first <= faces.size(); ++first) workers.emplace_back(draw, first, std::ref(*faces[first - 1]));
  if (workers.empty()) {
    for (size_t k : undrawn) font_glyphs[k] = FontGlyphDrawn(*face_, glyphs_[glyphs[k].slot].character.code_point);
  } else {
    draw(0, *face_);
  }
  for (std::thread& worker : workers) worker.join();
  return font_glyphs;
}

std::vector<KerningPair> FontFileGlyphs::Kerning(const std::vector<uint32_t>& code_points) const {
  const auto kerned_end = std::lower_bound(code_points.begin(), code_points.end(), kFirstUnkerned);
  // Most fonts made this century kern in their GPOS table; older ones in a kern table, which FreeType reads.
  if (std::optional<std::vector<KerningPair>> shaped =
          ShapedKerning(request_.path, *data_, face_index_, size_, {code_points.begin(), kerned_end}))
    return *shaped;
  std::vector<KerningPair> pairs;
  if (!face_->HasKerning()) return pairs;
  for (auto left = code_points.begin(); left != kerned_end; ++left)
    for (auto right = code_points.begin(); right != kerned_end; ++right)
      if (const int adjust = face_->Kerning(*left, *right); adjust != 0) pairs.push_back({*left, *right, adjust});
  return pairs;
}

}  // namespace pixtrel
