// HarfBuzz, loaded from the system's library on the first call.

#include "platform/harfbuzz.h"
#include "platform/loaded_library.h"

namespace pixtrel {

const Harfbuzz& HarfbuzzFor(const std::string& name) {
  static const Harfbuzz library = [&name] {
    const LoadedLibrary harfbuzz("libharfbuzz.so.0", "HarfBuzz", name);
    Harfbuzz found;
    harfbuzz.Find(found.blob_create, "hb_blob_create");
    harfbuzz.Find(found.blob_destroy, "hb_blob_destroy");
    harfbuzz.Find(found.face_create, "hb_face_create");
    harfbuzz.Find(found.face_destroy, "hb_face_destroy");
    harfbuzz.Find(found.ot_layout_table_get_feature_tags, "hb_ot_layout_table_get_feature_tags");
    harfbuzz.Find(found.font_create, "hb_font_create");
    harfbuzz.Find(found.font_destroy, "hb_font_destroy");
    harfbuzz.Find(found.font_set_scale, "hb_font_set_scale");
    harfbuzz.Find(found.font_get_nominal_glyph, "hb_font_get_nominal_glyph");
    harfbuzz.Find(found.font_get_glyph_h_advance, "hb_font_get_glyph_h_advance");
    harfbuzz.Find(found.buffer_create, "hb_buffer_create");
    harfbuzz.Find(found.buffer_destroy, "hb_buffer_destroy");
    harfbuzz.Find(found.buffer_clear_contents, "hb_buffer_clear_contents");
    harfbuzz.Find(found.buffer_add_utf32, "hb_buffer_add_utf32");
    harfbuzz.Find(found.buffer_guess_segment_properties, "hb_buffer_guess_segment_properties");
    harfbuzz.Find(found.buffer_get_glyph_positions, "hb_buffer_get_glyph_positions");
    harfbuzz.Find(found.shape, "hb_shape");
    return found;
  }();
  return library;
}

}  // namespace pixtrel
