#include "glyphdata/utf8.h"

namespace pixtrel {

namespace {
bool IsContinuation(unsigned char byte) { return byte >= 0x80 && byte <= 0xBF; }
}  // namespace

size_t Utf8SequenceLength(std::string_view bytes) {
  const auto lead = static_cast<unsigned char>(bytes[0]);
  if (lead < 0x80) return 1;
  size_t length;
  unsigned char second_low = 0x80, second_high = 0xBF;  // Unicode's table of well-formed sequences.
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) second_low = 0xA0;   // No overlong forms.
    if (lead == 0xED) second_high = 0x9F;  // No surrogates.
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) second_low = 0x90;
    if (lead == 0xF4) second_high = 0x8F;  // Nothing past U+10FFFF.
  } else {
    return 0;
  }
  for (size_t i = 1; i < length; ++i) {
    if (i == bytes.size()) return kIncompleteUtf8;
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (i == 1 ? byte < second_low || byte > second_high : !IsContinuation(byte)) return 0;
  }
  return length;
}

uint32_t Utf8CodePoint(std::string_view character) {
  const auto lead = static_cast<unsigned char>(character[0]);
  if (character.size() == 1) return lead;
  uint32_t value = lead & (0x7F >> character.size());
  for (size_t i = 1; i < character.size(); ++i) value = value << 6 | (static_cast<unsigned char>(character[i]) & 0x3F);
  return value;
}

void AppendUtf8(uint32_t code_point, std::string& text) {
  if (code_point < 0x80) {
    text += static_cast<char>(code_point);
    return;
  }
  const int continuations = code_point < 0x800 ? 1 : code_point < 0x10000 ? 2 : 3;
  constexpr unsigned kLead[] = {0, 0xC0, 0xE0, 0xF0};
  text += static_cast<char>(kLead[continuations] | code_point >> (6 * continuations));
  for (int shift = 6 * (continuations - 1); shift >= 0; shift -= 6)
    text += static_cast<char>(0x80 | (code_point >> shift & 0x3F));
}

void CountUtf8(std::string_view text, bool whole, Utf8Census& census) {
  for (size_t i = 0; i < text.size();) {
    const size_t length = Utf8SequenceLength(text.substr(i));
    if (length == kIncompleteUtf8) {
      if (whole) census.ill_formed += static_cast<int64_t>(text.size() - i);
      return;
    }
    if (length == 0) {
      ++census.ill_formed;
      ++i;
      continue;
    }
    if (length > 1) census.well_formed += static_cast<int64_t>(length);
    i += length;
  }
}

}  // namespace pixtrel
