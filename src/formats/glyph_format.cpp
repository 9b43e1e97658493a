#include "formats/glyph_format.h"

#include "formats/bin_format.h"
#include "formats/c_format.h"

namespace pixtrel {

namespace {

constexpr FormatKind kFormats[] = {
    {"bin", "bin", true, MakeBinFormat},
    {"c", "c", false, MakeCSourceFormat},
    {"h", "h", false, MakeCHeaderFormat},
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
