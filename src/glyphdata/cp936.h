#pragma once

#include <array>
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

namespace detail {
inline constexpr unsigned char kLead = 1, kTrail = 2;
inline constexpr auto kByteClass = [] {
  std::array<unsigned char, 256> classes{};
  for (int byte = 0; byte < 256; ++byte)
    classes[byte] = (IsLeadByte(byte) ? kLead : 0) | (IsTrailByte(byte) ? kTrail : 0);
  return classes;
}();
}  // namespace detail

/// True when the two bytes form one double-byte character.
constexpr bool IsDoubleByte(unsigned char lead, unsigned char trail) {
  return (detail::kByteClass[lead] & detail::kLead) && (detail::kByteClass[trail] & detail::kTrail);
}

/// The 16-bit code of a double-byte character: lead byte high, trail low.
constexpr uint16_t DoubleByteCode(unsigned char lead, unsigned char trail) {
  return static_cast<uint16_t>(lead << 8 | trail);
}

/// The length in bytes (1 or 2) of the character that starts at `text[i]`;
/// `i` must be less than `text.size()`.
inline size_t CharacterLength(std::string_view text, size_t i) {
  return i + 1 < text.size() && IsDoubleByte(text[i], text[i + 1]) ? 2 : 1;
}

/// The last character of `text`, or an empty view when `text` is empty.
std::string_view LastCharacter(std::string_view text);

}  // namespace pixtrel
