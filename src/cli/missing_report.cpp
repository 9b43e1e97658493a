#include "cli/missing_report.h"

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

void MissingReport::MissingCharacter(uint16_t code, int64_t line_number) {
  if (utf8_ != nullptr && code == static_cast<unsigned char>(kNoCp936Form[0])) {
    half_of_no_form_ = !half_of_no_form_;
    if (!half_of_no_form_) AddUnconvertible(utf8_->TakeUnconvertible(), line_number);
    return;
  }
  if (entry_of_code_.empty()) entry_of_code_.assign(65536, -1);  // Made only when something is missing.
  int32_t& index = entry_of_code_[code];
  if (index < 0) {
    index = static_cast<int32_t>(entries_.size());
    const char bytes[] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    entries_.push_back({code > 0xFF ? std::string(bytes, 2) : std::string(1, bytes[1]), true, line_number});
  }
  Count(entries_[static_cast<size_t>(index)]);
}

void MissingReport::AddUnconvertible(std::string_view character, int64_t line_number) {
  auto [found, added] = entry_of_utf8_.try_emplace(std::string(character), entries_.size());
  if (added) entries_.push_back({std::string(character), false, line_number});
  Count(entries_[found->second]);
}

void MissingReport::Count(Entry& entry) {
  ++entry.count;
  ++occurrences_;
}

void MissingReport::Print(std::FILE* out, const std::string& source, const std::string& charset) const {
  for (const Entry& entry : entries_)
    std::fprintf(out, "%s:%lld: missing %s, %s\n", source.c_str(), static_cast<long long>(entry.first_line),
                 Describe(entry, charset).c_str(), Counted(entry.count, "occurrence").c_str());
  std::fprintf(out, "%s: %s missing, %s\n", source.c_str(),
               Counted(static_cast<int64_t>(entries_.size()), "character").c_str(),
               Counted(occurrences_, "occurrence").c_str());
}

std::string MissingReport::Describe(const Entry& entry, const std::string& charset) {
  std::optional<std::string> shown =
      TextConverter::Whole(charset.c_str(), entry.in_cp936 ? "CP936" : "UTF-8", entry.character);
  std::string text = shown && !shown->empty() ? *shown : "?";
  if (entry.in_cp936) {
    uint32_t code = 0;
    for (char byte : entry.character) code = code << 8 | static_cast<unsigned char>(byte);
    return text + " CP936 " + Hex(code, static_cast<int>(2 * entry.character.size()));
  }
  return text + " U+" + Hex(Utf8CodePoint(entry.character), 4) + " (no CP936 form)";
}

}  // namespace pixtrel
