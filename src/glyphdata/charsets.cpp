#include "glyphdata/charsets.h"

#include <algorithm>
#include <map>

#include "glyphdata/cp936.h"
#include "glyphdata/utf8.h"
#include "platform/platform.h"

namespace pixtrel {

namespace {

bool IsPrivateUse(uint32_t code_point) { return code_point >= 0xE000 && code_point <= 0xF8FF; }

/// The characters of the double-byte codes `lead` x `trail` that `code_point_of` maps.
template <class CodePointOf>
std::vector<uint32_t> DoubleByteSet(int first_lead, int last_lead, bool (*is_trail)(int), CodePointOf code_point_of) {
  std::vector<uint32_t> characters;
  for (int lead = first_lead; lead <= last_lead; ++lead)
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (!is_trail(trail)) continue;
      const uint32_t code_point = code_point_of(static_cast<uint16_t>(lead << 8 | trail));
      if (code_point != 0 && !IsPrivateUse(code_point)) characters.push_back(code_point);
    }
  std::sort(characters.begin(), characters.end());
  characters.erase(std::unique(characters.begin(), characters.end()), characters.end());
  return characters;
}

/// The code point of the Big5 (CP950) character `code`, or 0.
uint32_t Big5CodePoint(uint16_t code) {
  const char bytes[] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
  const std::optional<std::string> utf8 = ConvertText("UTF-8", "CP950", std::string_view(bytes, 2));
  return utf8 && !utf8->empty() ? Utf8CodePoint(*utf8) : 0;
}

std::vector<uint32_t> MakeCharset(const std::string& name) {
  if (name == "ascii") {
    std::vector<uint32_t> characters;
    for (uint32_t c = 0x20; c <= 0x7E; ++c) characters.push_back(c);
    return characters;
  }
  if (name == "gb2312")
    return DoubleByteSet(
        0xA1, 0xF7, [](int trail) { return trail >= 0xA1; }, CodePointOf);
  if (name == "gbk")
    return DoubleByteSet(
        0x81, 0xFE, [](int trail) { return trail != 0x7F; }, CodePointOf);
  return DoubleByteSet(
      0xA1, 0xF9, [](int trail) { return trail <= 0x7E || trail >= 0xA1; }, Big5CodePoint);
}

}  // namespace

const std::vector<uint32_t>* CharsetCharacters(const std::string& name) {
  static std::map<std::string, std::vector<uint32_t>> made;
  if (name != "gb2312" && name != "gbk" && name != "big5" && name != "ascii") return nullptr;
  auto [at, fresh] = made.try_emplace(name);
  if (fresh) at->second = MakeCharset(name);
  return &at->second;
}

}  // namespace pixtrel
