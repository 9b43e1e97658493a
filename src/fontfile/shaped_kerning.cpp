#include "fontfile/shaped_kerning.h"

#include <memory>

#include "platform/harfbuzz.h"

namespace pixtrel {

namespace {

/// `object`, destroyed by `destroy` when it goes.
template <class T>
std::unique_ptr<T, void (*)(T*)> Owned(T* object, void (*destroy)(T*)) {
  return {object, destroy};
}

/// True when `face` has a kern feature in its GPOS table.
bool HasPositionedKerning(const Harfbuzz& hb, hb_face_t* face) {
  hb_tag_t tags[64];
  for (unsigned start = 0, count = 64; count == 64; start += count) {
    count = 64;
    hb.ot_layout_table_get_feature_tags(face, HB_OT_TAG_GPOS, start, &count, tags);
    for (unsigned i = 0; i < count; ++i)
      if (tags[i] == HB_TAG('k', 'e', 'r', 'n')) return true;
  }
  return false;
}

}  // namespace

std::optional<std::vector<KerningPair>> ShapedKerning(const std::string& path, const FontFileBytes& data,
                                                      int face_index, int size,
                                                      const std::vector<uint32_t>& code_points) {
  const Harfbuzz& hb = HarfbuzzFor(path);
  const auto blob = Owned(hb.blob_create(reinterpret_cast<const char*>(data.data()), static_cast<unsigned>(data.size()),
                                         HB_MEMORY_MODE_READONLY, nullptr, nullptr),
                          hb.blob_destroy);
  const auto face = Owned(hb.face_create(blob.get(), static_cast<unsigned>(face_index)), hb.face_destroy);
  if (!HasPositionedKerning(hb, face.get())) return std::nullopt;
  const auto font = Owned(hb.font_create(face.get()), hb.font_destroy);
  hb.font_set_scale(font.get(), size * 64, size * 64);  // Positions in 1/64 pixels.
  std::vector<int> own_advance;                         // Of each code point, or -1 for one the face lacks.
  for (uint32_t code_point : code_points) {
    hb_codepoint_t glyph;
    own_advance.push_back(hb.font_get_nominal_glyph(font.get(), code_point, &glyph)
                              ? hb.font_get_glyph_h_advance(font.get(), glyph)
                              : -1);
  }
  const auto buffer = Owned(hb.buffer_create(), hb.buffer_destroy);
  std::vector<KerningPair> pairs;
  for (size_t left = 0; left < code_points.size(); ++left) {
    for (size_t right = 0; right < code_points.size(); ++right) {
      if (own_advance[left] < 0 || own_advance[right] < 0) continue;
      const uint32_t text[2] = {code_points[left], code_points[right]};
      hb.buffer_clear_contents(buffer.get());
      hb.buffer_add_utf32(buffer.get(), text, 2, 0, 2);
      hb.buffer_guess_segment_properties(buffer.get());
      hb.shape(font.get(), buffer.get(), nullptr, 0);
      unsigned count;
      const hb_glyph_position_t* positions = hb.buffer_get_glyph_positions(buffer.get(), &count);
      if (count != 2) continue;  // Made one glyph: no pair to kern.
      const int delta = positions[0].x_advance + positions[1].x_advance - own_advance[left] - own_advance[right];
      const int adjust = delta >= 0 ? (delta + 2) / 4 : -((-delta + 2) / 4);  // 1/64 to 1/16.
      if (adjust != 0) pairs.push_back({code_points[left], code_points[right], adjust});
    }
  }
  return pairs;
}

}  // namespace pixtrel
