#include "formats/c_text.h"

#include <algorithm>

namespace pixtrel {

std::string InComment(const std::string& text) {
  std::string safe;
  for (size_t i = 0; i < text.size(); ++i) {
    safe += text[i];
    if (text[i] == '*' && i + 1 < text.size() && text[i + 1] == '/') safe += ' ';
  }
  return safe;
}

void AppendBytes(std::span<const uint8_t> bytes, std::string& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (size_t i = 0; i < bytes.size(); i += 16) {
    char row[4 + 16 * 6 + 1] = "   ";
    char* at = row + 3;
    for (size_t k = i; k < std::min(i + 16, bytes.size()); ++k)
      at = std::copy_n(" 0x", 3, at), *at++ = kHex[bytes[k] >> 4], *at++ = kHex[bytes[k] & 0xF], *at++ = ',';
    *at++ = '\n';
    text.append(row, at);
  }
}

}  // namespace pixtrel
