#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "extract/window_operations.h"
#include "glyphdata/utf8_source.h"

namespace pixtrel {

/// The characters of a source that get no glyph, those the code table lacks
/// and those with no CP936 form, with how often each occurs and the line of
/// its first occurrence.
class MissingReport : public CharacterReport {
 public:
  /// Takes the characters with no CP936 form from `source`, which the run
  /// reads: each comes to the run as kNoCp936Form, two bytes 0xFF.
  void ConvertedFrom(Utf8Source* source) { utf8_ = source; }

  /// Counts an occurrence, on line `line_number`, of the CP936 character
  /// `code` (double-byte, or single-byte and not ASCII) that got no glyph.
  void MissingCharacter(uint16_t code, int64_t line_number) override;

  /// The occurrences counted so far.
  int64_t occurrences() const { return occurrences_; }

  /// Writes one line per character, in the order of first occurrence,
  /// "SOURCE:LINE: missing CHAR CP936 XXXX, N occurrences" (XX for a
  /// single-byte character, "U+XXXX (no CP936 form)" for a character with
  /// none), then the summary line
  /// "SOURCE: D characters missing, N occurrences". The characters are
  /// written in `charset`, or as "?" where it cannot show them.
  void Print(std::FILE* out, const std::string& source, const std::string& charset) const;

 private:
  struct Entry {
    std::string character;  ///< In CP936, or in UTF-8 when it has no CP936 form.
    bool in_cp936;
    int64_t first_line;
    int64_t count = 0;
  };

  void AddUnconvertible(std::string_view character, int64_t line_number);
  void Count(Entry& entry);
  static std::string Describe(const Entry& entry, const std::string& charset);

  std::vector<Entry> entries_;
  std::vector<int32_t> entry_of_code_;           ///< By CP936 code; -1 for none.
  std::map<std::string, size_t> entry_of_utf8_;  ///< By the UTF-8 character.
  int64_t occurrences_ = 0;
  Utf8Source* utf8_ = nullptr;
  bool half_of_no_form_ = false;  ///< The first byte of a kNoCp936Form came last.
};

}  // namespace pixtrel
