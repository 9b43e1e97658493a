#include "formats/bit_writer.h"

#include <algorithm>

namespace pixtrel {

void BitWriter::Add(uint32_t value, int bits) {
  while (bits > 0) {
    const int used = static_cast<int>(count_ % 8);
    if (used == 0) bytes_.push_back(0);
    const int taken = std::min(8 - used, bits);
    const uint32_t mask = (1u << taken) - 1;
    if (order_ == BitOrder::kMostSignificantFirst) {
      bits -= taken;
      bytes_.back() |= static_cast<uint8_t>((value >> bits & mask) << (8 - used - taken));
    } else {
      bytes_.back() |= static_cast<uint8_t>((value & mask) << used);
      value = taken < 32 ? value >> taken : 0;
      bits -= taken;
    }
    count_ += static_cast<size_t>(taken);
  }
}

}  // namespace pixtrel
