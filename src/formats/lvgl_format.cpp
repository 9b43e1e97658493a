#include "formats/lvgl_format.h"

#include <cstdio>

#include "formats/c_text.h"
#include "formats/font_format.h"
#include "glyphdata/utf8.h"
#include "platform/failure.h"

namespace pixtrel {

namespace {

/// A run of consecutive code points this long or longer gets a character
/// map of its own (format 0, no list); shorter ones go into sparse maps,
/// two bytes a character.
constexpr size_t kRunOfItsOwn = 16;

/// A character map: the glyphs from `first` on, for code points from
/// `start` on, listed when sparse.
struct CharacterMap {
  uint32_t start;
  uint32_t length;               ///< The code points it spans.
  size_t first;                  ///< The index of its first glyph among the font's.
  std::vector<uint32_t> sparse;  ///< Each code point less `start`; empty for a run.
};

/// The maps of the sorted `code_points`: runs of kRunOfItsOwn or more in
/// maps of their own, the rest in sparse maps each spanning less than 65536.
std::vector<CharacterMap> CharacterMaps(const std::vector<uint32_t>& code_points) {
  std::vector<CharacterMap> maps;
  for (size_t i = 0; i < code_points.size();) {
    size_t run = 1;
    while (i + run < code_points.size() && code_points[i + run] == code_points[i] + run) ++run;
    if (run >= kRunOfItsOwn) {
      maps.push_back({code_points[i], static_cast<uint32_t>(run), i, {}});
      i += run;
      continue;
    }
    if (maps.empty() || maps.back().sparse.empty() || code_points[i] - maps.back().start >= 0xFFFF)
      maps.push_back({code_points[i], 0, i, {}});
    CharacterMap& map = maps.back();
    for (size_t k = 0; k < run; ++k) map.sparse.push_back(code_points[i + k] - map.start);
    map.length = map.sparse.back() + 1;
    i += run;
  }
  return maps;
}

/// The character as the comment of its bitmap shows it.
std::string Shown(uint32_t code_point) {
  if (code_point == '"' || code_point == '\\' || code_point == '*' || code_point == '/') return "";
  std::string text = " \"";
  AppendUtf8(code_point, text);
  return text + "\"";
}

class LvglFormat : public FontFormat {
 public:
  using FontFormat::FontFormat;

 private:
  std::string Text(const std::vector<FontGlyph>& glyphs) const override {
    const FormatRequest& request = this->request();
    const std::string& ident = request.name;
    const SourceMetrics& metrics = request.glyphs->Metrics();
    const int size = metrics.line_height, baseline = metrics.ascent;
    std::string text =
        Heading("LVGL", glyphs.size(), std::to_string(size) + " pixels, 1 bit a pixel",
                "LV_FONT_DECLARE(" + ident + "), then lv_obj_set_style_text_font(label, &" + ident + ", 0)");
    text +=
        "#ifdef LV_LVGL_H_INCLUDE_SIMPLE\n#include \"lvgl.h\"\n#else\n#include \"lvgl/lvgl.h\"\n#endif\n\n"
        "/* The glyphs' bitmaps, each trimmed to its ink, its rows one after another. */\n"
        "static LV_ATTRIBUTE_LARGE_CONST const uint8_t glyph_bitmap[] = {\n";
    std::string descriptions =
        "static const lv_font_fmt_txt_glyph_dsc_t glyph_dsc[] = {\n"
        "    {.bitmap_index = 0, .adv_w = 0, .box_w = 0, .box_h = 0, .ofs_x = 0, .ofs_y = 0} /* id = 0 reserved */,\n";
    size_t bitmap_index = 0;
    std::vector<uint32_t> code_points;
    for (const FontGlyph& glyph : glyphs) {
      code_points.push_back(glyph.code_point);
      text += Printed("    /* U+%04X%s */\n", static_cast<unsigned>(glyph.code_point), Shown(glyph.code_point).c_str());
      std::vector<uint8_t> bytes((glyph.levels.size() + 7) / 8, 0);
      for (size_t i = 0; i < glyph.levels.size(); ++i)
        if (glyph.levels[i] != 0) bytes[i / 8] |= static_cast<uint8_t>(0x80 >> (i % 8));
      for (size_t i = 0; i < bytes.size(); ++i)
        text += Printed(i == 0 ? "    0x%02X," : i % 16 == 0 ? "\n    0x%02X," : " 0x%02X,", bytes[i]);
      if (!bytes.empty()) text += "\n";
      descriptions +=
          Printed("    {.bitmap_index = %zu, .adv_w = %d, .box_w = %d, .box_h = %d, .ofs_x = %d, .ofs_y = %d},\n",
                  bitmap_index, glyph.advance, glyph.box_w, glyph.box_h, glyph.box_x, glyph.box_y);
      bitmap_index += bytes.size();
    }
    if (bitmap_index >= 1 << 20)
      throw FileFailure(request.output, "More than the 1 MB of bitmaps LVGL's font format holds");
    text += "};\n\n" + descriptions + "};\n\n";
    const std::vector<CharacterMap> maps = CharacterMaps(code_points);
    for (size_t m = 0; m < maps.size(); ++m) {
      if (maps[m].sparse.empty()) continue;
      text += Printed("static const uint16_t unicode_list_%zu[] = {", m);
      for (size_t i = 0; i < maps[m].sparse.size(); ++i)
        text += Printed(i % 12 == 0 ? "\n    0x%X," : " 0x%X,", maps[m].sparse[i]);
      text += "\n};\n\n";
    }
    text += "static const lv_font_fmt_txt_cmap_t cmaps[] = {\n";
    for (size_t m = 0; m < maps.size(); ++m) {
      const CharacterMap& map = maps[m];
      const bool sparse = !map.sparse.empty();
      text += Printed(
          "    {.range_start = %u, .range_length = %u, .glyph_id_start = %zu, .unicode_list = %s, "
          ".glyph_id_ofs_list = NULL, .list_length = %zu, .type = LV_FONT_FMT_TXT_CMAP_%s},\n",
          map.start, map.length, map.first + 1, sparse ? Printed("unicode_list_%zu", m).c_str() : "NULL",
          map.sparse.size(), sparse ? "SPARSE_TINY" : "FORMAT0_TINY");
    }
    text += "};\n\n";
    text += Printed(
        "#if LVGL_VERSION_MAJOR == 8\nstatic lv_font_fmt_txt_glyph_cache_t cache;\n#endif\n\n"
        "#if LVGL_VERSION_MAJOR >= 8\nstatic const lv_font_fmt_txt_dsc_t font_dsc = {\n#else\n"
        "static lv_font_fmt_txt_dsc_t font_dsc = {\n#endif\n"
        "    .glyph_bitmap = glyph_bitmap,\n    .glyph_dsc = glyph_dsc,\n    .cmaps = cmaps,\n"
        "    .kern_dsc = NULL,\n    .kern_scale = 0,\n    .cmap_num = %zu,\n    .bpp = 1,\n"
        "    .kern_classes = 0,\n    .bitmap_format = 0,\n#if LVGL_VERSION_MAJOR == 8\n    .cache = &cache\n#endif\n"
        "};\n\n",
        maps.size());
    if (request.fallback) text += "LV_FONT_DECLARE(" + *request.fallback + ")\n\n";
    text += "#if LVGL_VERSION_MAJOR >= 8\nconst lv_font_t " + ident + " = {\n#else\nlv_font_t " + ident +
            " = {\n#endif\n"
            "    .get_glyph_dsc = lv_font_get_glyph_dsc_fmt_txt,\n"
            "    .get_glyph_bitmap = lv_font_get_bitmap_fmt_txt,\n" +
            Printed("    .line_height = %d,\n    .base_line = %d, /* The rows below the baseline. */\n", size,
                    size - baseline) +
            "#if !(LVGL_VERSION_MAJOR == 6 && LVGL_VERSION_MINOR == 0)\n    .subpx = LV_FONT_SUBPX_NONE,\n#endif\n"
            "#if LV_VERSION_CHECK(7, 4, 0) || LVGL_VERSION_MAJOR >= 8\n"
            "    .underline_position = 0,\n    .underline_thickness = 0,\n#endif\n"
            "#if LV_VERSION_CHECK(9, 3, 0)\n    .static_bitmap = 1,\n#endif\n"
            "    .dsc = &font_dsc,\n"
            "#if LV_VERSION_CHECK(8, 2, 0) || LVGL_VERSION_MAJOR >= 9\n    .fallback = " +
            (request.fallback ? "&" + *request.fallback : std::string("NULL")) +
            ",\n#endif\n"
            "#if LVGL_VERSION_MAJOR >= 9\n    .user_data = NULL,\n#endif\n"
            "};\n";
    return text;
  }
};

}  // namespace

std::unique_ptr<GlyphFormat> MakeLvglFormat(const FormatRequest& request) {
  return std::make_unique<LvglFormat>(request);
}

}  // namespace pixtrel
