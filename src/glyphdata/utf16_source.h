#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "glyphdata/raw_buffer.h"
#include "platform/platform.h"

namespace pixtrel {

/// True when `start`, the start of a text, is a UTF-16 byte order mark:
/// the text is UTF-16, little-endian after FF FE, big-endian after FE FF.
bool StartsAsUtf16(std::string_view start);

/// The byte order of a UTF-16 text.
enum class Utf16Order {
  kByMark,  ///< As its byte order mark says; little-endian, as Windows writes it, without one.
  kLittle,
  kBig,
};

/// A UTF-16 text read as UTF-8, converted as it is read; a byte order mark
/// at its start is left out.
class Utf16Source : public ByteSource {
 public:
  /// The UTF-16 text of `input`, in `order`, named `name` in messages.
  Utf16Source(std::string name, std::unique_ptr<ByteSource> input, Utf16Order order = Utf16Order::kByMark);

  /// Converts the next part of the text. Throws Failure "NAME:LINE: invalid
  /// UTF-16" at a surrogate without its pair or a byte left over at the end.
  size_t Read(char* buffer, size_t size) override;

  int64_t Length() override { return kUnknownLength; }

 private:
  /// The next code unit, or none at the end of the text.
  std::optional<uint16_t> NextUnit();
  [[noreturn]] void FailInvalid() const;

  std::string name_;
  std::unique_ptr<ByteSource> input_;
  RawBuffer in_;
  size_t at_ = 0, end_ = 0;
  bool big_endian_ = false;
  std::string ready_;  ///< Converted bytes not yet read.
  size_t ready_at_ = 0;
  int64_t line_ = 1;
  bool after_cr_ = false;
};

}  // namespace pixtrel
