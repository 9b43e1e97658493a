#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pixtrel {

/// Which bit of a byte a bit stream fills first.
enum class BitOrder : uint8_t {
  kMostSignificantFirst,   ///< As LVGL reads its fonts: a value's high bits first, from bit 7 of each byte down.
  kLeastSignificantFirst,  ///< As u8g2 reads its fonts: a value's low bits first, from bit 0 of each byte up.
};

/// A stream of bits packed into bytes in one BitOrder.
class BitWriter {
 public:
  explicit BitWriter(BitOrder order) : order_(order) {}

  /// Appends the `bits` low bits of `value` (0 to 32 of them).
  void Add(uint32_t value, int bits);
  /// The bytes written, the last padded with zero bits.
  std::vector<uint8_t>& bytes() { return bytes_; }
  const std::vector<uint8_t>& bytes() const { return bytes_; }
  /// How many bits were written.
  size_t bits() const { return count_; }

 private:
  BitOrder order_;
  std::vector<uint8_t> bytes_;
  size_t count_ = 0;
};

/// Bits only counted, where a BitWriter's bytes are not needed: the size
/// a stream would take.
class BitCounter {
 public:
  void Add(uint32_t /*value*/, int bits) { count_ += static_cast<size_t>(bits); }
  /// The bytes the bits would fill.
  size_t bytes() const { return (count_ + 7) / 8; }

 private:
  size_t count_ = 0;
};

}  // namespace pixtrel
