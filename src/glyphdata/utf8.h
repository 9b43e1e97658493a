#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pixtrel {

/// The byte order mark a UTF-8 text may start with.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

/// Length of the well-formed UTF-8 sequence `bytes` starts with; 0 when it
/// starts with an ill-formed one, kIncompleteUtf8 when `bytes` ends inside a
/// sequence that is well formed so far. `bytes` must not be empty.
inline constexpr size_t kIncompleteUtf8 = static_cast<size_t>(-1);
inline size_t Utf8SequenceLength(std::string_view bytes) {
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
    if (i == 1 ? byte < second_low || byte > second_high : (byte < 0x80 || byte > 0xBF)) return 0;
  }
  return length;
}

/// The code point of the well-formed UTF-8 character `character`.
uint32_t Utf8CodePoint(std::string_view character);

/// Appends `code_point` (at most U+10FFFF, no surrogate) to `text` in UTF-8.
void AppendUtf8(uint32_t code_point, std::string& text);

/// `code_point` as Unicode writes it: "U+4E2D", four hex digits or more.
std::string CodePointName(uint32_t code_point);

/// True when `code_point` is a control character of ASCII (below 0x20, or 0x7F).
constexpr bool IsControl(uint32_t code_point) { return code_point < 0x20 || code_point == 0x7F; }

/// The control character `code_point` as messages name it, by what it
/// does: "tab", "form feed"; "control" for one seldom seen.
std::string ControlName(uint32_t code_point);

/// The character `code_point` in the character set `charset` (as
/// LocaleCharset names it), for messages; "?" when it has no form there,
/// or for 0.
std::string ShownIn(const std::string& charset, uint32_t code_point);

/// Counts how the bytes of a text that are not ASCII fall into UTF-8
/// sequences, the text handed over in pieces, in order; it decides whether
/// a text without a byte order mark is UTF-8.
class Utf8Census {
 public:
  /// Counts `bytes`, the text's next bytes.
  void Count(std::string_view bytes);

  /// The whole text was counted: a sequence cut short at its end is ill formed.
  void End();

  /// True when at least three in four of the bytes that are not ASCII are
  /// in well-formed sequences: a UTF-8 text with a stray byte or a sequence
  /// cut short is still UTF-8 (and the stray byte an error), while a CP936
  /// text, where only a character here and there reads as UTF-8, is not.
  /// The last three bytes of a text not yet End()ed are not counted.
  bool MostlyUtf8() const { return well_formed_ > 0 && well_formed_ >= 3 * ill_formed(); }

  /// The bytes counted that are in well-formed sequences of two bytes or
  /// more, and those that are in none and not ASCII.
  int64_t well_formed() const { return well_formed_; }
  int64_t ill_formed() const { return non_ascii_ - well_formed_; }

  /// False when no `bytes_left` bytes more could make the text mostly UTF-8.
  bool MayBecomeMostlyUtf8(int64_t bytes_left) const {
    return well_formed_ + bytes_left + static_cast<int64_t>(held_) >= 3 * ill_formed();
  }

 private:
  /// The bytes after a lead that tell whether its sequence is well formed.
  static constexpr size_t kLookAhead = 3;

  /// Counts the sequences that start at the `count` bytes at `bytes`, which
  /// kLookAhead more follow.
  void Take(const unsigned char* bytes, size_t count);

  int64_t well_formed_ = 0;                        ///< Bytes in well-formed sequences of two bytes or more.
  int64_t non_ascii_ = 0;                          ///< Bytes that are not ASCII.
  unsigned char held_bytes_[2 * kLookAhead] = {};  ///< The last bytes handed over, not counted yet.
  size_t held_ = 0;
};

}  // namespace pixtrel
