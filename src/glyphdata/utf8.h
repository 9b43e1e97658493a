#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pixtrel {

/// Length of the well-formed UTF-8 sequence `bytes` starts with; 0 when it
/// starts with an ill-formed one, kIncompleteUtf8 when `bytes` ends inside a
/// sequence that is well formed so far. `bytes` must not be empty.
inline constexpr size_t kIncompleteUtf8 = static_cast<size_t>(-1);
size_t Utf8SequenceLength(std::string_view bytes);

/// The code point of the well-formed UTF-8 character `character`.
uint32_t Utf8CodePoint(std::string_view character);

/// Appends `code_point` (at most U+10FFFF, no surrogate) to `text` in UTF-8.
void AppendUtf8(uint32_t code_point, std::string& text);

/// How the bytes of a text that are not ASCII fall into UTF-8 sequences;
/// it decides whether a text without a byte order mark is UTF-8.
struct Utf8Census {
  int64_t well_formed = 0;  ///< Bytes in well-formed sequences of two bytes or more.
  int64_t ill_formed = 0;   ///< Bytes in no well-formed sequence: each counts once.

  /// True when at least three in four of the bytes that are not ASCII are
  /// in well-formed sequences: a UTF-8 text with a stray byte or a sequence
  /// cut short is still UTF-8 (and the stray byte an error), while a CP936
  /// text, where only a character here and there reads as UTF-8, is not.
  bool MostlyUtf8() const { return well_formed > 0 && well_formed >= 3 * ill_formed; }
};

/// Counts the bytes of `text` into `census`, stepping one byte on past an
/// ill-formed one. A sequence cut short at the end counts as ill formed when
/// `text` is whole, and not at all when more of the text would follow.
void CountUtf8(std::string_view text, bool whole, Utf8Census& census);

}  // namespace pixtrel
