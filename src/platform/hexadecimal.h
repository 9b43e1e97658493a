#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace pixtrel {

/// `bytes` in hexadecimal, two lower-case digits a byte.
inline std::string Hexadecimal(std::span<const uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (uint8_t byte : bytes) hex += {kDigits[byte >> 4], kDigits[byte & 15]};
  return hex;
}

}  // namespace pixtrel
