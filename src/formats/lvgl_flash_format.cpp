#include "formats/lvgl_flash_format.h"

#include <algorithm>

#include "formats/c_text.h"
#include "formats/font_format.h"
#include "formats/lvgl_format.h"
#include "glyphdata/output_path.h"
#include "platform/failure.h"

namespace pixtrel {

namespace {

/// The file name of `path`, as a C #include or a comment names it.
std::string FileName(const std::string& path) { return path.substr(NameStart(path)); }

/// `text` with each "@ID@" the font's name.
std::string Named(std::string text, const std::string& ident) {
  for (size_t at = text.find("@ID@"); at != std::string::npos; at = text.find("@ID@", at + ident.size()))
    text.replace(at, 4, ident);
  return text;
}

/// The C that reads a glyph's bitmap of the font `ident` from external
/// flash into a buffer of the largest glyph's size (and a byte), and hands
/// it to LVGL's own decoder as a font of that one glyph, for each version
/// of LVGL's get_glyph_bitmap.
std::string FlashReading(const std::string& ident, const LvglFont& font, const std::vector<FontGlyph>& glyphs,
                         size_t largest) {
  std::string letters;
  for (size_t k = 0; k < glyphs.size(); ++k)
    letters += Printed(k % 8 == 0 ? "\n    0x%X," : " 0x%X,", glyphs[k].code_point);
  return Named(Printed("#include \"@ID@.h\"\n\n#define @ID@_GLYPHS %zu\n#define @ID@_BITMAPS_SIZE %zu\n\n",
                       font.glyphs.size(), font.bitmaps.size()) +
                   "#if LVGL_VERSION_MAJOR < 9 || (LVGL_VERSION_MAJOR == 9 && LVGL_VERSION_MINOR < 2)\n"
                   "/* The code points of the glyphs, by their ids less 1: a glyph found by its letter. */\n"
                   "static const uint32_t @ID@_letters[@ID@_GLYPHS + 1] = {" +
                   letters + R"(
    0xFFFFFFFF};

static uint32_t @ID@_glyph_id(uint32_t letter) {
    uint32_t low = 0, high = @ID@_GLYPHS;
    while (low < high) {
        const uint32_t middle = low + (high - low) / 2;
        if (@ID@_letters[middle] < letter) low = middle + 1; else high = middle;
    }
    return low < @ID@_GLYPHS && @ID@_letters[low] == letter ? low + 1 : 0;
}
#endif

/* One glyph's bitmap, read from external flash: the largest glyph's, and a byte the decoder reads ahead. */
)" + Printed("static uint8_t @ID@_buffer[%zu];\n", largest + 1) +
                   R"(
/* Reads the bitmap of glyph `gid` into @ID@_buffer; false when the read failed. */
static bool @ID@_load(uint32_t gid) {
    const uint32_t start = glyph_dsc[gid].bitmap_index;
    const uint32_t end = gid < @ID@_GLYPHS ? glyph_dsc[gid + 1].bitmap_index : @ID@_BITMAPS_SIZE;
    if (end > start && @ID@_read(start, @ID@_buffer, end - start) != 0) return false;
    @ID@_buffer[end - start] = 0;
    return true;
}

/* A font of the one glyph `gid` (of `letter`), its bitmap in @ID@_buffer, which LVGL decodes as its own. */
static const lv_font_t * @ID@_one_glyph(const lv_font_t * whole, uint32_t gid, uint32_t letter) {
    static lv_font_fmt_txt_glyph_dsc_t one[2];
    static lv_font_fmt_txt_cmap_t map;
    static lv_font_fmt_txt_dsc_t dsc;
    static lv_font_t font;
#if LVGL_VERSION_MAJOR == 8
    static lv_font_fmt_txt_glyph_cache_t cache;
#endif
    if (gid == 0 || !@ID@_load(gid)) return NULL;
    one[1] = glyph_dsc[gid];
    one[1].bitmap_index = 0;
    map.range_start = letter;
    map.range_length = 1;
    map.glyph_id_start = 1;
    map.type = LV_FONT_FMT_TXT_CMAP_FORMAT0_TINY;
    dsc = font_dsc;
    dsc.glyph_bitmap = @ID@_buffer;
    dsc.glyph_dsc = one;
    dsc.cmaps = &map;
    dsc.cmap_num = 1;
#if LVGL_VERSION_MAJOR == 8
    cache.last_letter = 0;
    cache.last_glyph_id = 0;
    dsc.cache = &cache;
#endif
    font = *whole;
    font.dsc = &dsc;
    return &font;
}

#if LVGL_VERSION_MAJOR == 8
static const uint8_t * @ID@_get_bitmap(const lv_font_t * whole, uint32_t letter) {
    const lv_font_t * font = @ID@_one_glyph(whole, @ID@_glyph_id(letter), letter);
    return font == NULL ? NULL : lv_font_get_bitmap_fmt_txt(font, letter);
}
#elif LVGL_VERSION_MINOR < 2
static const void * @ID@_get_bitmap(lv_font_glyph_dsc_t * g_dsc, uint32_t letter, lv_draw_buf_t * draw_buf) {
    lv_font_glyph_dsc_t one = *g_dsc;
    one.resolved_font = @ID@_one_glyph(g_dsc->resolved_font, @ID@_glyph_id(letter), letter);
    return one.resolved_font == NULL ? NULL : lv_font_get_bitmap_fmt_txt(&one, letter, draw_buf);
}
#else
static const void * @ID@_get_bitmap(lv_font_glyph_dsc_t * g_dsc, lv_draw_buf_t * draw_buf) {
    lv_font_glyph_dsc_t one = *g_dsc;
    one.resolved_font = @ID@_one_glyph(g_dsc->resolved_font, g_dsc->gid.index, 0);
    one.gid.index = 1;
    return one.resolved_font == NULL ? NULL : lv_font_get_bitmap_fmt_txt(&one, draw_buf);
}
#endif

)",
               ident);
}

/// The header that declares the read function the firmware defines.
std::string FlashHeader(const std::string& ident, const std::string& bitmaps) {
  return kLvglFlashHeaderStart + ident + ", whose bitmaps lie in external flash (" + InComment(bitmaps) + "). */\n" +
         Named(R"(#ifndef @ID@_H
#define @ID@_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Reads `size` bytes of the font's bitmaps from `offset` on into `buffer`; 0 on success. The firmware
 * defines it, over its external flash; LVGL calls it for each glyph it draws. */
int @ID@_read(uint32_t offset, void * buffer, uint32_t size);

#ifdef __cplusplus
}
#endif

#endif
)",
               ident);
}

class LvglFlashFormat : public FontFormat {
 public:
  explicit LvglFlashFormat(const FormatRequest& request)
      : FontFormat(request),
        header_(*request.disk, CompanionPath(request, "h")),
        bitmaps_(*request.disk, CompanionPath(request, "bin")) {}

  void Finish() override {
    const std::vector<FontGlyph>& glyphs = Glyphs();
    const LvglFont font = LvglFontOf(request(), glyphs);
    file().WriteWhole(Source(glyphs, font));
    header_.WriteWhole(FlashHeader(request().name, FileName(bitmaps_.path())));
    bitmaps_.WriteWhole(std::string(font.bitmaps.begin(), font.bitmaps.end()));
  }
  void Install() override {
    FontFormat::Install();
    header_.Install();
    bitmaps_.Install();
  }
  void RemoveOld() override {
    FontFormat::RemoveOld();
    header_.RemoveOld();
    bitmaps_.RemoveOld();
  }
  std::vector<std::string> Targets() const override {
    std::vector<std::string> targets = FontFormat::Targets();
    for (const TargetFile* file : {&header_, &bitmaps_}) targets.push_back(file->path());
    return targets;
  }

 private:
  /// The file of `extension` beside the C source: three files need names, not standard output.
  static std::string CompanionPath(const FormatRequest& request, const char* extension) {
    if (request.output.empty()) throw Failure("--format lvgl-flash writes three files: -o FILE.c names them");
    return CommandOutputPathFor(request.output, extension);
  }

  std::unique_ptr<LineLayout> LayoutOf(const std::vector<FontGlyph>& glyphs) const override {
    return MakeLvglLayout(request(), glyphs);
  }

  std::string Text(const std::vector<FontGlyph>& glyphs) const override {
    return Source(glyphs, LvglFontOf(request(), glyphs));
  }

  std::string Source(const std::vector<FontGlyph>& glyphs, const LvglFont& font) const {
    const std::string& ident = request().name;
    size_t largest = 0;
    for (const LvglGlyph& glyph : font.glyphs) largest = std::max<size_t>(largest, glyph.bitmap_size);
    const std::string bitmaps = FileName(bitmaps_.path());
    const LvglExternalBitmaps external{FlashReading(ident, font, glyphs, largest), ident + "_get_bitmap"};
    const std::string heading =
        Heading("LVGL (its bitmaps in external flash)", glyphs.size(), LvglDetails(request()),
                "write " + bitmaps + " (" + std::to_string(font.bitmaps.size()) + " bytes) to external flash, define " +
                    ident + "_read() of " + FileName(header_.path()) + " over it (RAM: a buffer of " +
                    std::to_string(largest + 1) + " bytes), then " + LvglUse(ident));
    return LvglCSource(request(), heading, glyphs, font, &external);
  }

  TargetFile header_;
  TargetFile bitmaps_;
};

}  // namespace

std::unique_ptr<GlyphFormat> MakeLvglFlashFormat(const FormatRequest& request) {
  return std::make_unique<LvglFlashFormat>(request);
}

}  // namespace pixtrel
