#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pixtrel {

/// CP936 text is handled at byte level: a double-byte character is a lead
/// byte 0x81-0xFE followed by a trail byte 0x40-0x7E or 0x80-0xFE; every
/// other byte is a single-byte character. No trail byte is CR, LF, "/" or
/// ".", so those bytes can be searched for directly.

/// True when `byte` may start a double-byte character.
constexpr bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

/// True when `byte` may end a double-byte character.
constexpr bool IsTrailByte(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFE);
}

/// True when the two bytes form one double-byte character.
constexpr bool IsDoubleByte(unsigned char lead, unsigned char trail) { return IsLeadByte(lead) && IsTrailByte(trail); }

/// The 16-bit code of a double-byte character: lead byte high, trail low.
constexpr uint16_t DoubleByteCode(unsigned char lead, unsigned char trail) {
  return static_cast<uint16_t>(lead << 8 | trail);
}

/// How many double-byte codes there are: every lead byte with every byte
/// 0x40-0xFE after it (0x7F among them, which no character has).
inline constexpr size_t kDoubleByteCodes = 126 * 191;

/// Where the double-byte code `code` is among the kDoubleByteCodes, from 0.
constexpr size_t DoubleByteIndex(uint16_t code) {
  return (static_cast<size_t>(code >> 8) - 0x81) * 191 + ((code & 0xFFu) - 0x40);
}

/// The length in bytes (1 or 2) of the character that starts at `text[i]`;
/// `i` must be less than `text.size()`.
constexpr size_t CharacterLength(std::string_view text, size_t i) {
  return i + 1 < text.size() && IsDoubleByte(text[i], text[i + 1]) ? 2 : 1;
}

/// Walks the characters of `text` from its start (trail bytes overlap lead
/// bytes, so characters can only be found so) and calls `visit(offset,
/// length)` for each, in order.
template <class Visit>
constexpr void ForEachCharacter(std::string_view text, Visit&& visit) {
  for (size_t i = 0, length; i < text.size(); i += length) {
    length = CharacterLength(text, i);
    visit(i, length);
  }
}

/// True when the four bytes of `text` from `i` on are a character of
/// GB18030 beyond GBK, which CP936 texts may hold: a lead byte, a digit, a
/// lead byte, a digit.
constexpr bool IsFourByte(std::string_view text, size_t i) {
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  return i + 3 < text.size() && IsLeadByte(text[i]) && digit(text[i + 1]) && IsLeadByte(text[i + 2]) &&
         digit(text[i + 3]);
}

/// True when `text`, of fewer than four bytes, is the start of such a character.
constexpr bool MayStartFourByte(std::string_view text) {
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  return !text.empty() && text.size() < 4 && IsLeadByte(text[0]) && (text.size() < 2 || digit(text[1])) &&
         (text.size() < 3 || IsLeadByte(text[2]));
}

/// The code point of the four-byte GB18030 character `four`, or 0 when it
/// stands for none.
uint32_t FourByteCodePoint(std::string_view four);

/// The last character of `text`, or an empty view when `text` is empty.
std::string_view LastCharacter(std::string_view text);

/// The Unicode code point of the CP936 character `code` (ASCII, a single
/// byte, or a double-byte code), or 0 when it stands for no character.
uint32_t CodePointOf(uint16_t code);

}  // namespace pixtrel
