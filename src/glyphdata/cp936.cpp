#include "glyphdata/cp936.h"

#include "glyphdata/cp936_tables.h"

namespace pixtrel {

std::string_view LastCharacter(std::string_view text) {
  // A byte below 0x80 is never a lead byte: a character starts after it, so a
  // line that ends in a pair after one needs no reading from its start.
  const size_t n = text.size();
  if (n >= 3 && static_cast<unsigned char>(text[n - 3]) < 0x80 && IsDoubleByte(text[n - 2], text[n - 1]))
    return text.substr(n - 2);
  std::string_view last;
  ForEachCharacter(text, [&](size_t offset, size_t length) { last = text.substr(offset, length); });
  return last;
}

namespace {

/// The linear index of 90 30 81 30, U+10000; the planes above follow in order.
constexpr uint32_t kFourByteSupplementary = 189000;

}  // namespace

uint32_t FourByteCodePoint(std::string_view four) {
  auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(four[i])); };
  const uint32_t linear = (byte(0) - 0x81) * 12600 + (byte(1) - 0x30) * 1260 + (byte(2) - 0x81) * 10 + byte(3) - 0x30;
  if (linear < cp936_tables::kFourByteBmp) return cp936_tables::kFourByteToUnicode[linear];
  if (linear >= kFourByteSupplementary && linear - kFourByteSupplementary <= 0x10FFFF - 0x10000)
    return 0x10000 + linear - kFourByteSupplementary;
  return 0;
}

uint32_t CodePointOf(uint16_t code) {
  if (code < 0x80) return code;
  if (code > 0xFF && !IsDoubleByte(static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code & 0xFF)))
    return 0;
  return cp936_tables::kToUnicode[cp936_tables::IndexOf(code)];
}

}  // namespace pixtrel
