#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "glyphdata/cp936.h"

namespace pixtrel::cp936_tables {

/// The tables of the conversion between CP936 and Unicode, as the C
/// library converts, generated when the program is built.

/// For each code point of the Basic Multilingual Plane, its CP936 code (a
/// single byte below 0x100), or 0 when it has none; the ASCII entries are unused.
extern const uint16_t kFromUnicode[0x10000];

/// The first and the last code point whose CP936 code is a single byte
/// (CP936's euro sign): every other has a double-byte code, or none.
extern const uint32_t kFirstSingleByte, kLastSingleByte;

/// How many characters kToUnicode has room for: the single bytes 0x80-0xFF,
/// then every lead byte 0x81-0xFE with every byte 0x40-0xFE after it.
inline constexpr size_t kCharacters = 0x80 + kDoubleByteCodes;

/// Where the CP936 character `code` (a single byte 0x80-0xFF, or a
/// double-byte code) is in kToUnicode.
constexpr size_t IndexOf(uint16_t code) { return code <= 0xFF ? code - 0x80u : 0x80u + DoubleByteIndex(code); }

/// For each CP936 character that is not ASCII, at IndexOf, its code point,
/// or 0 when it has none.
extern const uint16_t kToUnicode[kCharacters];

/// How many four-byte characters of GB18030 lie in the Basic Multilingual
/// Plane: 81 30 81 30 (linear index 0) to 84 31 A4 39, counting up through
/// the last byte (10 values), the third (126), the second (10) and the first.
inline constexpr uint32_t kFourByteBmp = 39420;

/// The four bytes of the character of linear index `linear`.
inline std::string FourBytesOf(uint32_t linear) {
  return {static_cast<char>(0x81 + linear / 12600), static_cast<char>(0x30 + linear / 1260 % 10),
          static_cast<char>(0x81 + linear / 10 % 126), static_cast<char>(0x30 + linear % 10)};
}

/// For each of them, by linear index, its code point, or 0 when the C
/// library's GB18030 has none.
extern const uint16_t kFourByteToUnicode[kFourByteBmp];

}  // namespace pixtrel::cp936_tables
