// HarfBuzz, linked into the program.

#include "platform/harfbuzz.h"

namespace pixtrel {

const Harfbuzz& HarfbuzzFor(const std::string&) {
  static const Harfbuzz library{hb_blob_create,
                                hb_blob_destroy,
                                hb_face_create,
                                hb_face_destroy,
                                hb_ot_layout_table_get_feature_tags,
                                hb_font_create,
                                hb_font_destroy,
                                hb_font_set_scale,
                                hb_font_get_nominal_glyph,
                                hb_font_get_glyph_h_advance,
                                hb_buffer_create,
                                hb_buffer_destroy,
                                hb_buffer_clear_contents,
                                hb_buffer_add_utf32,
                                hb_buffer_guess_segment_properties,
                                hb_buffer_get_glyph_positions,
                                hb_shape};
  return library;
}

}  // namespace pixtrel
