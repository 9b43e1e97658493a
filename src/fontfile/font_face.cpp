#include "fontfile/font_face.h"

#include <cctype>
#include <cstring>
#include <memory>

#include "platform/failure.h"
#include "platform/freetype.h"
#include "platform/platform.h"
#include "platform/word_list.h"

namespace pixtrel {

namespace {

/// The bytes of the gzip file `path`, unpacked (by zlib: FreeType's own gzip
/// stream is far slower).
std::string Unpacked(const std::string& path) {
  std::string bytes = RealDisk().OpenForReading(path)->ReadAll();
  const Freetype& ft = FreetypeFor(path);
  char buffer[1 << 16];
  z_stream stream{};
  if (ft.inflate_init2(&stream, 16 + MAX_WBITS, ZLIB_VERSION, static_cast<int>(sizeof stream)) != Z_OK)
    throw FileFailure(path, "Cannot unpack");
  std::string unpacked;
  stream.next_in = reinterpret_cast<Bytef*>(bytes.data());
  stream.avail_in = static_cast<uInt>(bytes.size());
  int result = Z_OK;
  while (result == Z_OK) {
    stream.next_out = reinterpret_cast<Bytef*>(buffer);
    stream.avail_out = sizeof buffer;
    result = ft.inflate(&stream, Z_NO_FLUSH);
    unpacked.append(buffer, sizeof buffer - stream.avail_out);
  }
  ft.inflate_end(&stream);
  if (result != Z_STREAM_END) throw FileFailure(path, "Not a whole gzip file");
  return unpacked;
}

bool IsGb2312Charset(const Freetype& ft, FT_Face face) {
  const char* encoding = nullptr;
  const char* registry = nullptr;
  return ft.get_bdf_charset_id(face, &encoding, &registry) == 0 && registry != nullptr &&
         std::strncmp(registry, "GB2312", 6) == 0;
}

}  // namespace

// FreeType is loaded by then: a face was opened.
void FontFace::Done::operator()(FT_LibraryRec_* library) const { FreetypeFor("").done_freetype(library); }

void FontFace::Done::operator()(FT_FaceRec_* face) const { FreetypeFor("").done_face(face); }

FontFileBytes::FontFileBytes(const std::string& path) {
  if (path.ends_with(".gz"))
    read_ = Unpacked(path);
  else if (!(mapped_ = MapFont(path)))
    read_ = RealDisk().OpenForReading(path)->ReadAll();
}

SharedFontBytes FontFace::Read(const std::string& path) { return std::make_shared<const FontFileBytes>(path); }

FontFace::FontFace(const std::string& path, SharedFontBytes data, int index)
    : ft_(&FreetypeFor(path)), path_(path), data_(std::move(data)) {
  FT_Library library;
  if (ft_->init_freetype(&library) != 0) throw Failure("FreeType cannot start");
  library_.reset(library);
  auto open_face = [&](FT_Long face_index) {
    FT_Face face;
    if (ft_->new_memory_face(library, data_->data(), static_cast<FT_Long>(data_->size()), face_index, &face) != 0)
      throw FileFailure(path, "Not a font FreeType reads");
    return std::unique_ptr<FT_FaceRec_, Done>(face);
  };
  const FT_Long faces = open_face(-1)->num_faces;  // Face -1 only counts the faces.
  if (index < 0 || index >= faces)
    throw FileFailure(path, "No face " + std::to_string(index) + ": it has " + std::to_string(faces));
  face_ = open_face(index);
  if (IsGb2312Charset(*ft_, face_.get()) && face_->num_charmaps > 0) {
    ft_->set_charmap(face_.get(), face_->charmaps[0]);
    map_ = CharacterMap::kGb2312;
  } else if (ft_->select_charmap(face_.get(), FT_ENCODING_UNICODE) == 0) {
    map_ = CharacterMap::kUnicode;
  }
}

std::vector<CatalogFace> FontFace::Faces(const std::string& path, const uint8_t* data, size_t size) {
  std::vector<CatalogFace> faces;
  const Freetype& ft = FreetypeFor(path);
  FT_Library library;
  if (ft.init_freetype(&library) != 0) return faces;
  const std::unique_ptr<FT_LibraryRec_, Done> library_done(library);
  for (FT_Long index = 0, count = 1; index < count; ++index) {
    FT_Face face;
    if (ft.new_memory_face(library, data, static_cast<FT_Long>(size), index, &face) != 0) break;
    const std::unique_ptr<FT_FaceRec_, Done> face_done(face);
    count = face->num_faces;
    if (ft.select_charmap(face, FT_ENCODING_UNICODE) != 0) continue;
    auto has = [&](FT_ULong a, FT_ULong b) {
      return ft.get_char_index(face, a) != 0 && ft.get_char_index(face, b) != 0;
    };
    faces.push_back({path,
                     static_cast<int>(index),
                     {face->family_name ? face->family_name : "?"},
                     face->style_name ? face->style_name : "",
                     has(0x4E2D, 0x6587),
                     has(0x3042, 0x30A2),
                     has(0xD55C, 0xAC00),
                     {}});
    for (int i = 0; i < face->num_fixed_sizes; ++i)
      faces.back().strikes.push_back(static_cast<int>((face->available_sizes[i].y_ppem + 32) >> 6));
  }
  return faces;
}

int FontFace::FaceCount() const { return static_cast<int>(face_->num_faces); }

std::string FontFace::Name() const {
  return std::string(face_->family_name ? face_->family_name : "?") + " " +
         (face_->style_name ? face_->style_name : "");
}

std::vector<int> FontFace::StrikeSizes() const {
  std::vector<int> sizes;
  for (int i = 0; i < face_->num_fixed_sizes; ++i)
    sizes.push_back(static_cast<int>((face_->available_sizes[i].y_ppem + 32) >> 6));
  return sizes;
}

bool FontFace::HasOutlines() const { return FT_IS_SCALABLE(face_.get()); }

bool FontFace::HasStrike(int size) const {
  for (int i = 0; i < face_->num_fixed_sizes; ++i)
    if (StrikeSizes()[static_cast<size_t>(i)] == size || face_->available_sizes[i].height == size) return true;
  return false;
}

void FontFace::UseStrike(int size) {
  const std::vector<int> sizes = StrikeSizes();
  for (size_t i = 0; i < sizes.size(); ++i) {
    if (sizes[i] != size && face_->available_sizes[i].height != size) continue;
    if (ft_->select_size(face_.get(), static_cast<FT_Int>(i)) != 0) break;
    strike_ = true;
    load_flags_ = FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME;
    return;
  }
  throw FileFailure(path_, "No strike of " + std::to_string(size) + " pixels");
}

void FontFace::UseOutlines(int size, Hinting hinting) {
  if (ft_->set_pixel_sizes(face_.get(), 0, static_cast<FT_UInt>(size)) != 0)
    throw FileFailure(path_, "Cannot draw at " + std::to_string(size) + " pixels");
  strike_ = false;
  hinting_ = hinting;
  load_flags_ = FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME | FT_LOAD_NO_BITMAP;
  // Light hinting at one bit a pixel is the auto-hinter's (FreeType's light target is for coverage).
  if (hinting == Hinting::kAuto || hinting == Hinting::kLight) load_flags_ |= FT_LOAD_FORCE_AUTOHINT;
  if (hinting == Hinting::kNone) load_flags_ |= FT_LOAD_NO_HINTING;
}

int FontFace::FaceIndex(const std::string& path, const SharedFontBytes& data, const std::string& face) {
  if (!face.empty() && face.find_first_not_of("0123456789") == std::string::npos) return std::stoi(face);
  const int faces = FontFace(path, data, 0).FaceCount();
  std::string names;
  for (int index = 0; index < faces; ++index) {
    const FontFace candidate(path, data, index);
    const std::string family = candidate.face_->family_name ? candidate.face_->family_name : "";
    if (Lowercase(face) == Lowercase(family) || Lowercase(face) == Lowercase(candidate.Name())) return index;
    names += (index == 0 ? "" : ", ") + std::to_string(index) + " " + candidate.Name();
  }
  throw FileFailure(path, "No face named " + face + "; its faces are " + names);
}

std::optional<FontFace::Rendered> FontFace::Render(uint32_t code, int bpp) {
  if (strike_) {
    std::optional<Drawn> drawn = Draw(code);
    if (!drawn) return std::nullopt;
    Rendered rendered;
    const InkBitmap& ink = drawn->ink;
    for (int row = 0; row < ink.rows; ++row)
      for (int column = 0; column < ink.width; ++column)
        rendered.levels.push_back(static_cast<uint8_t>(LevelAt(ink, row, column) * ((1 << bpp) - 1)));
    rendered.ink = ink;
    rendered.advance = ink.advance * 16;
    rendered.ink.bits = rendered.levels.data();
    rendered.ink.bpp = bpp;
    rendered.ink.bytes = true;
    rendered.ink.pitch = ink.width;
    return rendered;
  }
  const FT_UInt index = ft_->get_char_index(face_.get(), code);
  int flags = FT_LOAD_NO_BITMAP;
  if (hinting_ == Hinting::kNone) flags |= FT_LOAD_NO_HINTING;
  if (hinting_ == Hinting::kAuto || (hinting_ == Hinting::kLight && bpp == 1)) flags |= FT_LOAD_FORCE_AUTOHINT;
  flags |= bpp == 1 ? FT_LOAD_TARGET_MONO : hinting_ == Hinting::kLight ? FT_LOAD_TARGET_LIGHT : FT_LOAD_TARGET_NORMAL;
  if (index == 0 || ft_->load_glyph(face_.get(), index, flags) != 0) return std::nullopt;
  const FT_GlyphSlot glyph = face_->glyph;
  if (ft_->render_glyph(glyph, bpp == 1 ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) return std::nullopt;
  const FT_Bitmap& bitmap = glyph->bitmap;
  Rendered rendered;
  const int most = (1 << bpp) - 1;
  rendered.levels.resize(static_cast<size_t>(bitmap.rows) * bitmap.width);
  uint8_t* level = rendered.levels.data();
  for (unsigned row = 0; row < bitmap.rows; ++row) {
    const uint8_t* line = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
    for (unsigned column = 0; column < bitmap.width; ++column)
      *level++ = static_cast<uint8_t>(bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                                          ? (line[column / 8] >> (7 - column % 8) & 1) * most
                                          : (line[column] * most + 127) / 255);
  }
  rendered.ink.bits = rendered.levels.data();
  rendered.ink.bpp = bpp;
  rendered.ink.bytes = true;
  rendered.ink.pitch = static_cast<int>(bitmap.width);
  rendered.ink.width = static_cast<int>(bitmap.width);
  rendered.ink.rows = static_cast<int>(bitmap.rows);
  rendered.ink.left = glyph->bitmap_left;
  rendered.ink.top = glyph->bitmap_top;
  rendered.ink.advance = static_cast<int>((glyph->advance.x + 32) >> 6);
  rendered.advance = static_cast<int>((glyph->linearHoriAdvance * 16 + 0x8000) >> 16);
  return rendered;
}

std::optional<bool> FontFace::HasInk(uint32_t code) {
  if (strike_) {
    const std::optional<Drawn> drawn = Draw(code);
    if (!drawn) return std::nullopt;
    for (int row = 0; row < drawn->ink.rows; ++row)
      for (int column = 0; column < drawn->ink.width; ++column)
        if (LevelAt(drawn->ink, row, column) != 0) return true;
    return false;
  }
  const FT_UInt index = ft_->get_char_index(face_.get(), code);
  if (index == 0 || ft_->load_glyph(face_.get(), index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) != 0) return std::nullopt;
  return face_->glyph->format == FT_GLYPH_FORMAT_OUTLINE && face_->glyph->outline.n_contours > 0;
}

bool FontFace::HasKerning() const { return FT_HAS_KERNING(face_.get()); }

int FontFace::Kerning(uint32_t left, uint32_t right) const {
  FT_Vector kerning{};
  if (ft_->get_kerning(face_.get(), ft_->get_char_index(face_.get(), left), ft_->get_char_index(face_.get(), right),
                       FT_KERNING_UNFITTED, &kerning) != 0)
    return 0;
  return static_cast<int>(kerning.x >= 0 ? (kerning.x + 2) / 4 : -((-kerning.x + 2) / 4));  // 26.6 to 1/16.
}

int FontFace::Ascent() const { return static_cast<int>(face_->size->metrics.ascender >> 6); }

int FontFace::Descent() const { return static_cast<int>(-face_->size->metrics.descender >> 6); }

std::optional<FontFace::Drawn> FontFace::Draw(uint32_t code) {
  const FT_UInt index = ft_->get_char_index(face_.get(), code);
  if (index == 0 || ft_->load_glyph(face_.get(), index, load_flags_) != 0) return std::nullopt;
  const FT_GlyphSlot glyph = face_->glyph;
  Drawn drawn;
  drawn.from_outline = strike_ && glyph->format == FT_GLYPH_FORMAT_OUTLINE;
  if (glyph->format != FT_GLYPH_FORMAT_BITMAP && ft_->render_glyph(glyph, FT_RENDER_MODE_MONO) != 0)
    return std::nullopt;
  if (glyph->bitmap.pixel_mode != FT_PIXEL_MODE_MONO) return std::nullopt;
  drawn.ink.bits = glyph->bitmap.buffer;
  drawn.ink.pitch = glyph->bitmap.pitch;
  drawn.ink.width = static_cast<int>(glyph->bitmap.width);
  drawn.ink.rows = static_cast<int>(glyph->bitmap.rows);
  drawn.ink.left = glyph->bitmap_left;
  drawn.ink.top = glyph->bitmap_top;
  drawn.ink.advance = static_cast<int>((glyph->advance.x + 32) >> 6);
  return drawn;
}

}  // namespace pixtrel
