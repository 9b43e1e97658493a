#include "formats/glyph_format.h"

#include <algorithm>
#include <cctype>

#include "formats/bin_format.h"
#include "formats/c_format.h"
#include "formats/gfx_format.h"
#include "formats/lvgl_bin_format.h"
#include "formats/lvgl_flash_format.h"
#include "formats/lvgl_format.h"
#include "formats/u8g2_format.h"
#include "formats/vlw_format.h"
#include "glyphdata/output_path.h"
#include "platform/word_list.h"

namespace pixtrel {

namespace {

constexpr unsigned kEveryDepth = 1 << 1 | 1 << 2 | 1 << 4 | 1 << 8;
/// LVGL 9 draws plain bitmaps of 1, 2, 4 and 8 bits a pixel, compressed ones of 2, 3 and 4
/// (lv_font_fmt_txt.c: its decompressor leaves others undrawn).
constexpr unsigned kLvglCompressedDepths = 1 << 2 | 1 << 3 | 1 << 4;
constexpr unsigned kGlyphStream = kTakesLayout | kTakesUnique | kTakesPlaceholder;

constexpr FormatKind kFormats[] = {
    {.name = "bin",
     .extension = "bin",
     .help = "the records, one after another, as the firmware reads them",
     .role = FormatRole::kGlyphStream,
     .use = FormatUse::kData,
     .abilities = kGlyphStream | kRecordsFile,
     .depths = kEveryDepth,
     .make = MakeBinFormat},
    {.name = "c",
     .extension = "c",
     .help = "the records as C arrays with a line table, and a header beside them that declares them",
     .role = FormatRole::kGlyphStream,
     .use = FormatUse::kCompiled,
     .abilities = kGlyphStream | kCNames,
     .depths = kEveryDepth,
     .companions = {"h"},
     .companion_start = kCHeaderStart,
     .make = MakeCSourceFormat},
    {.name = "h",
     .extension = "h",
     .help = "the records as C arrays with a line table, in a header",
     .role = FormatRole::kGlyphStream,
     .use = FormatUse::kIncluded,
     .abilities = kGlyphStream | kCNames,
     .depths = kEveryDepth,
     .make = MakeCHeaderFormat},
    {.name = "lvgl",
     .extension = "c",
     .help = "a font of the texts' characters for LVGL 8.3 and 9, in C (lv_font_t)",
     .role = FormatRole::kFont,
     .use = FormatUse::kCompiled,
     .abilities = kTakesFallback | kTakesCompress | kTakesCharsets | kCNames,
     .depths = kEveryDepth,
     .compressed_depths = kLvglCompressedDepths,
     .make = MakeLvglFormat},
    {.name = "lvgl-bin",
     .extension = "bin",
     .help = "a font of the texts' characters for LVGL, in its binary font file",
     .role = FormatRole::kFont,
     .use = FormatUse::kData,
     .abilities = kTakesCompress | kTakesCharsets,
     .depths = kEveryDepth,
     .compressed_depths = kLvglCompressedDepths,
     .make = MakeLvglBinFormat},
    {.name = "lvgl-flash",
     .extension = "c",
     .help = "a font for LVGL whose bitmaps lie in external flash (.bin), read a glyph at a time by a function the "
             "firmware defines (.h)",
     .role = FormatRole::kFont,
     .use = FormatUse::kCompiled,
     .abilities = kTakesFallback | kTakesCompress | kTakesCharsets | kCNames,
     .depths = kEveryDepth,
     .compressed_depths = kLvglCompressedDepths,
     .companions = {"h", "bin"},
     .companion_start = kLvglFlashHeaderStart,
     .make = MakeLvglFlashFormat},
    {.name = "u8g2",
     .extension = "c",
     .help = "a font of the texts' characters for u8g2, in C, 1 bit a pixel",
     .role = FormatRole::kFont,
     .use = FormatUse::kCompiled,
     .abilities = kTakesCharsets | kCNames | kTakesInclude,
     .depths = 1 << 1,
     .last_code_point = 0xFFFF,  // u8g2 draws the Basic Multilingual Plane.
     .make = MakeU8g2Format},
    {.name = "vlw",
     .extension = "vlw",
     .help = "a smooth font of the texts' characters for TFT_eSPI and LovyanGFX (-o x.h: the same as a C array)",
     .role = FormatRole::kFont,
     .use = FormatUse::kData,
     .abilities = kTakesCharsets | kCNames,
     .depths = kEveryDepth,
     .default_depth = 8,
     .last_code_point = 0xFFFF,  // TFT_eSPI keeps code points in 16 bits.
     .make = MakeVlwFormat},
    {.name = "gfx",
     .extension = "h",
     .help = "a font of the texts' characters for Adafruit GFX, a header, 1 bit a pixel, up to U+00FF",
     .role = FormatRole::kFont,
     .use = FormatUse::kIncluded,
     .abilities = kTakesCharsets | kCNames,
     .depths = 1 << 1,
     .last_code_point = 0xFF,  // Adafruit GFX draws bytes.
     .beyond = "u8g2 (with U8g2_for_Adafruit_GFX) or vlw",
     .make = MakeGfxFormat},
};

}  // namespace

std::span<const FormatKind> Formats() { return kFormats; }

const FormatKind* FindFormat(std::string_view name) {
  for (const FormatKind& kind : kFormats)
    if (std::equal(name.begin(), name.end(), kind.name, kind.name + std::char_traits<char>::length(kind.name),
                   [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; }))
      return &kind;
  return nullptr;
}

const FormatKind& DefaultFormat() { return kFormats[0]; }

std::string FormatNamesThatCan(unsigned ability) {
  std::vector<std::string> names;
  for (const FormatKind& kind : kFormats)
    if (kind.Can(ability)) names.push_back(kind.name);
  return WordList(names, "or");
}

std::vector<std::string> CompanionsOf(const FormatKind& kind, const std::string& output) {
  std::vector<std::string> companions;
  for (const char* extension : kind.companions)
    if (extension != nullptr && !output.empty()) companions.push_back(CommandOutputPathFor(output, extension));
  return companions;
}

}  // namespace pixtrel
