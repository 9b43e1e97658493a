#pragma once

// The functions of HarfBuzz that kerning is read with: on Linux loaded from
// the system's library when a font's kerning is first asked for; on Windows
// linked into the program.

#include <hb-ot.h>
#include <hb.h>

#include <string>

namespace pixtrel {

/// The functions of HarfBuzz that kerning is read with.
struct Harfbuzz {
  decltype(&hb_blob_create) blob_create;
  decltype(&hb_blob_destroy) blob_destroy;
  decltype(&hb_face_create) face_create;
  decltype(&hb_face_destroy) face_destroy;
  decltype(&hb_ot_layout_table_get_feature_tags) ot_layout_table_get_feature_tags;
  decltype(&hb_font_create) font_create;
  decltype(&hb_font_destroy) font_destroy;
  decltype(&hb_font_set_scale) font_set_scale;
  decltype(&hb_font_get_nominal_glyph) font_get_nominal_glyph;
  decltype(&hb_font_get_glyph_h_advance) font_get_glyph_h_advance;
  decltype(&hb_buffer_create) buffer_create;
  decltype(&hb_buffer_destroy) buffer_destroy;
  decltype(&hb_buffer_clear_contents) buffer_clear_contents;
  decltype(&hb_buffer_add_utf32) buffer_add_utf32;
  decltype(&hb_buffer_guess_segment_properties) buffer_guess_segment_properties;
  decltype(&hb_buffer_get_glyph_positions) buffer_get_glyph_positions;
  decltype(&hb_shape) shape;
};

/// HarfBuzz's functions, the same table on every call; the first call
/// loads them where they are loaded, and throws Failure naming `name` when
/// the system has them not. Once they are there, `name` is not looked at.
const Harfbuzz& HarfbuzzFor(const std::string& name);

}  // namespace pixtrel
