// FreeType and zlib, loaded from the system's libraries on the first call.

#include "platform/freetype.h"
#include "platform/loaded_library.h"

namespace pixtrel {

const Freetype& FreetypeFor(const std::string& name) {
  static const Freetype library = [&name] {
    const LoadedLibrary freetype("libfreetype.so.6", "FreeType", name), zlib("libz.so.1", "zlib", name);
    Freetype found;
    freetype.Find(found.init_freetype, "FT_Init_FreeType");
    freetype.Find(found.done_freetype, "FT_Done_FreeType");
    freetype.Find(found.new_memory_face, "FT_New_Memory_Face");
    freetype.Find(found.done_face, "FT_Done_Face");
    freetype.Find(found.get_bdf_charset_id, "FT_Get_BDF_Charset_ID");
    freetype.Find(found.set_charmap, "FT_Set_Charmap");
    freetype.Find(found.select_charmap, "FT_Select_Charmap");
    freetype.Find(found.get_char_index, "FT_Get_Char_Index");
    freetype.Find(found.select_size, "FT_Select_Size");
    freetype.Find(found.set_pixel_sizes, "FT_Set_Pixel_Sizes");
    freetype.Find(found.load_glyph, "FT_Load_Glyph");
    freetype.Find(found.render_glyph, "FT_Render_Glyph");
    freetype.Find(found.get_kerning, "FT_Get_Kerning");
    zlib.Find(found.inflate_init2, "inflateInit2_");
    zlib.Find(found.inflate, "inflate");
    zlib.Find(found.inflate_end, "inflateEnd");
    return found;
  }();
  return library;
}

}  // namespace pixtrel
