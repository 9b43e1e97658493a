#include "formats/lvgl_format.h"

#include <algorithm>
#include <cstdio>
#include <span>

#include "formats/c_text.h"
#include "formats/font_format.h"
#include "formats/lvgl_font.h"
#include "glyphdata/utf8.h"

namespace pixtrel {

namespace {

/// The character as the comment of its bitmap shows it.
std::string Shown(uint32_t code_point) {
  if (code_point == '"' || code_point == '\\' || code_point == '*' || code_point == '/') return "";
  std::string text = " \"";
  AppendUtf8(code_point, text);
  return text + "\"";
}

/// The preprocessor's checks that lv_conf.h sets what the font needs.
std::string SettingChecks(const LvglFont& font, const std::string& ident) {
  std::string checks;
  if (font.bitmap_format != LvglBitmaps::kPlain)
    checks += "#if !LV_USE_FONT_COMPRESSED\n#error \"" + ident +
              ": its bitmaps are compressed, and LVGL draws nothing of them unless lv_conf.h sets "
              "LV_USE_FONT_COMPRESSED to 1\"\n#endif\n";
  if (font.bitmaps.size() >= 1 << 20)
    checks += "#if !LV_FONT_FMT_TXT_LARGE\n#error \"" + ident +
              ": its bitmaps pass the 1 MB LVGL's glyph descriptors address unless lv_conf.h sets "
              "LV_FONT_FMT_TXT_LARGE to 1\"\n#endif\n";
  return checks.empty() ? checks : checks + "\n";
}

/// The kerning pairs' arrays, or nothing.
std::string KerningArrays(const LvglFont& font) {
  if (font.kerning.empty()) return "";
  const bool wide = font.glyphs.size() >= 256;
  std::string text = Printed("static const %s kern_pair_glyph_ids[] = {", wide ? "uint16_t" : "uint8_t");
  for (size_t i = 0; i < font.kerning.size(); ++i)
    text += Printed(i % 8 == 0 ? "\n    %u, %u," : " %u, %u,", font.kerning[i].left, font.kerning[i].right);
  text += "\n};\n\nstatic const int8_t kern_pair_values[] = {";
  for (size_t i = 0; i < font.kerning.size(); ++i)
    text += Printed(i % 16 == 0 ? "\n    %d," : " %d,", font.kerning[i].value);
  return text + Printed(
                    "\n};\n\nstatic const lv_font_fmt_txt_kern_pair_t kern_pairs = {\n    .glyph_ids = "
                    "kern_pair_glyph_ids,\n    .values = kern_pair_values,\n    .pair_cnt = %zu,\n"
                    "    .glyph_ids_size = %d,\n};\n\n",
                    font.kerning.size(), wide ? 1 : 0);
}

}  // namespace

std::string LvglDetails(const FormatRequest& request) {
  const int bpp = request.glyphs->Metrics().bpp;
  return std::to_string(bpp) + (bpp == 1 ? " bit a pixel" : " bits a pixel") + (request.compress ? ", compressed" : "");
}

std::string LvglUse(const std::string& ident) {
  return "LV_FONT_DECLARE(" + ident + "), then lv_obj_set_style_text_font(label, &" + ident + ", 0)";
}

std::string LvglCSource(const FormatRequest& request, const std::string& heading, const std::vector<FontGlyph>& glyphs,
                        const LvglFont& font, const LvglExternalBitmaps* external) {
  const std::string& ident = request.name;
  const SourceMetrics& metrics = request.glyphs->Metrics();
  const int size = metrics.line_height, baseline = metrics.ascent;
  std::string text =
      heading + "#ifdef LV_LVGL_H_INCLUDE_SIMPLE\n#include \"lvgl.h\"\n#else\n#include \"lvgl/lvgl.h\"\n#endif\n\n" +
      SettingChecks(font, ident);
  if (external == nullptr)
    text +=
        "/* The glyphs' bitmaps, each trimmed to its ink, its pixels one after another. */\n"
        "static LV_ATTRIBUTE_LARGE_CONST const uint8_t glyph_bitmap[] = {\n";
  // Under seven characters a byte, a comment, a descriptor and a list entry a glyph: reserved, not grown.
  text.reserve(text.size() + font.bitmaps.size() * 7 + font.glyphs.size() * 170 + 4096);
  std::string descriptions;
  descriptions.reserve(font.glyphs.size() * 110 + 256);
  descriptions +=
      "static const lv_font_fmt_txt_glyph_dsc_t glyph_dsc[] = {\n"
      "    {.bitmap_index = 0, .adv_w = 0, .box_w = 0, .box_h = 0, .ofs_x = 0, .ofs_y = 0} /* id = 0 reserved */,\n";
  for (size_t k = 0; k < font.glyphs.size(); ++k) {
    const LvglGlyph& glyph = font.glyphs[k];
    if (external == nullptr) {
      text += Printed("    /* U+%04X%s */\n", static_cast<unsigned>(glyphs[k].code_point),
                      Shown(glyphs[k].code_point).c_str());
      AppendBytes(std::span(font.bitmaps).subspan(glyph.bitmap_index, glyph.bitmap_size), text);
    }
    descriptions +=
        Printed("    {.bitmap_index = %u, .adv_w = %d, .box_w = %d, .box_h = %d, .ofs_x = %d, .ofs_y = %d},\n",
                glyph.bitmap_index, glyph.adv_w, glyph.box_w, glyph.box_h, glyph.ofs_x, glyph.ofs_y);
  }
  if (external == nullptr) {
    if (font.bitmap_format != LvglBitmaps::kPlain) text += "    0x00, /* read ahead by the decoder */\n";
    if (font.bitmaps.empty() && font.bitmap_format == LvglBitmaps::kPlain)
      text += "    0x00, /* no glyph: C has no empty array */\n";
    text += "};\n\n";
  }
  text += descriptions;
  text += "};\n\n";
  for (size_t m = 0; m < font.maps.size(); ++m) {
    if (font.maps[m].sparse.empty()) continue;
    text += Printed("static const uint16_t unicode_list_%zu[] = {", m);
    for (size_t i = 0; i < font.maps[m].sparse.size(); ++i)
      text += Printed(i % 12 == 0 ? "\n    0x%X," : " 0x%X,", font.maps[m].sparse[i]);
    text += "\n};\n\n";
  }
  if (!font.maps.empty()) text += "static const lv_font_fmt_txt_cmap_t cmaps[] = {\n";
  for (size_t m = 0; m < font.maps.size(); ++m) {
    const LvglCharacterMap& map = font.maps[m];
    const bool sparse = !map.sparse.empty();
    text += Printed(
        "    {.range_start = %u, .range_length = %u, .glyph_id_start = %zu, .unicode_list = %s, "
        ".glyph_id_ofs_list = NULL, .list_length = %zu, .type = LV_FONT_FMT_TXT_CMAP_%s},\n",
        map.start, map.length, map.first + 1, sparse ? Printed("unicode_list_%zu", m).c_str() : "NULL",
        map.sparse.size(), sparse ? "SPARSE_TINY" : "FORMAT0_TINY");
  }
  if (!font.maps.empty()) text += "};\n\n";
  text += KerningArrays(font);
  text += Printed(
      "#if LVGL_VERSION_MAJOR == 8\nstatic lv_font_fmt_txt_glyph_cache_t cache;\n#endif\n\n"
      "#if LVGL_VERSION_MAJOR >= 8\nstatic const lv_font_fmt_txt_dsc_t font_dsc = {\n#else\n"
      "static lv_font_fmt_txt_dsc_t font_dsc = {\n#endif\n"
      "    .glyph_bitmap = %s,\n    .glyph_dsc = glyph_dsc,\n    .cmaps = %s,\n"
      "    .kern_dsc = %s,\n    .kern_scale = %d,\n    .cmap_num = %zu,\n    .bpp = %d,\n"
      "    .kern_classes = 0,\n    .bitmap_format = %d,\n#if LVGL_VERSION_MAJOR == 8\n    .cache = &cache\n#endif\n"
      "};\n\n",
      external != nullptr ? "NULL" : "glyph_bitmap", font.maps.empty() ? "NULL" : "cmaps",
      font.kerning.empty() ? "NULL" : "&kern_pairs", font.kerning.empty() ? 0 : font.kern_scale, font.maps.size(),
      font.bpp, static_cast<int>(font.bitmap_format));
  if (external != nullptr) text += external->definitions;
  if (request.fallback) text += "LV_FONT_DECLARE(" + *request.fallback + ")\n\n";
  text += "#if LVGL_VERSION_MAJOR >= 8\nconst lv_font_t " + ident + " = {\n#else\nlv_font_t " + ident +
          " = {\n#endif\n"
          "    .get_glyph_dsc = lv_font_get_glyph_dsc_fmt_txt,\n"
          "    .get_glyph_bitmap = " +
          (external != nullptr ? external->get_bitmap : "lv_font_get_bitmap_fmt_txt") + ",\n" +
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

namespace {

class LvglFormat : public FontFormat {
 public:
  using FontFormat::FontFormat;

 private:
  std::unique_ptr<LineLayout> LayoutOf(const std::vector<FontGlyph>& glyphs) const override {
    return MakeLvglLayout(request(), glyphs);
  }

  std::string Text(const std::vector<FontGlyph>& glyphs) const override {
    const std::string heading = Heading("LVGL", glyphs.size(), LvglDetails(request()), LvglUse(request().name));
    return LvglCSource(request(), heading, glyphs, LvglFontOf(request(), glyphs), nullptr);
  }
};

}  // namespace

std::unique_ptr<GlyphFormat> MakeLvglFormat(const FormatRequest& request) {
  return std::make_unique<LvglFormat>(request);
}

}  // namespace pixtrel
