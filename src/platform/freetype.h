#pragma once

// The functions of FreeType and zlib that font files are read with: on
// Linux loaded from the system's libraries when the first font file is
// opened (a run from a font set loads neither, nor libpng and brotli, which
// FreeType needs); on Windows linked into the program.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BDF_H
#include <zlib.h>

#include <string>

namespace pixtrel {

/// The functions of FreeType (and zlib's, which unpack a gzipped font) that
/// font files are read with.
struct Freetype {
  decltype(&FT_Init_FreeType) init_freetype;
  decltype(&FT_Done_FreeType) done_freetype;
  decltype(&FT_New_Memory_Face) new_memory_face;
  decltype(&FT_Done_Face) done_face;
  decltype(&FT_Get_BDF_Charset_ID) get_bdf_charset_id;
  decltype(&FT_Set_Charmap) set_charmap;
  decltype(&FT_Select_Charmap) select_charmap;
  decltype(&FT_Get_Char_Index) get_char_index;
  decltype(&FT_Select_Size) select_size;
  decltype(&FT_Set_Pixel_Sizes) set_pixel_sizes;
  decltype(&FT_Load_Glyph) load_glyph;
  decltype(&FT_Render_Glyph) render_glyph;
  decltype(&FT_Get_Kerning) get_kerning;
  decltype(&::inflateInit2_) inflate_init2;
  decltype(&::inflate) inflate;
  decltype(&::inflateEnd) inflate_end;
};

/// FreeType's functions, the same table on every call; the first call loads
/// them where they are loaded, and throws Failure naming `name` when the
/// system has them not. Once they are there, `name` is not looked at.
const Freetype& FreetypeFor(const std::string& name);

}  // namespace pixtrel
