#include "cli/missing_report.h"

#include "glyphdata/utf8.h"
#include "platform/platform.h"

namespace pixtrel {

namespace {

std::string Counted(int64_t count, const std::string& noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::string Hex(uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, static_cast<unsigned>(value));
  return text;
}

}  // namespace

void MissingReport::MissingCharacter(SourceCharacter character, int64_t line_number, MissingCause cause) {
  size_t index;
  if (character.code == kNoCp936Code) {
    auto [found, added] = entry_of_no_form_.try_emplace(character.code_point, entries_.size());
    index = found->second;
    if (added) entries_.push_back({character, line_number, cause});
  } else {
    if (entry_of_code_.empty()) entry_of_code_.assign(65536, -1);
    int32_t& entry = entry_of_code_[character.code];
    if (entry < 0) {
      entry = static_cast<int32_t>(entries_.size());
      entries_.push_back({character, line_number, cause});
    }
    index = static_cast<size_t>(entry);
  }
  ++entries_[index].count;
  ++occurrences_;
}

std::vector<uint32_t> MissingReport::CodePoints(MissingCause cause) const {
  std::vector<uint32_t> code_points;
  for (const Entry& entry : entries_)
    if (entry.cause == cause) code_points.push_back(entry.character.code_point);
  return code_points;
}

void MissingReport::Print(std::FILE* out, const std::string& source, const std::string& charset) const {
  for (const Entry& entry : entries_)
    WriteText(out, source + ":" + std::to_string(entry.first_line) + ": missing " + Describe(entry, charset) + ", " +
                       Counted(entry.count, "occurrence") + "\n");
  WriteText(out, source + ": " + Counted(static_cast<int64_t>(entries_.size()), "character") + " missing, " +
                     Counted(occurrences_, "occurrence") + "\n");
}

std::string MissingReport::Describe(const Entry& entry, const std::string& charset) const {
  const SourceCharacter character = entry.character;
  const bool no_character = character.code_point == 0 && character.code != 0;  // A code the encoding leaves unassigned.
  if (IsControl(character.code_point) && !no_character)
    return CodePointName(character.code_point) + " (" + ControlName(character.code_point) + ")";
  const std::string text = ShownIn(charset, character.code_point);
  const std::string blank = entry.cause == MissingCause::kBlank    ? " (blank in the set)"
                            : entry.cause == MissingCause::kBeyond ? " (beyond what the format draws)"
                                                                   : "";
  if (by_code_point_) return CodePointName(character.code_point) + " " + text + blank;
  if (character.code == kNoCp936Code) return text + " " + CodePointName(character.code_point) + " (no CP936 form)";
  return text + " CP936 " + Hex(character.code, character.code > 0xFF ? 4 : 2) + blank;
}

}  // namespace pixtrel
