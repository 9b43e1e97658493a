#include "formats/glyph_format.h"

#include "formats/bin_format.h"
#include "formats/c_format.h"
#include "formats/lvgl_bin_format.h"
#include "formats/lvgl_format.h"
#include "formats/u8g2_format.h"

namespace pixtrel {

namespace {

constexpr FormatKind kFormats[] = {
    {"bin", "bin", true, false, false, MakeBinFormat}, {"c", "c", false, false, true, MakeCSourceFormat},
    {"h", "h", false, false, true, MakeCHeaderFormat}, {"lvgl", "c", false, true, true, MakeLvglFormat},
    {"u8g2", "c", false, true, true, MakeU8g2Format},  {"lvgl-bin", "bin", false, true, false, MakeLvglBinFormat},
};

}  // namespace

const FormatKind* FindFormat(std::string_view name) {
  for (const FormatKind& kind : kFormats)
    if (name == kind.name) return &kind;
  return nullptr;
}

const FormatKind& DefaultFormat() { return kFormats[0]; }

std::string FormatNames() {
  std::string names;
  for (size_t i = 0; i < std::size(kFormats); ++i)
    names += (i == 0 ? "" : i + 1 == std::size(kFormats) ? " or " : ", ") + std::string(kFormats[i].name);
  return names;
}

}  // namespace pixtrel
