#include "glyphdata/double_byte_source.h"

#include <algorithm>
#include <cstring>

#include "glyphdata/utf8.h"
#include "platform/failure.h"

namespace pixtrel {

namespace {

constexpr size_t kBufferSize = 64 * 1024;

/// True when `byte` starts a pair of `table`: some pair it leads is a character.
bool LeadsPairs(const DoubleByteTable& table, unsigned byte) {
  if (byte < 0x81 || byte > 0xFE) return false;
  for (unsigned trail = 0x40; trail <= 0xFE; ++trail)
    if (table.pairs[DoubleByteIndex(static_cast<uint16_t>(byte << 8 | trail))] != 0) return true;
  return false;
}

}  // namespace

const DoubleByteTable& TableOf(DoubleByteEncoding encoding) {
  using namespace double_byte_tables;
  static const DoubleByteTable kTables[] = {
      {"Big5 (CP950)", kBig5Single, kBig5Pairs, nullptr},
      {"CP949", kCp949Single, kCp949Pairs, nullptr},
      {"Shift_JIS (CP932)", kShiftJisSingle, kShiftJisPairs, nullptr},
      {"EUC-JP", kEucJpSingle, kEucJpPairs, kEucJpTriples},
  };
  return kTables[static_cast<size_t>(encoding)];
}

DoubleByteSource::DoubleByteSource(std::string name, std::unique_ptr<ByteSource> input, DoubleByteEncoding encoding)
    : name_(std::move(name)), input_(std::move(input)), table_(TableOf(encoding)), in_(kBufferSize) {
  for (unsigned byte = 0x80; byte <= 0xFF; ++byte) leads_[byte - 0x80] = LeadsPairs(table_, byte);
}

size_t DoubleByteSource::Read(char* buffer, size_t size) {
  if (ready_at_ == ready_.size()) {
    ready_.clear();
    ready_at_ = 0;
    while (ready_.size() < kBufferSize) {
      if (at_ == end_ && !Refill()) break;
      const auto* bytes = reinterpret_cast<const unsigned char*>(in_.data());
      size_t ascii = at_;
      while (ascii < end_ && bytes[ascii] < 0x80) ++ascii;
      const std::string_view run(in_.data() + at_, ascii - at_);
      ready_ += run;
      lines_.Count(run);
      at_ = ascii;
      if (at_ < end_ && !ConvertCharacter() && !Refill()) FailInvalid();  // Cut short at the end.
    }
  }
  const size_t count = std::min(size, ready_.size() - ready_at_);
  std::memcpy(buffer, ready_.data() + ready_at_, count);
  ready_at_ += count;
  return count;
}

bool DoubleByteSource::Refill() {
  if (input_ended_) return false;
  std::memmove(in_.data(), in_.data() + at_, end_ - at_);
  end_ -= at_;
  at_ = 0;
  const size_t count = input_->Read(in_.data() + end_, in_.size() - end_);
  input_ended_ = count == 0;
  end_ += count;
  return !input_ended_;
}

bool DoubleByteSource::ConvertCharacter() {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(in_[at_ + k]); };
  const unsigned lead = byte(0);
  size_t length = 1;
  uint16_t code_point;
  if (table_.triples != nullptr && lead == 0x8F) {
    length = 3;
    if (end_ - at_ < length) return false;
    const unsigned second = byte(1), third = byte(2);
    if (second < 0xA1 || second > 0xFE || third < 0xA1 || third > 0xFE) FailInvalid();
    code_point = table_.triples[(second - 0xA1) * 94 + (third - 0xA1)];
  } else if (leads_[lead - 0x80]) {
    length = 2;
    if (end_ - at_ < length) return false;
    const unsigned trail = byte(1);
    if (trail < 0x40 || trail > 0xFE) FailInvalid();
    code_point = table_.pairs[DoubleByteIndex(static_cast<uint16_t>(lead << 8 | trail))];
  } else {
    code_point = table_.single[lead - 0x80];
  }
  if (code_point == 0) FailInvalid();
  AppendUtf8(code_point, ready_);
  at_ += length;
  return true;
}

void DoubleByteSource::FailInvalid() {
  throw FileFailure(name_ + ":" + std::to_string(lines_.Number()), std::string("invalid ") + table_.name);
}

}  // namespace pixtrel
