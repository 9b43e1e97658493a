#include "glyphdata/charsets.h"

#include <algorithm>
#include <iterator>
#include <map>

#include "glyphdata/cp936.h"
#include "glyphdata/double_byte_tables.h"

namespace pixtrel {

namespace {

constexpr CharsetName kCharsets[] = {
    {"gb2312", "GB2312, simplified Chinese (7478 characters and ASCII)"},
    {"gbk", "GBK, simplified and traditional Chinese (21791 and ASCII)"},
    {"big5", "Big5 as CP950 has it, traditional Chinese (13493 and ASCII)"},
    {"ksx1001", "KS X 1001 as CP949 has it, Korean: 2350 Hangul syllables, 4888 hanja, symbols (8226 and ASCII)"},
    {"jisx0208", "JIS X 0208, Japanese: kana, 6355 kanji, symbols (6879 and ASCII)"},
    {"ascii", "printable ASCII, U+0020-U+007E"},
};

bool IsPrivateUse(uint32_t code_point) { return code_point >= 0xE000 && code_point <= 0xF8FF; }

/// The printable ASCII characters and the characters of the double-byte
/// codes `lead` x `trail` that `code_point_of` maps, sorted, each once.
template <class CodePointOf>
std::vector<uint32_t> DoubleByteSet(int first_lead, int last_lead, bool (*is_trail)(int), CodePointOf code_point_of) {
  std::vector<uint32_t> characters;
  for (uint32_t c = 0x20; c <= 0x7E; ++c) characters.push_back(c);
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

/// The code point of the pair `code` in `encoding`, or 0.
uint32_t PairCodePoint(DoubleByteEncoding encoding, uint16_t code) {
  return TableOf(encoding).pairs[DoubleByteIndex(code)];
}

bool FromA1(int trail) { return trail >= 0xA1; }

std::vector<uint32_t> MakeCharset(const std::string& name) {
  if (name == "gb2312") return DoubleByteSet(0xA1, 0xF7, FromA1, CodePointOf);
  if (name == "gbk")
    return DoubleByteSet(
        0x81, 0xFE, [](int trail) { return trail != 0x7F; }, CodePointOf);
  if (name == "big5")
    return DoubleByteSet(
        0xA1, 0xF9, [](int trail) { return trail <= 0x7E || trail >= 0xA1; },
        [](uint16_t code) { return PairCodePoint(DoubleByteEncoding::kBig5, code); });
  if (name == "ksx1001")
    return DoubleByteSet(0xA1, 0xFE, FromA1,
                         [](uint16_t code) { return PairCodePoint(DoubleByteEncoding::kCp949, code); });
  if (name == "jisx0208")
    return DoubleByteSet(0xA1, 0xFE, FromA1,
                         [](uint16_t code) { return PairCodePoint(DoubleByteEncoding::kEucJp, code); });
  std::vector<uint32_t> ascii;
  for (uint32_t c = 0x20; c <= 0x7E; ++c) ascii.push_back(c);
  return ascii;
}

}  // namespace

std::span<const CharsetName> CharsetNames() { return kCharsets; }

const std::vector<uint32_t>* CharsetCharacters(const std::string& name) {
  static std::map<std::string, std::vector<uint32_t>> made;
  if (std::none_of(std::begin(kCharsets), std::end(kCharsets),
                   [&](const CharsetName& set) { return name == set.name; }))
    return nullptr;
  auto [at, fresh] = made.try_emplace(name);
  if (fresh) at->second = MakeCharset(name);
  return &at->second;
}

}  // namespace pixtrel
