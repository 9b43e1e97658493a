#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "glyphdata/double_byte_tables.h"
#include "glyphdata/raw_buffer.h"
#include "glyphdata/text_lines.h"
#include "platform/platform.h"

namespace pixtrel {

/// A text in one of the double-byte encodings read as UTF-8, converted as
/// it is read by the encoding's table.
class DoubleByteSource : public ByteSource {
 public:
  /// The text of `input`, in `encoding`, named `name` in messages.
  DoubleByteSource(std::string name, std::unique_ptr<ByteSource> input, DoubleByteEncoding encoding);

  /// Converts the next part of the text. Throws Failure "NAME:LINE: invalid
  /// ENCODING" at bytes that stand for no character, or a character cut
  /// short at the end.
  size_t Read(char* buffer, size_t size) override;

  int64_t Length() override { return kUnknownLength; }

 private:
  /// Moves the bytes not yet converted to the front and reads more after
  /// them; false when the input has no more.
  bool Refill();
  /// Converts the character at in_[at_], which is no ASCII, into ready_;
  /// false when the rest of it is still to be read.
  bool ConvertCharacter();
  [[noreturn]] void FailInvalid();

  std::string name_;
  std::unique_ptr<ByteSource> input_;
  const DoubleByteTable& table_;
  bool leads_[0x80];  ///< By byte less 0x80: it leads pairs.
  RawBuffer in_;
  size_t at_ = 0, end_ = 0;
  bool input_ended_ = false;
  std::string ready_;  ///< Converted bytes not yet read.
  size_t ready_at_ = 0;
  EditorLineCounter lines_;  ///< Of the bytes converted.
};

}  // namespace pixtrel
