#include "glyphdata/cp936.h"

#include "glyphdata/cp936_tables.h"

namespace pixtrel {

std::string_view LastCharacter(std::string_view text) {
  std::string_view last;
  ForEachCharacter(text, [&](size_t offset, size_t length) { last = text.substr(offset, length); });
  return last;
}

uint32_t CodePointOf(uint16_t code) {
  if (code < 0x80) return code;
  if (code > 0xFF && !IsDoubleByte(static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code & 0xFF)))
    return 0;
  return cp936_tables::kToUnicode[cp936_tables::IndexOf(code)];
}

}  // namespace pixtrel
