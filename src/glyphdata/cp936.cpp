#include "glyphdata/cp936.h"

#include "glyphdata/cp936_tables.h"

namespace pixtrel {

std::string_view LastCharacter(std::string_view text) {
  std::string_view last;
  ForEachCharacter(text, [&](size_t offset, size_t length) { last = text.substr(offset, length); });
  return last;
}

namespace {

/// True when the double-byte character {lead, trail} is a character of GB2312.
bool InGb2312(unsigned char lead, unsigned char trail) {
  if (lead < 0xA1 || lead > 0xF7 || trail < 0xA1 || trail > 0xFE) return false;
  const uint32_t code_point = CodePointOf(DoubleByteCode(lead, trail));
  return code_point != 0 && (code_point < 0xE000 || code_point > 0xF8FF);  // Its unassigned rows are private use.
}

}  // namespace

bool LooksLikeBig5(std::string_view text) {
  int64_t pairs = 0, outside = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) continue;
    if (i + 1 == text.size()) break;  // Cut at the end of the sample.
    const auto trail = static_cast<unsigned char>(text[++i]);
    if (lead < 0xA1 || lead > 0xF9 || !((trail >= 0x40 && trail <= 0x7E) || (trail >= 0xA1 && trail <= 0xFE)))
      return false;
    ++pairs;
    if (!InGb2312(lead, trail)) ++outside;
  }
  return pairs >= 2 && outside * 5 >= pairs;
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
