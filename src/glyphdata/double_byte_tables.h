#pragma once

#include <cstddef>
#include <cstdint>

#include "glyphdata/cp936.h"

namespace pixtrel {

/// The double-byte encodings of East Asian Windows and Unix besides CP936,
/// as the C library converts them, in tables generated when the program is
/// built (so that every system reads them alike).
enum class DoubleByteEncoding : uint8_t {
  kBig5,      ///< CP950, Big5 as Windows has it: traditional Chinese.
  kCp949,     ///< CP949 (Unified Hangul Code), EUC-KR within it: Korean.
  kShiftJis,  ///< CP932, Shift_JIS as Windows has it: Japanese.
  kEucJp,     ///< EUC-JP, JIS X 0212 after 0x8F included: Japanese on Unix.
};

/// How the bytes of one such encoding decode. Every table entry is a code
/// point of the Basic Multilingual Plane, or 0 where the bytes stand for none.
struct DoubleByteTable {
  const char* name;  ///< As messages name it: "CP949".
  /// For each byte 0x80-0xFF that is a character by itself, its code point.
  const uint16_t* single;
  /// For each lead byte 0x81-0xFE with each byte 0x40-0xFE after it, at
  /// DoubleByteIndex, the pair's code point.
  const uint16_t* pairs;
  /// For three bytes 0x8F, 0xA1-0xFE, 0xA1-0xFE, at (second - 0xA1) * 94 +
  /// (third - 0xA1), their code point; null for an encoding without them.
  const uint16_t* triples;
};

/// The table of `encoding`.
const DoubleByteTable& TableOf(DoubleByteEncoding encoding);

namespace double_byte_tables {

/// The generated tables, as TableOf hands them out.
extern const uint16_t kBig5Single[0x80], kBig5Pairs[kDoubleByteCodes];
extern const uint16_t kCp949Single[0x80], kCp949Pairs[kDoubleByteCodes];
extern const uint16_t kShiftJisSingle[0x80], kShiftJisPairs[kDoubleByteCodes];
extern const uint16_t kEucJpSingle[0x80], kEucJpPairs[kDoubleByteCodes], kEucJpTriples[94 * 94];

}  // namespace double_byte_tables

}  // namespace pixtrel
