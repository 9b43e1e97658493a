#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "extract/character_report.h"

namespace pixtrel {

/// The characters of a source that get no glyph, those the code table lacks
/// and those with no CP936 form, with how often each occurs and the line of
/// its first occurrence.
class MissingReport : public CharacterReport {
 public:
  /// Counts an occurrence, on line `line_number`, of `character`, which got
  /// no glyph for `cause`.
  void MissingCharacter(SourceCharacter character, int64_t line_number, MissingCause cause) override;
  bool HearsGlyphs() const override { return false; }

  /// The occurrences counted so far.
  int64_t occurrences() const { return occurrences_; }

  /// The distinct characters counted so far.
  size_t characters() const { return entries_.size(); }

  /// Makes Print name each character by its code point, as for a text that
  /// was not read as CP936, rather than by its CP936 code.
  void NameByCodePoint(bool by_code_point) { by_code_point_ = by_code_point; }

  /// The code points of the characters missing for `cause`, in the order of their first occurrence.
  std::vector<uint32_t> CodePoints(MissingCause cause) const;

  /// Writes one line per character, in the order of first occurrence,
  /// "SOURCE:LINE: missing CHAR CP936 XXXX, N occurrences" (XX for a
  /// single-byte character, "U+XXXX (no CP936 form)" for a character with
  /// none; " (blank in the set)" follows the code of one whose glyph is
  /// blank), or named by code point, "missing U+XXXX CHAR", then the summary line
  /// "SOURCE: D characters missing, N occurrences". The characters are
  /// written in `charset`, or as "?" where it cannot show them.
  void Print(std::FILE* out, const std::string& source, const std::string& charset) const;

 private:
  struct Entry {
    SourceCharacter character;
    int64_t first_line;
    MissingCause cause;
    int64_t count = 0;
  };

  std::string Describe(const Entry& entry, const std::string& charset) const;

  std::vector<Entry> entries_;
  std::vector<int32_t> entry_of_code_;           ///< By CP936 code; -1 for none. Made at the first.
  std::map<uint32_t, size_t> entry_of_no_form_;  ///< By code point, for the characters with no CP936 form.
  int64_t occurrences_ = 0;
  bool by_code_point_ = false;
};

}  // namespace pixtrel
