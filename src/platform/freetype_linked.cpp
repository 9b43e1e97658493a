// FreeType and zlib, linked into the program.

#include "platform/freetype.h"

namespace pixtrel {

const Freetype& FreetypeFor(const std::string&) {
  static const Freetype library{
      FT_Init_FreeType, FT_Done_FreeType,  FT_New_Memory_Face, FT_Done_Face,   FT_Get_BDF_Charset_ID,
      FT_Set_Charmap,   FT_Select_Charmap, FT_Get_Char_Index,  FT_Select_Size, FT_Set_Pixel_Sizes,
      FT_Load_Glyph,    FT_Render_Glyph,   FT_Get_Kerning,     inflateInit2_,  inflate,
      inflateEnd};
  return library;
}

}  // namespace pixtrel
